#include <gtest/gtest.h>

#include <map>

#include "RecordingLauncher.h"
#include "app/MainWindowState.h"
#include "resources/CheckTexts.h"
#include "resources/CommonTexts.h"
#include "resources/MainTexts.h"
#include "support/FakePort.h"
#include "support/PortSettingsPrint.h"
#include "support/RecordingNotifier.h"
#include "support/RecordingQueues.h"
#include "support/RowName.h"
#include "support/SimulatedPrinter.h"

namespace zorvik {
namespace {

using test::Bytes;
using test::FakePortFactory;
using test::FakePortState;
using test::HexOf;
using test::RecordingLauncher;
using test::RecordingNotifier;
using test::RecordingQueues;
using test::ShownMessage;

class RecordingPreset : public WindowPreset {
public:
    RecordingPreset() : WindowPreset(nullptr, nullptr) {}
    std::vector<std::string> calls;
    void Load(MainWindowState& w) override { calls.push_back("load " + w.argument.value_or("")); }
    void ApplySelections(MainWindowState& w) override
    {
        calls.push_back("apply " + std::to_string(CodeNumber(w.settings.interfaceType)));
    }
};

struct Enables {
    bool port, baud, data, parity, stop, flow, ip, tcp, check, selfTest, manager, editor;
    friend bool operator==(const Enables&, const Enables&) = default;
};

class MainWindowStateTest : public ::testing::Test {
protected:
    test::SimulatedPrinter printer;
    std::shared_ptr<FakePortState> port = printer.state;
    PrinterLink link{printer.Factory()};
    VirtualPacer pacer;
    RecordingNotifier notifier;
    RecordingLauncher tools;
    RecordingQueues queues;
    std::vector<std::string> usbPrinters;
    std::vector<Enables> rendered;
    MainWindowState state{link, pacer, notifier, tools, Hooks(), &queues};

    MainWindowHooks Hooks()
    {
        MainWindowHooks hooks;
        hooks.discoverUsb = [this] { return usbPrinters; };
        hooks.render = [this] { rendered.push_back(Now()); };
        return hooks;
    }

    void SetUp() override { state.Open(); }

