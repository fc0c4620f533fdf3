// The whole way a technician goes, on the real windows and the real network port
// against the virtual printer: Check Communication, Run Manager, Get Status, a
// double-byte font, Set Status, the font download, and the program's end. The
// "Printer Status" dialog runs as the program runs it, with the windows' own pacer
// and timers, so this test takes some seconds of real time.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "GuiFixture.h"
#include "app/qt/AboutBox.h"
#include "app/qt/IpAddressEdit.h"
#include "app/qt/MainDialog.h"
#include "base/qt/ControlIds.h"
#include "cmdtest/qt/CodepageDialog.h"
#include "cmdtest/qt/CommandEditorDialog.h"
#include "cmdtest/qt/LineSpacingDialog.h"
#include "cmdtest/qt/SelectAddressDialog.h"
#include "link/SystemPortFactory.h"
#include "resources/CheckTexts.h"
#include "resources/CommonTexts.h"
#include "resources/MainTexts.h"
#include "resources/SettingsTexts.h"
#include "resources/StatusDialogIds.h"
#include "settings/qt/PrinterSettingPage.h"
#include "settings/qt/StatusDialog.h"
#include "settings/qt/WaitDialog.h"
#include "sim/SimServer.h"
#include "support/FakePort.h"
#include "support/RowName.h"

namespace zorvik {
namespace {

using test::WaitFor;

template <typename T = QWidget> T* Control(QWidget* root, int id)
{
    T* control = FindControlAs<T>(root, id);
    EXPECT_NE(control, nullptr) << "control " << id;
    return control;
}

void Click(QWidget* root, int id)
{
    auto* button = Control<QAbstractButton>(root, id);
    ASSERT_TRUE(button && button->isEnabled()) << "button " << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

class ProgramFlowTest : public test::GuiFixture {};

TEST_F(ProgramFlowTest, FontDownloadFromPrinterStatusEndsTheProgram)
{
    SimServer server;
    ASSERT_TRUE(server.Start({.tcp = true})) << server.Error();

    MainDialogSetup setup;
    setup.makePorts = [](Pacer& p, Notifier& n) { return MakeSystemPortFactory(p, n); };
    setup.hooks.discoverUsb = [] { return std::vector<std::string>{}; };
    setup.hooks.serialDevices = [] { return std::vector<std::string>{}; };
    MainDialog main(std::move(setup));  // the real tool dialogs and the windows' pacer
    main.show();

    Click(&main, kIdRadioEthernet);
    auto* ip = Control<IpAddressEdit>(&main, kIdIpAddress);
    const char* octets[] = {"127", "0", "0", "1"};
    for (int i = 0; i < 4; ++i)
        ip->Octet(i)->setText(octets[i]);
    Control<QLineEdit>(&main, kIdTcpPort)->setText(QString::number(server.TcpPort()));
    Click(&main, kIdCheck);
    ASSERT_EQ(messages,
              (std::vector<MessageRecord>{{kMsgConnected, kTitleInformation, MessageIcon::Information}}));

    // Inside the modal "Printer Status" dialog, as the user would.
    bool drove = false;
    QTimer::singleShot(0, &main, [&] {
        StatusDialog* status = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            status = qobject_cast<StatusDialog*>(QApplication::activeModalWidget());
            return status && !status->WaitBox() && Control(status, kIdStatusGet)->isEnabled();
        }));
        Click(status, kIdStatusGet);
        Control<QTabWidget>(status, kIdStatusTabs)->setCurrentIndex(1);
        auto* fonts = Control<QComboBox>(status->SettingPage(), kIdSettingDoubleFont);
        ASSERT_TRUE(fonts->isEnabled());
        fonts->setCurrentIndex(2);  // "KS5601(Korean)"
        emit fonts->activated(2);
        Click(status, kIdStatusSet);
        drove = true;
    });
    // Bounded: a dialog still open after a minute is closed as by its close box.
    QTimer::singleShot(60000, &main, [] {
        if (auto* modal = QApplication::activeModalWidget())
            modal->close();
    });
    Click(&main, kIdRunManager);

    ASSERT_TRUE(drove);
    EXPECT_TRUE(WaitFor([&] { return !main.isVisible(); }));
    EXPECT_FALSE(main.State().Connected());
    EXPECT_TRUE(server.WithPrinter([](VirtualPrinter& p) { return p.FontComplete(); }));
    EXPECT_EQ(server.WithPrinter([](VirtualPrinter& p) { return p.FontBytes(); }), 615695u);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(),
              (MessageRecord{kMsgFontDownloadOk, kTitleInformation, MessageIcon::Information}));
}

// The program itself, started as a user starts it: help and version print and end
// at once, a bad option or a missing display ends with one clear line and no window.
// Where the window would show: the offscreen platform, no display named at all, or
// an X display nobody serves.
enum class Screen { Offscreen, None, Unreachable };

struct Launch {
    const char* name;
    QStringList arguments;
    Screen screen;
    int exitCode;
    std::vector<const char*> outputHas;  // standard output
    const char* errorHas;                // the program's one line on standard error; empty: none
    friend void PrintTo(const Launch& c, std::ostream* os) { *os << c.name; }
};

class ProgramLaunchTest : public ::testing::TestWithParam<Launch> {};

