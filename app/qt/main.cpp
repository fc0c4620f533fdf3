// The zorvik program: the main window, modal, as the only top-level window.
#include <QApplication>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>

#include "app/PresetApplier.h"
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

    zorvik::MainDialogSetup setup = zorvik::SystemSetup();
    // The argument is the text after the program name, taken whole.
    std::string argument;
    for (int i = 1; i < argc; ++i)
        argument += (i > 1 ? " " : "") + std::string(argv[i]);
    if (!argument.empty())
        setup.argument = argument;
    // The argument names a printer queue whose port settings preset the window.
    const auto preset = zorvik::PresetApplier::ForThisSystem();
    setup.preset = preset.get();

    zorvik::MainDialog dialog(std::move(setup));
    dialog.exec();
    return 0;
}
