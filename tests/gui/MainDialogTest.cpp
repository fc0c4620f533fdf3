#include <fcntl.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>

#include "GuiFixture.h"
#include "app/RecordingLauncher.h"
#include "app/qt/Demo.h"
#include "app/qt/IpAddressEdit.h"
#include "app/qt/MainDialog.h"
#include "app/qt/SystemServices.h"
#include "base/qt/ControlIds.h"
#include "link/SystemPortFactory.h"
#include "resources/CheckTexts.h"
#include "resources/CommonTexts.h"
#include "resources/MainTexts.h"
#include "sim/SimServer.h"
#include "support/PortSettingsPrint.h"
#include "support/RowName.h"
#include "support/SimulatedPrinter.h"
#include "support/TempDir.h"
#include "support/WatchingPacer.h"

namespace zorvik {
namespace {

using test::GuiFixture;
using test::HexOf;
using test::WaitFor;
using test::WatchingPacer;

const MessageRecord kConnected{kMsgConnected, kTitleInformation, MessageIcon::Information};

class MainDialogTest : public GuiFixture {
protected:
    test::SimulatedPrinter printer;
    WatchingPacer pacer;
    test::RecordingLauncher tools;
    std::vector<std::string> usbPrinters;
    std::vector<std::string> serialDevices;
    std::unique_ptr<MainDialog> dialog;

    // The window on the simulated printer (no real device).
    void Make()
    {
        MainDialogSetup setup;
        setup.makePorts = [this](Pacer&, Notifier&) { return printer.Factory(); };
        MakeWith(std::move(setup));
    }
    // The window on the system's real ports.
    void MakeOnSystemPorts()
    {
        MainDialogSetup setup;
        setup.makePorts = [](Pacer& p, Notifier& n) { return MakeSystemPortFactory(p, n); };
        MakeWith(std::move(setup));
    }
    void MakeWith(MainDialogSetup setup)
    {
        setup.pacer = &pacer;
        setup.tools = &tools;
        setup.hooks.discoverUsb = [this] { return usbPrinters; };
        setup.hooks.serialDevices = [this] { return serialDevices; };
        dialog = std::make_unique<MainDialog>(std::move(setup));
        dialog->show();
    }

    template <typename T = QWidget> T* Control(int id)
    {
        T* control = FindControlAs<T>(dialog.get(), id);
        EXPECT_NE(control, nullptr) << "control " << id;
        return control;
    }
    QComboBox* List(int id) { return Control<QComboBox>(id); }
    void Click(int id) { QTest::mouseClick(Control<QAbstractButton>(id), Qt::LeftButton); }
    // The user picks an entry with the keyboard, as a new choice.
    void Pick(int id, Qt::Key key) { QTest::keyClick(List(id), key); }
    void SetAddress(const QString& a, const QString& b, const QString& c, const QString& d)
    {
        auto* ip = Control<IpAddressEdit>(kIdIpAddress);
        const QString octets[] = {a, b, c, d};
        for (int i = 0; i < 4; ++i)
            ip->Octet(i)->setText(octets[i]);
    }
    void SetTcpPort(const QString& text) { Control<QLineEdit>(kIdTcpPort)->setText(text); }