TEST_P(ProgramLaunchTest, EndsAtOnceWithItsAnswer)
{
    const Launch& c = GetParam();
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    if (c.screen == Screen::Offscreen)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    else if (c.screen == Screen::Unreachable)
        environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":97"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(ZORVIK_PROGRAM), c.arguments);
    ASSERT_TRUE(program.waitForStarted(10000));
    if (!program.waitForFinished(20000)) {
        program.kill();
        program.waitForFinished(5000);
        FAIL() << "the program did not end by itself";
    }
    const QString output = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString error = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << error.toStdString();
    EXPECT_EQ(program.exitCode(), c.exitCode) << error.toStdString();
    for (const char* text : c.outputHas)
        EXPECT_TRUE(output.contains(QString::fromUtf8(text))) << text << " in " << output.toStdString();
    // The program's own lines on standard error (the toolkit may add notes of its own).
    QStringList own;
    for (const QString& line : error.split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("zorvik:")))
            own << line;
    }
    if (*c.errorHas) {
        ASSERT_EQ(own.size(), 1) << error.toStdString();
        EXPECT_TRUE(own[0].contains(QString::fromUtf8(c.errorHas))) << error.toStdString();
    } else {
        EXPECT_TRUE(own.isEmpty()) << error.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Launches, ProgramLaunchTest,
    ::testing::Values(
        Launch{"Help", {"--help"}, Screen::Offscreen, 0, {"Usage:", "[queue]", "--demo", "--version"}, ""},
        Launch{"HelpWithoutDisplay", {"-h"}, Screen::None, 0, {"--demo"}, ""},
        Launch{"Version", {"--version"}, Screen::Offscreen, 0, {"0.1.0"}, ""},
        Launch{"VersionWithoutDisplay", {"-v"}, Screen::None, 0, {"0.1.0"}, ""},
        Launch{"UnknownOption", {"--bogus"}, Screen::Offscreen, 2, {}, "bogus"},
        Launch{"NoDisplay", {}, Screen::None, 1, {}, "DISPLAY"},
        Launch{"DemoWithoutDisplay", {"--demo"}, Screen::None, 1, {}, "DISPLAY"},
        Launch{"UnreachableDisplay", {}, Screen::Unreachable, 1, {}, "could not be started"}),
    test::RowName());

// Timers that never tick: the windows stay as they open.
class StillTimers final : public TimerHost {
public:
    void Arm(int, std::uint32_t) override {}
    void Stop(int) override {}
};

struct WindowCase {
    const char* name;
    std::function<std::unique_ptr<QWidget>(PrinterLink&)> make;
    friend void PrintTo(const WindowCase& c, std::ostream* os) { *os << c.name; }
};

class WindowLayoutTest : public test::GuiFixture, public ::testing::WithParamInterface<WindowCase> {};

// Where each control of a window sits, relative to the window.
std::vector<std::pair<QWidget*, QRect>> Controls(QWidget* window)
{
    std::vector<std::pair<QWidget*, QRect>> controls;
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (child->isVisible() && (qobject_cast<QAbstractButton*>(child) || qobject_cast<QGroupBox*>(child) ||
                                   qobject_cast<QComboBox*>(child) || qobject_cast<QLineEdit*>(child) ||
                                   qobject_cast<QLabel*>(child)))
            controls.emplace_back(child, QRect(child->mapTo(window, QPoint(0, 0)), child->size()));
    }
    return controls;
}

// Maximising a window changes none of its controls: the window keeps its designed
// size and every button, list, field and group stays where and as large as it was.
// The window is wide enough for its whole title beside the title bar's buttons.
TEST_P(WindowLayoutTest, MaximisingKeepsTheDesignedLayout)
{
    const WindowCase& c = GetParam();
    PrinterLink link(std::make_unique<test::FakePortFactory>(std::make_shared<test::FakePortState>()));
    std::unique_ptr<QWidget> window = c.make(link);
    window->show();
    QCoreApplication::processEvents();
    const QSize designed = window->size();
    const auto before = Controls(window.get());
    ASSERT_FALSE(before.empty());
    window->resize(1600, 1200);  // what maximising asks of the window
    QCoreApplication::processEvents();
    SaveScreenshotIfAsked(window.get(), QStringLiteral("maximised-%1").arg(c.name));
    EXPECT_EQ(window->size(), designed);
    QFont titleFont = window->font();
    titleFont.setBold(true);
    const QFontMetrics title(titleFont);
    EXPECT_GE(designed.width(), title.horizontalAdvance(window->windowTitle()) + 8 * title.height());
    for (const auto& [control, place] : before) {
        EXPECT_EQ(QRect(control->mapTo(window.get(), QPoint(0, 0)), control->size()), place)
            << control->metaObject()->className() << " " << control->objectName().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowLayoutTest,
    ::testing::Values(
        WindowCase{"Main", [](PrinterLink&) { return std::make_unique<MainDialog>(); }},
        WindowCase{"PrinterStatus",
                   [](PrinterLink& link) {
                       StatusDialogServices services;
                       services.makeTimers = [](TimerClient&) { return std::make_unique<StillTimers>(); };
                       return std::make_unique<StatusDialog>(link, InterfaceType::Ethernet,
                                                             std::move(services));
                   }},
        WindowCase{"CommandEditor",
                   [](PrinterLink& link) {
                       return std::make_unique<CommandEditorDialog>(link, InterfaceType::Serial);
                   }},
        WindowCase{"LineSpacing", [](PrinterLink&) { return std::make_unique<LineSpacingDialog>(); }},
        WindowCase{"Codepage", [](PrinterLink&) { return std::make_unique<CodepageDialog>(); }},
        WindowCase{"SelectAddress", [](PrinterLink&) { return std::make_unique<SelectAddressDialog>(); }},
        WindowCase{"About", [](PrinterLink&) { return std::make_unique<AboutBox>(); }},
        WindowCase{"Wait", [](PrinterLink&) { return std::make_unique<WaitDialog>(); }}),
    test::RowName());

}  // namespace
}  // namespace zorvik