    Enables Now() const
    {
        auto on = [&](MainList l) { return state.List(l).enabled; };
        return {on(MainList::Port),    on(MainList::BaudRate),  on(MainList::DataBits),
                on(MainList::Parity),  on(MainList::StopBits),  on(MainList::FlowControl),
                state.ipEnabled,       state.tcpPortEnabled,    state.checkEnabled,
                state.selfTestEnabled, state.runManagerEnabled, state.commandEditorEnabled};
    }
    std::string Selected(MainList l) const { return state.List(l).SelectedText(); }
    std::vector<std::string> SerialSelections() const
    {
        return {Selected(MainList::Port),   Selected(MainList::BaudRate), Selected(MainList::DataBits),
                Selected(MainList::Parity), Selected(MainList::StopBits), Selected(MainList::FlowControl)};
    }
    // Picks an entry in each list, in list order; -1 leaves a list alone.
    void ChooseEntries(const std::array<int, kMainListCount>& indexes)
    {
        for (int list = 0; list < kMainListCount; ++list)
            state.ChooseEntry(static_cast<MainList>(list), indexes[static_cast<std::size_t>(list)]);
    }
    void Connect()
    {
        state.CheckCommunication();
        ASSERT_TRUE(state.Connected());
        notifier.messages.clear();
    }
};

constexpr Enables kSerialIdle{true, true, true, true, true, true, false, false, true, false, false, false};
constexpr Enables kSerialConnected{true, true, true, true, true, true, false, false, false, true, true, true};

TEST_F(MainWindowStateTest, OpensOnCom1At9600WithOnlyTheCheckEnabled)
{
    EXPECT_EQ(state.settings.interfaceType, InterfaceType::Serial);
    EXPECT_EQ(SerialSelections(), (std::vector<std::string>{"COM1", "9600", "8", "None", "1", "Hardware"}));
    EXPECT_EQ(state.List(MainList::Port).entries.size(), 14u);
    EXPECT_EQ(state.List(MainList::Port).entries[9], "\\\\.\\COM10");
    EXPECT_EQ(Now(), kSerialIdle);
    EXPECT_EQ(state.settings.tcpPort, 9100u);
    EXPECT_EQ(FormatIpAddress(state.ipAddress), "192.168.1.100");
    EXPECT_FALSE(state.Connected());
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(MainWindowStateTest, ChoosingSerialAgainSelects19200AndKeepsTheLineSettings)
{
    ChooseEntries({4, -1, 1, 2, 2, 1});
    state.ChooseInterface(InterfaceType::Serial);
    EXPECT_EQ(SerialSelections(), (std::vector<std::string>{"COM1", "19200", "8", "Even", "2", "Xon/Xoff"}));
    EXPECT_EQ(state.settings.portName, "COM1:");
    EXPECT_EQ(Now(), kSerialIdle);
}

struct InterfaceCase {
    const char* name;
    InterfaceType chosen;
    std::vector<std::string> usbFound;
    InterfaceType shown;
    bool serialNames;                      // the port list holds the serial names
    std::vector<std::string> portEntries;  // otherwise these
    Enables enables;
    std::vector<std::string> selections;  // port, baud, data, parity, stop, flow
    std::vector<ShownMessage> messages;
    friend void PrintTo(const InterfaceCase& c, std::ostream* os) { *os << c.name; }
};

class InterfaceChoiceTest : public MainWindowStateTest,
                            public ::testing::WithParamInterface<InterfaceCase> {};

TEST_P(InterfaceChoiceTest, FillsTheListsForTheInterface)
{
    const InterfaceCase& c = GetParam();
    // Line settings off their defaults, to see which survive the choice.
    ChooseEntries({-1, 6, -1, 1, -1, 2});
    usbPrinters = c.usbFound;
    state.ChooseInterface(c.chosen);

    EXPECT_EQ(state.settings.interfaceType, c.shown);
    if (c.serialNames)
        EXPECT_EQ(state.List(MainList::Port).entries.size(), 14u);
    else
        EXPECT_EQ(state.List(MainList::Port).entries, c.portEntries);
    EXPECT_EQ(Now(), c.enables);
    EXPECT_EQ(SerialSelections(), c.selections);
    EXPECT_EQ(notifier.messages, c.messages);
}

const ShownMessage kNoUsb{kMsgUsbNotConnected, kTitleInformation, MessageIcon::Information};

INSTANTIATE_TEST_SUITE_P(
    Choices, InterfaceChoiceTest,
    ::testing::Values(
        InterfaceCase{"Parallel",
                      InterfaceType::Parallel,
                      {},
                      InterfaceType::Parallel,
                      false,
                      {"LPT1", "LPT2", "LPT3"},
                      {true, false, false, false, false, false, false, false, true, false, false, false},
                      {"LPT1", "115200", "8", "Odd", "1", "None"},
                      {}},
        InterfaceCase{"TwoUsbPrinters",
                      InterfaceType::Usb,
                      {"LXT-640IV:/dev/usb/lp0", "LXT-640IV:/dev/usb/lp1"},
                      InterfaceType::Usb,
                      false,
                      {"LXT-640IV:/dev/usb/lp0", "LXT-640IV:/dev/usb/lp1"},
                      {true, false, false, false, false, false, false, false, true, false, false, false},
                      {"LXT-640IV:/dev/usb/lp0", "115200", "8", "Odd", "1", "None"},
                      {}},
        InterfaceCase{"NoUsbPrinterFallsBackToSerial",
                      InterfaceType::Usb,
                      {},
                      InterfaceType::Serial,
                      true,
                      {},
                      kSerialIdle,
                      {"COM1", "9600", "8", "None", "1", "Hardware"},
                      {kNoUsb}},
        InterfaceCase{"Ethernet",
                      InterfaceType::Ethernet,
                      {},
                      InterfaceType::Ethernet,
                      false,
                      {},
                      {false, false, false, false, false, false, true, true, true, false, false, false},
                      {"", "115200", "8", "Odd", "1", "None"},
                      {}}),
    test::RowName());

TEST_F(MainWindowStateTest, EthernetFromTheStartTakesTheDefaultAddressAndPort)
{
    state.ipAddress = {10, 1, 2, 3};
    state.settings.tcpPort = 4000;
    state.ChooseInterface(InterfaceType::Ethernet);
    EXPECT_EQ(FormatIpAddress(state.ipAddress), "192.168.1.100");
    EXPECT_EQ(state.settings.tcpPort, 9100u);
    EXPECT_TRUE(state.List(MainList::Port).entries.empty());
}

TEST_F(MainWindowStateTest, EthernetAfterACheckOnCom1KeepsTheAddressAndPort)
{
    Connect();
    state.ipAddress = {10, 0, 0, 5};
    state.settings.tcpPort = 9200;
    state.ChooseInterface(InterfaceType::Ethernet);
    EXPECT_FALSE(state.Connected());
    EXPECT_EQ(FormatIpAddress(state.ipAddress), "10.0.0.5");
    EXPECT_EQ(state.settings.tcpPort, 9200u);
}

TEST_F(MainWindowStateTest, CollectedSettingsFollowTheInterface)
{
    ChooseEntries({11, 4, 1, 3, 1, 2});
    EXPECT_EQ(state.CollectSettings(), (PortSettings{.interfaceType = InterfaceType::Serial,
                                                     .portName = "\\\\.\\COM12",
                                                     .baudRate = 38400,
                                                     .dataBits = 7,
                                                     .stopBits = StopBits::OneAndHalf,
                                                     .parity = Parity::Mark,
                                                     .flowControl = FlowControl::None,
                                                     .timeouts = CommTimeouts{10, 10, 10, 0, 0},
                                                     .tcpPort = 0}));

    state.ChooseInterface(InterfaceType::Ethernet);
    state.ipAddress = {10, 0, 0, 5};
    state.settings.tcpPort = 9100;
    EXPECT_EQ(state.CollectSettings(), (PortSettings{.interfaceType = InterfaceType::Ethernet,
                                                     .portName = "10.0.0.5",
                                                     .timeouts = {},
                                                     .tcpPort = 9100}));
}

TEST_F(MainWindowStateTest, AListWithoutSelectionKeepsThePreviousValue)
{
    state.CollectSettings();
    state.List(MainList::BaudRate).selection = -1;
    state.List(MainList::Port).selection = -1;
    state.List(MainList::Parity).selection = -1;
    const PortSettings s = state.CollectSettings();
    EXPECT_EQ(s.portName, "COM1");
    EXPECT_EQ(s.baudRate, 9600u);
    EXPECT_EQ(s.parity, Parity::None);
}

TEST_F(MainWindowStateTest, SuccessfulCheckEnablesTheToolsAndReleasesTheQueues)
{
    state.CheckCommunication();
    EXPECT_TRUE(state.Connected());
    EXPECT_EQ(Now(), kSerialConnected);
    EXPECT_EQ(notifier.messages,
              (std::vector<ShownMessage>{{kMsgConnected, kTitleInformation, MessageIcon::Information}}));
    EXPECT_EQ(queues.released, std::vector<std::string>{"COM1"});
    ASSERT_EQ(port->configured.size(), 1u);
    EXPECT_EQ(port->configured[0].baudRate, 9600u);

    // The printer's state in one line, asked after the check and again on refresh;
    // one that stops answering is unknown, and a dropped connection shows nothing.
    EXPECT_EQ(state.healthLine, "Printer state: ready");
    EXPECT_TRUE(state.healthRefreshEnabled);
    const struct {
        unsigned conditions;
        bool silent;
        const char* line;
    } refreshes[] = {
        {kSimPaperEnd, false,
         "Printer state: paper out: offline, printing stopped by paper end, paper near end, "
         "paper end"},
        {kSimCutterError, false, "Printer state: error: offline, error, cutter error"},
        {kSimCutterError, true, "Printer state: unknown"},
        {0, false, "Printer state: ready"},
    };
    for (const auto& r : refreshes) {
        printer.printer->SetConditions(r.conditions);
        printer.printer->Faults().silent = r.silent;
        state.RefreshHealth();
        EXPECT_EQ(state.healthLine, r.line);
        EXPECT_TRUE(state.healthRefreshEnabled);
    }
    EXPECT_EQ(notifier.messages.size(), 1u);
    state.DropConnection();
    EXPECT_EQ(state.healthLine, "");
    EXPECT_FALSE(state.healthRefreshEnabled);
}

struct FailureCase {
    const char* name;
    std::string maker, model;
    int configureResult, openResult;
    InterfaceType type;
    std::uint32_t tcpPort;
    const char* message;
    bool opened;
    friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
};

class CheckFailureTest : public MainWindowStateTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CheckFailureTest, ShowsOneWarningAndLeavesTheLinkClosed)
{
    const FailureCase& c = GetParam();
    printer.printer->Identity().maker = c.maker;
    printer.printer->Identity().model = c.model;
    port->configureResult = c.configureResult;
    port->openResult = c.openResult;
    if (c.type == InterfaceType::Ethernet) {
        state.ChooseInterface(InterfaceType::Ethernet);
        state.ipAddress = {127, 0, 0, 1};
        state.settings.tcpPort = c.tcpPort;
    }
    const Enables before = Now();
    state.CheckCommunication();
    EXPECT_FALSE(state.Connected());
    EXPECT_EQ(notifier.messages,
              (std::vector<ShownMessage>{{c.message, kTitleWarning, MessageIcon::Exclamation}}));
    EXPECT_EQ(Now(), before);
    EXPECT_FALSE(port->open);
    EXPECT_EQ(port->closeCount, c.opened ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Failures, CheckFailureTest,
                         ::testing::Values(FailureCase{"Refused", "KARVO", "LXT-640IV", 0, 1,
                                                       InterfaceType::Serial, 0, kMsgPortConfigError, false},
                                           FailureCase{"TcpPortZero", "KARVO", "LXT-640IV", 1, 1,
                                                       InterfaceType::Ethernet, 0, kMsgPortConfigError,
                                                       false},
                                           FailureCase{"NotOpened", "KARVO", "LXT-640IV", 1, 0,
                                                       InterfaceType::Serial, 0, kMsgCantOpenPort, false},
                                           FailureCase{"WrongMaker", "KARVOX", "LXT-640IV", 1, 1,
                                                       InterfaceType::Serial, 0, kMsgWrongMaker, true},
                                           FailureCase{"WrongModel", "KARVO", "LXT-641", 1, 1,
                                                       InterfaceType::Serial, 0, kMsgWrongModel, true}),
                         test::RowName());

TEST_F(MainWindowStateTest, AnyListChangeWhileConnectedDropsTheConnection)
{
    for (int list = 0; list < kMainListCount; ++list) {
        SCOPED_TRACE(list);
        Connect();
        const int closes = port->closeCount;
        const auto which = static_cast<MainList>(list);
        // Choosing the entry already selected is no change.
        state.ChooseEntry(which, state.List(which).selection);
        EXPECT_TRUE(state.Connected());
        state.ChooseEntry(which, state.List(which).selection == 1 ? 0 : 1);
        EXPECT_FALSE(state.Connected());
        EXPECT_EQ(port->closeCount, closes + 1);
        EXPECT_EQ(Now(), kSerialIdle);
    }
}

TEST_F(MainWindowStateTest, InterfaceChoiceWhileConnectedDropsTheConnection)
{
    for (InterfaceType type : {InterfaceType::Serial, InterfaceType::Parallel, InterfaceType::Ethernet}) {
        state.ChooseInterface(InterfaceType::Serial);
        Connect();
        state.ChooseInterface(type);
        EXPECT_FALSE(state.Connected()) << type;
        EXPECT_TRUE(state.checkEnabled);
        EXPECT_FALSE(state.selfTestEnabled || state.runManagerEnabled || state.commandEditorEnabled);
    }
}

TEST_F(MainWindowStateTest, SelfTestSendsSevenBytesAndGreysTheToolsDuringTheWait)
{
    Connect();
    port->writes.clear();
    pacer.Clear();
    rendered.clear();
    state.SelfTest();
    ASSERT_EQ(port->writes.size(), 1u);
    EXPECT_EQ(HexOf(port->writes[0]), "1D 28 41 02 00 01 02");
    EXPECT_EQ(pacer.Pauses(), std::vector<std::uint32_t>{4300});
    ASSERT_EQ(rendered.size(), 1u);
    EXPECT_TRUE(rendered[0].selfTest);
    EXPECT_FALSE(rendered[0].manager);
    EXPECT_FALSE(rendered[0].editor);
    EXPECT_EQ(Now(), kSerialConnected);
}

TEST_F(MainWindowStateTest, ToolsNeedAConnection)
{
    state.SelfTest();
    EXPECT_EQ(state.RunManager(), MainWindowState::ToolEnd::StayOpen);
    state.RunCommandEditor();
    EXPECT_TRUE(port->writes.empty());
    EXPECT_TRUE(tools.runs.empty());
}

TEST_F(MainWindowStateTest, StatusDialogEndingWithOkClosesTheWindow)
{
    Connect();
    state.RunCommandEditor();
    state.RunCommandEditor();
    EXPECT_EQ(state.RunManager(), MainWindowState::ToolEnd::StayOpen);
    EXPECT_TRUE(state.Connected());
    EXPECT_EQ(Now(), kSerialConnected);
    tools.statusResult = true;
    EXPECT_EQ(state.RunManager(), MainWindowState::ToolEnd::CloseWindow);
    EXPECT_EQ(tools.runs, (std::vector<std::string>{"editor 0", "editor 0", "status 0", "status 0"}));
    EXPECT_FALSE(state.Connected());
    EXPECT_EQ(port->closeCount, 1);
    EXPECT_EQ(queues.restores, 1);
}

TEST_F(MainWindowStateTest, ClosingClosesTheLinkAndRestoresTheQueuesOnce)
{
    Connect();
    state.Close();
    state.Close();
    EXPECT_FALSE(port->open);
    EXPECT_EQ(port->closeCount, 1);
    EXPECT_EQ(queues.restores, 1);
}

// What a state built by the test itself works with.
struct Collaborators {
    std::shared_ptr<FakePortState> port = std::make_shared<FakePortState>();
    PrinterLink link{std::make_unique<FakePortFactory>(port)};
    VirtualPacer pacer;
    RecordingNotifier notifier;
    RecordingLauncher tools;
};

TEST(MainWindowStatePorts, SystemSerialDevicesFollowTheNamesTheyAreNotBehind)
{
    Collaborators with;
    MainWindowHooks hooks;
    hooks.serialDevices = [] {
        return std::vector<std::string>{"/dev/ttyS0", "/dev/ttyUSB0", "", "/dev/ttyACM0", "/dev/ttyUSB0"};
    };
    hooks.devicePathOf = [](const std::string& name) {
        return name == "COM1" ? std::string("/dev/ttyS0") : name == "COM2" ? std::string("/dev/ttyACM0") : "";
    };
    MainWindowState state(with.link, with.pacer, with.notifier, with.tools, hooks);
    state.Open();
    const auto& entries = state.List(MainList::Port).entries;
    ASSERT_EQ(entries.size(), 15u);
    EXPECT_EQ(entries[13], "\\\\.\\COM14");
    EXPECT_EQ(entries[14], "/dev/ttyUSB0");
}

// Each port name the map or the defaults put a device behind shows it; the map is read
// again whenever the list is filled, so an edited map shows without a restart.
TEST(MainWindowStatePorts, NamesShowTheDeviceBehindThemAndTheMapIsReadAtEveryFill)
{
    Collaborators with;
    std::map<std::string, std::string> map = {
        {"COM1", "/dev/ttyS0"}, {"COM3", "/dev/ttyUSB0"}, {"LPT1", "/dev/lp0"}};
    std::map<std::string, std::string> read;
    int reads = 0;
    MainWindowHooks hooks;
    hooks.serialDevices = [] { return std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyACM1"}; };
    hooks.reloadDeviceNames = [&] {
        read = map;
        ++reads;
    };
    hooks.devicePathOf = [&](const std::string& name) {
        const auto found = read.find(name);
        return found != read.end() ? found->second : name.starts_with("/dev/") ? name : std::string();
    };
    MainWindowState state(with.link, with.pacer, with.notifier, with.tools, hooks);
    const auto tip = [&](std::size_t entry) {
        const ListControl& list = state.List(MainList::Port);
        return entry < list.tips.size() ? list.tips[entry] : std::string("(none)");
    };
    state.Open();
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(state.List(MainList::Port).tips.size(), state.List(MainList::Port).entries.size());
    EXPECT_EQ(tip(0), "COM1 \u2192 /dev/ttyS0");
    EXPECT_EQ(tip(1), "");
    EXPECT_EQ(tip(2), "COM3 \u2192 /dev/ttyUSB0");
    EXPECT_EQ(state.List(MainList::Port).entries.back(), "/dev/ttyACM1");
    EXPECT_EQ(tip(14), "") << "a device path stands for itself";

    map["COM3"] = "/dev/ttyACM1";
    map["COM2"] = "/dev/ttyUSB0";
    EXPECT_EQ(tip(2), "COM3 \u2192 /dev/ttyUSB0") << "read only when the list is filled";
    state.ChooseInterface(InterfaceType::Parallel);
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(tip(0), "LPT1 \u2192 /dev/lp0");
    state.ChooseInterface(InterfaceType::Serial);
    EXPECT_EQ(reads, 3);
    EXPECT_EQ(tip(1), "COM2 \u2192 /dev/ttyUSB0");
    EXPECT_EQ(tip(2), "COM3 \u2192 /dev/ttyACM1");
    // The devices the names now cover are listed once, under their names.
    EXPECT_EQ(state.List(MainList::Port).entries.size(), 14u);
}

TEST(MainWindowStatePresets, ArgumentIsLoadedAndTheFillsApplyTheSelections)
{
    for (const char* argument : {"Custom_HXR-615deltaV", "\"Custom_HXR-615deltaV\""}) {
        Collaborators with;
        RecordingPreset preset;
        MainWindowState state(with.link, with.pacer, with.notifier, with.tools, {}, nullptr, &preset);
        state.Open(argument);
        for (InterfaceType type :
             {InterfaceType::Serial, InterfaceType::Parallel, InterfaceType::Usb, InterfaceType::Ethernet})
            state.ChooseInterface(type);
        EXPECT_EQ(preset.calls, (std::vector<std::string>{std::string("load ") + argument, "apply 0",
                                                          "apply 1", "apply 0", "apply 3"}));
    }
}

}  // namespace
}  // namespace zorvik