    std::vector<QString> ListTexts()
    {
        std::vector<QString> texts;
        for (int id :
             {kIdPortList, kIdBaudList, kIdDataBitsList, kIdParityList, kIdStopBitsList, kIdFlowList})
            texts.push_back(List(id)->currentText());
        return texts;
    }
    // Enabled states of the lists, the two fields and the four printer buttons, in id order.
    std::string Enabled()
    {
        std::string out;
        for (int id : {kIdPortList, kIdBaudList, kIdDataBitsList, kIdParityList, kIdStopBitsList, kIdFlowList,
                       kIdIpAddress, kIdTcpPort, kIdCheck, kIdSelfTest, kIdRunManager, kIdCommandEditor})
            out += Control(id)->isEnabled() ? '1' : '0';
        return out;
    }
    bool Checked(int radio) { return Control<QRadioButton>(radio)->isChecked(); }
};

// Lists, IP, port, then Check, Self Test, Run Manager, Command Test Editor.
constexpr char kSerialIdle[] = "111111"
                               "00"
                               "1000";
constexpr char kSerialConnected[] = "111111"
                                    "00"
                                    "0111";

TEST_F(MainDialogTest, OpensOnSerialWithOnlyTheCheckAndExitEnabled)
{
    Make();
    EXPECT_EQ(dialog->windowTitle(), "KARVO LXT-640IV");
    EXPECT_FALSE(dialog->windowIcon().isNull());
    EXPECT_TRUE(Checked(kIdRadioSerial));
    EXPECT_EQ(ListTexts(), (std::vector<QString>{"COM1", "9600", "8", "None", "1", "Hardware"}));
    EXPECT_EQ(Enabled(), kSerialIdle);
    EXPECT_TRUE(Control(kIdExit)->isEnabled());
    EXPECT_TRUE(Control<QPushButton>(kIdCheck)->isDefault());
    EXPECT_EQ(Control<QLineEdit>(kIdTcpPort)->text(), "9100");
    auto* ip = Control<IpAddressEdit>(kIdIpAddress);
    EXPECT_EQ(FormatIpAddress(ip->Address()), "192.168.1.100");
    EXPECT_EQ(List(kIdBaudList)->count(), 7);
    EXPECT_EQ(List(kIdPortList)->itemText(13), "\\\\.\\COM14");
    EXPECT_TRUE(messages.empty());
}

struct RadioCase {
    const char* name;
    int radio;
    std::vector<std::string> usbFound;
    int shownRadio;
    std::vector<QString> texts;  // port, baud, data bits, parity, stop bits, flow
    const char* enabled;
    std::vector<MessageRecord> messages;
    friend void PrintTo(const RadioCase& c, std::ostream* os) { *os << c.name; }
};

class MainDialogRadioTest : public MainDialogTest, public ::testing::WithParamInterface<RadioCase> {};

TEST_P(MainDialogRadioTest, ChoosingAnInterfaceRefillsTheLists)
{
    const RadioCase& c = GetParam();
    usbPrinters = c.usbFound;
    Make();
    Pick(kIdParityList, Qt::Key_End);
    Pick(kIdStopBitsList, Qt::Key_Down);
    Pick(kIdFlowList, Qt::Key_Down);
    Click(c.radio);
    EXPECT_TRUE(Checked(c.shownRadio));
    EXPECT_EQ(ListTexts(), c.texts);
    EXPECT_EQ(Enabled(), std::string(c.enabled));
    EXPECT_EQ(messages, c.messages);
    SaveScreenshotIfAsked(dialog.get(), QStringLiteral("main-%1").arg(c.name));
}

INSTANTIATE_TEST_SUITE_P(
    Radios, MainDialogRadioTest,
    ::testing::Values(RadioCase{"SerialAgain",
                                kIdRadioSerial,
                                {},
                                kIdRadioSerial,
                                {"COM1", "19200", "8", "Space", "1.5", "Xon/Xoff"},
                                kSerialIdle,
                                {}},
                      RadioCase{"Parallel",
                                kIdRadioParallel,
                                {},
                                kIdRadioParallel,
                                {"LPT1", "9600", "8", "Space", "1.5", "Xon/Xoff"},
                                "100000"
                                "00"
                                "1000",
                                {}},
                      RadioCase{"Usb",
                                kIdRadioUsb,
                                {"LXT-640IV:/dev/usb/lp0", "LXT-640IV:/dev/usb/lp1"},
                                kIdRadioUsb,
                                {"LXT-640IV:/dev/usb/lp0", "9600", "8", "Space", "1.5", "Xon/Xoff"},
                                "100000"
                                "00"
                                "1000",
                                {}},
                      RadioCase{"UsbNoneFound",
                                kIdRadioUsb,
                                {},
                                kIdRadioSerial,
                                {"COM1", "9600", "8", "None", "1", "Hardware"},
                                kSerialIdle,
                                {{kMsgUsbNotConnected, kTitleInformation, MessageIcon::Information}}},
                      RadioCase{"Ethernet",
                                kIdRadioEthernet,
                                {},
                                kIdRadioEthernet,
                                {"", "9600", "8", "Space", "1.5", "Xon/Xoff"},
                                "000000"
                                "11"
                                "1000",
                                {}}),
    test::RowName());

struct FieldCase {
    int field;  // kIdTcpPort or the index of an address octet
    const char* typed;
    const char* kept;
};

TEST_F(MainDialogTest, AddressAndPortFieldsTakeOnlyTheirNumbers)
{
    Make();
    Click(kIdRadioEthernet);
    const FieldCase cases[] = {
        {kIdTcpPort, "65535", "65535"},
        {kIdTcpPort, "65536", "6553"},
        {kIdTcpPort, "99999", "9999"},
        {kIdTcpPort, "-1x", "1"},
        {kIdTcpPort, "0", "0"},
        {kIdTcpPort, "9 100", "9100"},
        {0, "255", "255"},
        {1, "256", "25"},
        {2, "a1b", "1"},
        {3, "-0", "0"},
        {0, "300", "30"},
    };
    for (const FieldCase& c : cases) {
        QLineEdit* edit = c.field == kIdTcpPort ? Control<QLineEdit>(kIdTcpPort)
                                                : Control<IpAddressEdit>(kIdIpAddress)->Octet(c.field);
        edit->clear();
        QTest::keyClicks(edit, c.typed);
        EXPECT_EQ(edit->text().toStdString(), c.kept) << c.field << " typed " << c.typed;
    }
}

// How an address gets into the field: typed key by key ('\b' is Backspace) or pasted
// with Ctrl+V, after a click on a box and Ctrl+A. The field starts at 192.168.1.100.
enum class Entry { Keys, Paste };

struct AddressCase {
    const char* name;
    int box;  // the box clicked first
    Entry entry;
    const char* input;
    const char* expected;  // the address Enter then checks
    friend void PrintTo(const AddressCase& c, std::ostream* os) { *os << c.name; }
};

class MainDialogAddressTest : public MainDialogTest, public ::testing::WithParamInterface<AddressCase> {};

TEST_P(MainDialogAddressTest, TypedOrPastedAddressIsTheOneEnterChecks)
{
    const AddressCase& c = GetParam();
    Make();
    Click(kIdRadioEthernet);
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    QLineEdit* box = Control<IpAddressEdit>(kIdIpAddress)->Octet(c.box);
    QWidget* const focused = nullptr;  // keys go to the focus widget, as typed keys do
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(focused, Qt::Key_A, Qt::ControlModifier);
    if (c.entry == Entry::Paste) {
        QGuiApplication::clipboard()->setText(QString::fromUtf8(c.input));
        QTest::keyClick(focused, Qt::Key_V, Qt::ControlModifier);
    } else {
        for (const char key : std::string(c.input)) {
            if (key == '\b')
                QTest::keyClick(focused, Qt::Key_Backspace);
            else
                QTest::keyClicks(focused, QString(QChar(key)));
        }
    }
    EXPECT_EQ(FormatIpAddress(Control<IpAddressEdit>(kIdIpAddress)->Address()), c.expected);
    QTest::keyClick(focused, Qt::Key_Return);
    EXPECT_EQ(dialog->State().settings.portName, c.expected);
    EXPECT_TRUE(dialog->State().Connected());
}

std::vector<AddressCase> AddressCases()
{
    std::vector<AddressCase> cases;
    const std::pair<const char*, const char*> addresses[] = {{"Loopback", "127.0.0.1"},
                                                             {"Private", "192.168.5.20"},
                                                             {"Short", "10.0.0.5"},
                                                             {"OneDigitEach", "1.2.3.4"},
                                                             {"Highest", "255.255.255.255"}};
    for (const auto& [name, address] : addresses) {
        cases.push_back({name, 0, Entry::Keys, address, address});
        cases.push_back({name, 2, Entry::Keys, address, address});
        cases.push_back({name, 1, Entry::Paste, address, address});
        cases.push_back({name, 3, Entry::Paste, address, address});
    }
    cases.push_back({"DotInTheLastBoxIsRefused", 3, Entry::Keys, "7.8", "192.168.1.78"});
    cases.push_back({"DotInAnEmptyBoxStays", 1, Entry::Keys, "\b.5", "192.5.1.100"});
    cases.push_back({"BackspaceAtTheStartGoesBack", 1, Entry::Keys, "\b\b\b3", "193.0.1.100"});
    cases.push_back({"BoxKeepsAtMost255", 2, Entry::Keys, "256", "192.168.25.100"});
    cases.push_back({"PasteWithSpacesAround", 0, Entry::Paste, " 10.0.0.5\n", "10.0.0.5"});
    cases.push_back({"PasteOfAnOctetAbove255IsRefused", 0, Entry::Paste, "300.1.1.1", "192.168.1.100"});
    cases.push_back({"PasteOfOneNumberFillsTheBox", 2, Entry::Paste, "42", "192.168.42.100"});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Addresses, MainDialogAddressTest, ::testing::ValuesIn(AddressCases()),
                         [](const auto& info) {
                             const AddressCase& c = info.param;
                             return std::string(c.name) + (c.entry == Entry::Keys ? "_Keys" : "_Paste") +
                                    "_Box" + std::to_string(c.box);
                         });

TEST_F(MainDialogTest, CheckOverAPseudoTerminalEnablesTheToolsAndTheSelfTestSendsItsBytes)
{
    SimServer server;
    ASSERT_TRUE(server.Start({.pty = true})) << server.Error();
    serialDevices = {server.PtyPath()};
    MakeOnSystemPorts();
    Pick(kIdPortList, Qt::Key_End);
    ASSERT_EQ(List(kIdPortList)->currentText().toStdString(), server.PtyPath());
    Click(kIdCheck);
    EXPECT_EQ(messages, std::vector<MessageRecord>{kConnected});
    EXPECT_EQ(Enabled(), kSerialConnected);

    const std::size_t before = server.WithPrinter([](VirtualPrinter& p) { return p.Received().size(); });
    Click(kIdSelfTest);
    ASSERT_TRUE(
        WaitFor([&] { return server.WithPrinter([](VirtualPrinter& p) { return p.SelfTests(); }) == 1; }));
    const auto received = server.WithPrinter([](VirtualPrinter& p) { return p.Received(); });
    EXPECT_EQ(HexOf(test::Bytes(received.begin() + static_cast<std::ptrdiff_t>(before), received.end())),
              "1D 28 41 02 00 01 02");
    EXPECT_EQ(Enabled(), kSerialConnected);
}

TEST_F(MainDialogTest, CheckOverLoopbackTcp)
{
    SimServer server;
    ASSERT_TRUE(server.Start({.tcp = true})) << server.Error();
    MakeOnSystemPorts();
    Click(kIdRadioEthernet);
    SetAddress("127", "0", "0", "1");
    SetTcpPort(QString::number(server.TcpPort()));
    Click(kIdCheck);
    EXPECT_EQ(messages, std::vector<MessageRecord>{kConnected});
    EXPECT_EQ(Enabled(), "000000"
                         "11"
                         "0111");
    // The printer's state in one line, asked again by its button.
    auto* health = dialog->findChild<QLabel*>(QStringLiteral("healthLabel"));
    auto* refresh = dialog->findChild<QAbstractButton*>(QStringLiteral("healthRefreshButton"));
    ASSERT_TRUE(health && refresh);
    EXPECT_EQ(health->text().toStdString(), "Printer state: ready");
    server.WithPrinter([](VirtualPrinter& p) { p.SetConditions(kSimCoverOpen | kSimPaperNearEnd); });
    refresh->click();
    EXPECT_EQ(health->text().toStdString(), "Printer state: cover open: offline, cover open, paper near end");
    EXPECT_EQ(messages, std::vector<MessageRecord>{kConnected});
    SaveScreenshotIfAsked(dialog.get(), QStringLiteral("main-EthernetConnected"));
    // The address field has no handler: editing it keeps the connection.
    SetAddress("127", "0", "0", "2");
    EXPECT_TRUE(dialog->State().Connected());
    // A dropped connection has no state to show.
    Click(kIdRadioSerial);
    EXPECT_TRUE(health->text().isEmpty());
    EXPECT_FALSE(refresh->isEnabled());
}

TEST_F(MainDialogTest, DemoPresetsEthernetAtTheVirtualPrinter)
{
    SimServer server;
    MakeOnSystemPorts();
    std::string error;
    ASSERT_TRUE(StartDemo(server, *dialog, error)) << error;
    EXPECT_EQ(dialog->windowTitle().toStdString(), kMainCaptionDemo);
    EXPECT_TRUE(Checked(kIdRadioEthernet));
    EXPECT_EQ(FormatIpAddress(Control<IpAddressEdit>(kIdIpAddress)->Address()), "127.0.0.1");
    EXPECT_EQ(Control<QLineEdit>(kIdTcpPort)->text(), QString::number(server.TcpPort()));
    Click(kIdCheck);
    EXPECT_EQ(messages, std::vector<MessageRecord>{kConnected});
}

// The Port list shows the device file behind each name; the map file is read again
// when the list is filled, and the check then opens the device the edited map names.
TEST_F(MainDialogTest, PortListShowsTheDeviceBehindEachNameAndAnEditedMapNeedsNoRestart)
{
    test::TempDir dir;
    const std::string mapFile = dir.File("ports.conf");
    const auto writeMap = [&](const std::string& text) { std::ofstream(mapFile, std::ios::trunc) << text; };
    writeMap("COM3=/dev/ttyUSB7\n");
    // The map file for this test only.
    struct MapVariable {
        const bool had = qEnvironmentVariableIsSet("ZORVIK_PORT_MAP");
        const QByteArray old = qgetenv("ZORVIK_PORT_MAP");
        explicit MapVariable(const std::string& file)
        {
            qputenv("ZORVIK_PORT_MAP", QByteArray::fromStdString(file));
        }
        ~MapVariable() { had ? qputenv("ZORVIK_PORT_MAP", old) : qunsetenv("ZORVIK_PORT_MAP"); }
    } variable(mapFile);
    SimServer server;
    ASSERT_TRUE(server.Start({.pty = true})) << server.Error();

    MakeWith(SystemSetup());
    const auto tip = [&](int row) {
        return List(kIdPortList)->itemData(row, Qt::ToolTipRole).toString().toStdString();
    };
    EXPECT_EQ(tip(0), "COM1 \u2192 /dev/ttyS0");
    EXPECT_EQ(tip(2), "COM3 \u2192 /dev/ttyUSB7");
    EXPECT_EQ(List(kIdPortList)->toolTip().toStdString(), "COM1 \u2192 /dev/ttyS0");

    writeMap("COM3=" + server.PtyPath() + "\n");
    Click(kIdRadioParallel);
    EXPECT_EQ(tip(0), "LPT1 \u2192 /dev/lp0");
    Click(kIdRadioSerial);
    EXPECT_EQ(tip(2), "COM3 \u2192 " + server.PtyPath());
    Pick(kIdPortList, Qt::Key_Down);
    Pick(kIdPortList, Qt::Key_Down);
    ASSERT_EQ(List(kIdPortList)->currentText(), "COM3");
    EXPECT_EQ(List(kIdPortList)->toolTip().toStdString(), "COM3 \u2192 " + server.PtyPath());
    Click(kIdCheck);
    EXPECT_EQ(messages, std::vector<MessageRecord>{kConnected});
}

struct FailureCase {
    const char* name;
    const char* maker;
    const char* model;
    bool ethernetPortZero;
    const char* message;
    friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
};

class MainDialogFailureTest : public MainDialogTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(MainDialogFailureTest, EachFailureShowsItsWarningAndLeavesTheLinkClosed)
{
    const FailureCase& c = GetParam();
    printer.printer->Identity().maker = c.maker;
    printer.printer->Identity().model = c.model;
    Make();
    if (c.ethernetPortZero) {
        Click(kIdRadioEthernet);
        SetAddress("127", "0", "0", "1");
        SetTcpPort("0");
    }
    const std::string before = Enabled();
    Click(kIdCheck);
    EXPECT_EQ(messages, (std::vector<MessageRecord>{{c.message, kTitleWarning, MessageIcon::Exclamation}}));
    EXPECT_EQ(Enabled(), before);
    EXPECT_FALSE(printer.state->open);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, MainDialogFailureTest,
    ::testing::Values(FailureCase{"TcpPortZero", "KARVO", "LXT-640IV", true, kMsgPortConfigError},
                      FailureCase{"WrongMaker", "karvo", "LXT-640IV", false, kMsgWrongMaker},
                      FailureCase{"WrongModel", "KARVO", "LXT-640", false, kMsgWrongModel}),
    test::RowName());

TEST_F(MainDialogTest, OpenFailureRefusedWritesAndSilenceGiveTheirMessages)
{
    Make();
    printer.state->openResult = 0;
    Click(kIdCheck);
    printer.state->openResult = 1;
    printer.state->writeLimit = 1;  // ESC @ only half written
    Click(kIdCheck);
    printer.state->writeLimit = -1;
    printer.printer->Faults().noIdReply = true;
    Click(kIdCheck);
    EXPECT_EQ(messages,
              (std::vector<MessageRecord>{{kMsgCantOpenPort, kTitleWarning, MessageIcon::Exclamation},
                                          {kMsgPortError, kTitleWarning, MessageIcon::Exclamation},
                                          {kMsgNoPrinterId, kTitleWarning, MessageIcon::Exclamation}}));
    EXPECT_EQ(Enabled(), kSerialIdle);
    EXPECT_FALSE(printer.state->open);
    EXPECT_EQ(printer.state->closeCount, 2);
}

TEST_F(MainDialogTest, AnyListChangeWhileConnectedClosesTheLink)
{
    Make();
    for (int id : {kIdPortList, kIdBaudList, kIdDataBitsList, kIdParityList, kIdStopBitsList, kIdFlowList}) {
        SCOPED_TRACE(id);
        Click(kIdCheck);
        ASSERT_TRUE(printer.state->open);
        Pick(id, List(id)->currentIndex() == 0 ? Qt::Key_Down : Qt::Key_Up);
        EXPECT_FALSE(printer.state->open);
        EXPECT_EQ(Enabled(), kSerialIdle);
    }
}

TEST_F(MainDialogTest, SelfTestGreysTheToolButtonsWhileThePrinterPrints)
{
    Make();
    Click(kIdCheck);
    printer.state->writes.clear();
    std::vector<std::string> seen;
    pacer.onPause = [&](std::uint32_t ms) { seen.push_back(std::to_string(ms) + " " + Enabled()); };
    Click(kIdSelfTest);
    EXPECT_EQ(seen, std::vector<std::string>{"4300 111111000100"});
    ASSERT_EQ(printer.state->writes.size(), 1u);
    EXPECT_EQ(HexOf(printer.state->writes[0]), "1D 28 41 02 00 01 02");
    EXPECT_EQ(Enabled(), kSerialConnected);
}

struct BusyCase {
    const char* name;
    int button;   // the exchange
    int clicked;  // what the user clicks during its pauses
    friend void PrintTo(const BusyCase& c, std::ostream* os) { *os << c.name; }
};

class MainDialogBusyTest : public MainDialogTest, public ::testing::WithParamInterface<BusyCase> {};

// A click made while an exchange holds the window is dropped, not carried out once it
// ends, and the wait cursor shows at every pause; messages show with the normal cursor.
TEST_P(MainDialogBusyTest, ExchangeShowsTheWaitCursorAndDropsClicksMadeMeanwhile)
{
    const BusyCase& c = GetParam();
    Make();
    if (c.button != kIdCheck)
        Click(kIdCheck);
    messages.clear();
    test::HoldWatch watch(messages);
    pacer.onPause = [&](std::uint32_t) { watch.AtPause(Control(c.clicked)); };
    Click(c.button);
    pacer.onPause = nullptr;
    watch.ExpectHeld();
    EXPECT_TRUE(tools.runs.empty());
    EXPECT_TRUE(dialog->State().Connected());
    EXPECT_TRUE(Checked(kIdRadioSerial));
    EXPECT_EQ(Enabled(), kSerialConnected);
}

INSTANTIATE_TEST_SUITE_P(Busy, MainDialogBusyTest,
                         ::testing::Values(BusyCase{"SelfTestRunManager", kIdSelfTest, kIdRunManager},
                                           BusyCase{"SelfTestSerial", kIdSelfTest, kIdRadioSerial},
                                           BusyCase{"SelfTestEditor", kIdSelfTest, kIdCommandEditor},
                                           BusyCase{"CheckParallel", kIdCheck, kIdRadioParallel}),
                         test::RowName());

TEST_F(MainDialogTest, ClosingTheWindowClosesTheLink)
{
    Make();
    Click(kIdCheck);
    ASSERT_TRUE(printer.state->open);
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(printer.state->open);
    EXPECT_EQ(printer.state->closeCount, 1);
}

TEST_F(MainDialogTest, CloseRequestDuringTheSelfTestWaitsForItsEnd)
{
    Make();
    Click(kIdCheck);
    bool openDuringPause = false;
    pacer.onPause = [&](std::uint32_t) {
        dialog->close();
        openDuringPause = printer.state->open && dialog->isVisible();
    };
    Click(kIdSelfTest);
    EXPECT_TRUE(openDuringPause);
    ASSERT_TRUE(WaitFor([&] { return !dialog->isVisible(); }));
    EXPECT_FALSE(printer.state->open);
}

TEST_F(MainDialogTest, ToolsOpenOnTheLinkAndOnlyAnOkFromPrinterStatusClosesTheWindow)
{
    Make();
    Click(kIdCheck);
    Click(kIdCommandEditor);
    Click(kIdCommandEditor);
    Click(kIdRunManager);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Enabled(), kSerialConnected);
    EXPECT_TRUE(printer.state->open);

