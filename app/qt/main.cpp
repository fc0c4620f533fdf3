// The zorvik program: the main window, modal, as the only top-level window.
#include <QApplication>
#include <QCommandLineParser>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/WindowPreset.h"
#include "app/qt/Demo.h"
#include "app/qt/MainDialog.h"
#include "app/qt/ProgramIcon.h"
#include "app/qt/SystemServices.h"
#include "base/qt/QtNotifier.h"
#include "resources/CommonTexts.h"
#include "resources/MainTexts.h"
#include "resources/Version.h"

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

void NameTheProgram()
{
    QCoreApplication::setApplicationName(QString::fromUtf8(zorvik::kAppName));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZORVIK_VERSION));
}

// The options: help, version, --demo and the optional queue argument.
void Describe(QCommandLineParser& parser, const QCommandLineOption& demo)
{
    parser.setApplicationDescription(QString::fromUtf8(zorvik::kUsageDescription));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(demo);
    parser.addPositionalArgument(QString::fromUtf8(zorvik::kUsageQueueName),
                                 QString::fromUtf8(zorvik::kUsageQueueHelp),
                                 QString::fromUtf8(zorvik::kUsageQueueSyntax));
}

enum class Question { None, Help, Version };

// Help and version are answered before the windows start, so they need no display.
Question AskedFor(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "--")
            break;
        if (argument == "-h" || argument == "--help" || argument == "-?" || argument == "--help-all")
            return Question::Help;
        if (argument == "-v" || argument == "--version")
            return Question::Version;
    }
    return Question::None;
}

int Answer(Question question, int argc, char** argv)
{
    QCoreApplication core(argc, argv);
    NameTheProgram();
    QCommandLineParser parser;
    const QCommandLineOption demo(QStringLiteral("demo"), QString::fromUtf8(zorvik::kUsageDemoHelp));
    Describe(parser, demo);
    const QString text = question == Question::Help
                             ? parser.helpText()
                             : QCoreApplication::applicationName() + QLatin1Char(' ') +
                                   QCoreApplication::applicationVersion() + QLatin1Char('\n');
    std::fputs(text.toLocal8Bit().constData(), stdout);
    return 0;
}

// The window needs a display unless a platform is named (QT_QPA_PLATFORM or -platform).
bool DisplayNamed(int argc, char** argv)
{
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(variable))
            return true;
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "-platform" || argument == "--platform")
            return true;
    }
    return false;
}

// While the toolkit starts, a fatal failure (a display that cannot be reached, no
// usable platform) ends the program with its reason instead of a core dump.
void StartupMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", zorvik::kMsgWindowCannotStart);
        std::_Exit(1);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (const Question question = AskedFor(argc, argv); question != Question::None)
        return Answer(question, argc, argv);
    if (!DisplayNamed(argc, argv)) {
        std::fprintf(stderr, "%s\n", zorvik::kMsgNoDisplay);
        return 1;
    }

    const QtMessageHandler previous = qInstallMessageHandler(StartupMessages);
    QApplication app(argc, argv);  // takes the toolkit's own options out of argv
    qInstallMessageHandler(previous);
    NameTheProgram();
    QApplication::setWindowIcon(zorvik::ProgramIcon());

    QCommandLineParser parser;
    const QCommandLineOption demoOption(QStringLiteral("demo"), QString::fromUtf8(zorvik::kUsageDemoHelp));
    Describe(parser, demoOption);
    if (!parser.parse(QApplication::arguments())) {
        std::fprintf(stderr, zorvik::kMsgBadArguments, parser.errorText().toLocal8Bit().constData());
        std::fputc('\n', stderr);
        return 2;
    }

    int error = 0;
    if (!PrepareSockets(error)) {
        char text[96];
        std::snprintf(text, sizeof text, zorvik::kMsgSocketCreateError, error, error);
        zorvik::QtNotifier().Show(text, zorvik::kTitleWarning, zorvik::MessageIcon::Exclamation);
    }

    // "--demo" runs the window against the built-in virtual printer. Otherwise the
    // arguments name a printer queue, taken whole with single spaces between them.
    const bool demo = parser.isSet(demoOption);
    zorvik::MainDialogSetup setup = zorvik::SystemSetup();
    const QString argument = parser.positionalArguments().join(QLatin1Char(' '));
    if (!demo && !argument.isEmpty())
        setup.argument = argument.toStdString();
    // The argument names a printer queue whose port settings preset the window.
    const auto preset = zorvik::WindowPreset::ForThisSystem();
    setup.preset = preset.get();

    zorvik::SimServer printer;
    zorvik::MainDialog dialog(std::move(setup));
    if (demo) {
        std::string failure;
        if (!zorvik::StartDemo(printer, dialog, failure)) {
            std::fprintf(stderr, "zorvik: the virtual printer could not start: %s\n", failure.c_str());
            return 1;
        }
        std::printf("Virtual printer on 127.0.0.1:%u; press \"Check Communication\".\n",
                    static_cast<unsigned>(printer.TcpPort()));
        std::fflush(stdout);
    }
    dialog.exec();
    return 0;
}
