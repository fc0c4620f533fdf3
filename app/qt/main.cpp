// The zorvik program: the main window, modal, as the only top-level window.
#include <QApplication>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/PresetApplier.h"
#include "app/qt/Demo.h"
#include "app/qt/MainDialog.h"
#include "app/qt/ProgramIcon.h"
#include "app/qt/SystemServices.h"
#include "base/qt/QtNotifier.h"
#include "resources/CommonTexts.h"
#include "resources/MainTexts.h"

namespace {

// Prepares the socket layer: a printer that drops its TCP connection must end a write
// with an error, not end the program.
bool PrepareSockets(int& error)
{
    if (std::signal(SIGPIPE, SIG_IGN) == SIG_ERR) {
        error = errno;
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);  // takes the toolkit's own options out of argv
    QApplication::setApplicationName(QString::fromUtf8(zorvik::kAppName));
    QApplication::setWindowIcon(zorvik::ProgramIcon());

    int error = 0;
    if (!PrepareSockets(error)) {
        char text[96];
        std::snprintf(text, sizeof text, zorvik::kMsgSocketCreateError, error, error);
        zorvik::QtNotifier().Show(text, zorvik::kTitleWarning, zorvik::MessageIcon::Exclamation);
    }

    // "--demo" runs the window against the built-in virtual printer; any other
    // argument is the name of a printer queue, the text after the program name taken whole.
    const bool demo = argc == 2 && std::string_view(argv[1]) == "--demo";
    zorvik::MainDialogSetup setup = zorvik::SystemSetup();
    std::string argument;
    for (int i = 1; i < argc && !demo; ++i)
        argument += (i > 1 ? " " : "") + std::string(argv[i]);
    if (!argument.empty())
        setup.argument = argument;
    // The argument names a printer queue whose port settings preset the window.
    const auto preset = zorvik::PresetApplier::ForThisSystem();
    setup.preset = preset.get();

    zorvik::SimServer printer;
    zorvik::MainDialog dialog(std::move(setup));
    if (demo) {
        std::string error;
        if (!zorvik::StartDemo(printer, dialog, error)) {
            std::fprintf(stderr, "zorvik: the virtual printer could not start: %s\n", error.c_str());
            return 1;
        }
        std::printf("Virtual printer on 127.0.0.1:%u; press \"Check Communication\".\n",
                    static_cast<unsigned>(printer.TcpPort()));
        std::fflush(stdout);
    }
    dialog.exec();
    return 0;
}