    tools.statusResult = true;
    Click(kIdRunManager);
    EXPECT_EQ(tools.runs, (std::vector<std::string>{"editor 0", "editor 0", "status 0", "status 0"}));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(printer.state->open);
}

TEST_F(MainDialogTest, EachCommandEditorOpeningMakesANewModalEditorOnTheOpenLink)
{
    MainDialogSetup setup;
    setup.makePorts = [this](Pacer&, Notifier&) { return printer.Factory(); };
    setup.pacer = &pacer;
    dialog = std::make_unique<MainDialog>(std::move(setup));  // the real tool dialogs
    dialog->show();
    Click(kIdCheck);
    std::vector<QPointer<QWidget>> editors;
    std::vector<std::string> classes;
    for (int round = 0; round < 2; ++round) {
        QTimer::singleShot(0, [&] {
            QWidget* editor = QApplication::activeModalWidget();
            editors.emplace_back(editor);
            classes.emplace_back(editor ? editor->metaObject()->className() : "none");
            if (editor)
                QMetaObject::invokeMethod(editor, "reject", Qt::QueuedConnection);
        });
        Click(kIdCommandEditor);
    }
    EXPECT_EQ(classes,
              (std::vector<std::string>{"zorvik::CommandEditorDialog", "zorvik::CommandEditorDialog"}));
    ASSERT_EQ(editors.size(), 2u);
    for (const auto& editor : editors)
        EXPECT_TRUE(editor.isNull()) << "each editor is discarded when it ends";
    EXPECT_TRUE(printer.state->open);
    EXPECT_EQ(Enabled(), kSerialConnected);
}

// A simulated printer port that also offers a device-change handle: a pipe the test
// writes to when the "device" changes.
class WatchedPort final : public Port {
public:
    WatchedPort(std::unique_ptr<Port> inner, int handle, int& changes)
        : inner_(std::move(inner)), handle_(handle), changes_(changes)
    {
    }
    int Configure(const PortSettings& s) override { return inner_->Configure(s); }
    int Open() override { return inner_->Open(); }
    int Write(const std::uint8_t* b, std::uint32_t n) override { return inner_->Write(b, n); }
    int Read(std::uint8_t* b, std::uint32_t n, std::uint32_t t) override { return inner_->Read(b, n, t); }
    void Close() override { inner_->Close(); }
    int DeviceEventHandle() const override { return handle_; }
    void HandleDeviceChange() override
    {
        char drained[16];
        while (::read(handle_, drained, sizeof drained) > 0) {
        }
        ++changes_;
    }

private:
    std::unique_ptr<Port> inner_;
    int handle_;
    int& changes_;
};

TEST_F(MainDialogTest, DeviceChangesOfTheOpenPortAreHandledUntilTheConnectionIsDropped)
{
    int pipeEnds[2];
    ASSERT_EQ(::pipe2(pipeEnds, O_NONBLOCK | O_CLOEXEC), 0);
    int changes = 0;
    struct Factory final : PortFactory {
        std::unique_ptr<PortFactory> inner;
        int handle;
        int* changes;
        std::unique_ptr<Port> Make(InterfaceType type) override
        {
            return std::make_unique<WatchedPort>(inner->Make(type), handle, *changes);
        }
    };
    MainDialogSetup setup;
    setup.makePorts = [&](Pacer&, Notifier&) {
        auto factory = std::make_unique<Factory>();
        factory->inner = printer.Factory();
        factory->handle = pipeEnds[0];
        factory->changes = &changes;
        return factory;
    };
    MakeWith(std::move(setup));
    const char event = 1;
    ASSERT_EQ(::write(pipeEnds[1], &event, 1), 1);
    QTest::qWait(20);
    EXPECT_EQ(changes, 0) << "no port is open yet";
    Click(kIdCheck);
    EXPECT_TRUE(WaitFor([&] { return changes == 1; }));
    Pick(kIdBaudList, Qt::Key_Down);
    ASSERT_EQ(::write(pipeEnds[1], &event, 1), 1);
    QTest::qWait(20);
    EXPECT_EQ(changes, 1);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
}

TEST_F(MainDialogTest, AboutEntryShowsTheModalAboutBox)
{
    Make();
    QAction* about = dialog->findChild<QAction*>(QStringLiteral("aboutAction"));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->text(), "&About Zorvik...");
    EXPECT_TRUE(dialog->actions().contains(about));
    QString title;
    bool hasIcon = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box)
            return;
        title = box->windowTitle();
        auto* picture = box->findChild<QLabel*>(QStringLiteral("aboutIcon"));
        hasIcon = picture && !picture->pixmap().isNull();
        SaveScreenshotIfAsked(box, QStringLiteral("about"));
        QTest::keyClick(box, Qt::Key_Return);
    });
    Click(kIdAboutButton);
    EXPECT_EQ(title, "About Zorvik");
    EXPECT_TRUE(hasIcon);
}

}  // namespace
}  // namespace zorvik
