#include <gtest/gtest.h>

#include <fstream>

#include "app/MainWindowState.h"
#include "app/PresetApplier.h"
#include "app/PresetFixedDestinations.h"
#include "app/PresetSystemStore.h"
#include "resources/MainTexts.h"
#include "support/FakePort.h"
#include "support/RecordingNotifier.h"
#include "support/TempDir.h"

namespace zorvik {
namespace {

class NoTools : public ToolLauncher {
public:
    bool RunStatusDialog(PrinterLink&, InterfaceType) override { return false; }
    void RunCommandEditor(PrinterLink&, InterfaceType) override {}
};

// A main window state opened with an argument over hand-given queues, an own
// settings file in a temporary folder and a scripted list of USB printers.
struct PresetWindow {
    test::TempDir dir;
    std::string ownFile = dir.File("LXT-640IV.conf");
    std::shared_ptr<test::FakePortState> port = std::make_shared<test::FakePortState>();
    PrinterLink link{std::make_unique<test::FakePortFactory>(port)};
    VirtualPacer pacer;
    test::RecordingNotifier notifier;
    NoTools tools;
    std::vector<std::string> usbPrinters;
    PresetFixedDestinations* queues = nullptr;
    std::unique_ptr<PresetSystemStore> store;
    std::unique_ptr<PresetApplier> preset;
    std::unique_ptr<MainWindowState> state;

    PresetWindow()
    {
        auto owned = std::make_unique<PresetFixedDestinations>();
        queues = owned.get();
        store = std::make_unique<PresetSystemStore>(std::move(owned), ownFile);
        preset = std::make_unique<PresetApplier>(*store);
        MainWindowHooks hooks;
        hooks.discoverUsb = [this] { return usbPrinters; };
        state = std::make_unique<MainWindowState>(link, pacer, notifier, tools, hooks, nullptr, preset.get());
    }

    std::vector<std::string> Shown() const
    {
        std::vector<std::string> shown{kInterfaceNames[static_cast<std::size_t>(state->interfaceType)]};
        for (MainList list : {MainList::Port, MainList::BaudRate, MainList::DataBits, MainList::Parity,
                              MainList::StopBits, MainList::FlowControl})
            shown.push_back(state->List(list).SelectedText());
        shown.push_back(FormatIpAddress(state->ipAddress));
        shown.push_back(std::to_string(state->tcpPort));
        return shown;
    }
};

using Shown = std::vector<std::string>;
const char kOwn[] = "Custom_HXR-615deltaV";
const Shown kDefaults = {"SERIAL", "COM1", "9600", "8", "None", "1", "Hardware", "192.168.1.100", "9100"};

TEST(PresetWindowState, OpeningWithAnArgument)
{
    struct Row {
        const char* name;
        const char* argument;
        const char* queueUri;   // the queue "Receipt"
        const char* ownFile;
        std::vector<std::string> usb;
        Shown expected;
        bool usbMessage;
    };
    const Row rows[] = {
        {"queue on COM2", "Receipt", "serial:/dev/ttyS1?baud=9600+bits=8+parity=none+flow=none", nullptr, {},
         {"SERIAL", "COM2", "9600", "8", "None", "1", "None", "192.168.1.100", "9100"}, false},
        {"queue on COM10", "Receipt", "serial:/dev/ttyS9?baud=19200+bits=7+parity=odd+stop=2+flow=soft", nullptr,
         {}, {"SERIAL", "", "19200", "7", "Odd", "2", "Xon/Xoff", "192.168.1.100", "9100"}, false},
        {"queue on LPT1", "Receipt", "parallel:/dev/lp0", nullptr, {},
         {"PARALLEL", "LPT1", "9600", "8", "None", "1", "Hardware", "192.168.1.100", "9100"}, false},
        {"queue on USB, none attached", "Receipt", "usb://KARVO/LXT-640IV", nullptr, {}, kDefaults, true},
        {"queue on USB, one attached", "Receipt", "usb://KARVO/LXT-640IV", nullptr, {"LXT-640IV:/dev/usb/lp0"},
         {"USB", "LXT-640IV:/dev/usb/lp0", "9600", "8", "None", "1", "Hardware", "192.168.1.100", "9100"},
         false},
        {"socket queue", "Receipt", "socket://10.0.0.5:9100", nullptr, {},
         {"Ethernet", "", "9600", "8", "None", "1", "Hardware", "10.0.0.5", "9100"}, false},
        {"socket queue on another port", "Receipt", "socket://10.0.0.5:4000", nullptr, {},
         {"Ethernet", "", "9600", "8", "None", "1", "Hardware", "10.0.0.5", "4000"}, false},
        {"queue on a file", "Receipt", "file:/dev/null", nullptr, {}, kDefaults, false},
        {"queue that does not exist", "Missing", "parallel:/dev/lp0", nullptr, {}, kDefaults, false},
        {"quoted queue name", "\"Receipt\"", "parallel:/dev/lp0", nullptr, {}, kDefaults, false},
        {"own preset on COM1", kOwn, "parallel:/dev/lp0",
         "Port=COM1\nBaudRate=38400\nDataBits=7\nParity=2\nStopBits=0\nFlowControl=1\n", {},
         {"SERIAL", "COM1", "38400", "7", "Even", "1", "Xon/Xoff", "192.168.1.100", "9100"}, false},
        {"own preset on COM1:", kOwn, nullptr,
         "Port=COM1:\nBaudRate=38400\nDataBits=7\nParity=2\nStopBits=0\nFlowControl=1\n", {},
         {"SERIAL", "", "38400", "7", "Even", "1", "Xon/Xoff", "192.168.1.100", "9100"}, false},
        {"own preset with codes beyond the lists", kOwn, nullptr,
         "Port=COM3\nBaudRate=1200\nDataBits=8\nParity=5\nStopBits=3\nFlowControl=7\n", {},
         {"SERIAL", "COM3", "", "8", "", "", "", "192.168.1.100", "9100"}, false},
        {"own preset on NET", kOwn, nullptr, "Port=NET\nTcpIp=10.0.0.7\nTcpPort=9100\n", {},
         {"Ethernet", "", "9600", "8", "None", "1", "Hardware", "10.0.0.7", "9100"}, false},
        {"own preset on NET without a TCP port", kOwn, nullptr, "Port=NET\nTcpIp=10.0.0.7\n", {},
         {"Ethernet", "", "9600", "8", "None", "1", "Hardware", "10.0.0.7", "9100"}, false},
        {"own preset on LPT2", kOwn, nullptr, "Port=LPT2\n", {},
         {"PARALLEL", "LPT2", "9600", "8", "None", "1", "Hardware", "192.168.1.100", "9100"}, false},
        {"own preset without a file", kOwn, "serial:/dev/ttyS1?baud=19200", nullptr, {}, kDefaults, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PresetWindow w;
        if (row.queueUri)
            w.queues->Set("Receipt", row.queueUri);
        if (row.ownFile)
            std::ofstream(w.ownFile) << row.ownFile;
        w.usbPrinters = row.usb;
        w.state->Open(std::string(row.argument));
        EXPECT_EQ(w.Shown(), row.expected);
        if (row.usbMessage) {
            EXPECT_EQ(w.notifier.messages, (std::vector<test::ShownMessage>{
                                               {kMsgUsbNotConnected, "Information", MessageIcon::Information}}));
        } else {
            EXPECT_TRUE(w.notifier.messages.empty());
        }
        EXPECT_FALSE(w.link.HasPort());   // a preset never opens anything
    }
}

TEST(PresetWindowState, SelectionsReturnAfterEveryFill)
{
    PresetWindow w;
    w.queues->Set("Receipt", "serial:/dev/ttyS1?baud=57600+bits=7+parity=space+stop=2+flow=hard");
    w.state->Open(std::string("Receipt"));
    const Shown preset = {"SERIAL", "COM2", "57600", "7", "Space", "2", "Hardware", "192.168.1.100", "9100"};
    ASSERT_EQ(w.Shown(), preset);

    // Another parity, then PARALLEL: its port list knows no COM2.
    w.state->ChooseEntry(MainList::Parity, 0);
    w.state->ChooseInterface(Parallel);
    EXPECT_EQ(w.state->List(MainList::Port).SelectedText(), "LPT1");

    // Back to SERIAL: the choice selects COM1, 19200 and 8 itself; parity, stop bits
    // and flow control come from the preset again.
    w.state->ChooseInterface(Serial);
    EXPECT_EQ(w.Shown(), (Shown{"SERIAL", "COM1", "19200", "8", "Space", "2", "Hardware", "192.168.1.100", "9100"}));
}

TEST(PresetWindowState, EthernetAddressIsTakenOnlyOnce)
{
    PresetWindow w;
    w.queues->Set("Receipt", "socket://10.0.0.5:9100");
    w.state->Open(std::string("Receipt"));
    ASSERT_EQ(FormatIpAddress(w.state->ipAddress), "10.0.0.5");

    // The user types another address; choosing Ethernet again keeps it.
    w.state->ipAddress = {127, 0, 0, 1};
    w.state->tcpPort = 9101;
    w.state->ChooseInterface(Ethernet);
    EXPECT_EQ(FormatIpAddress(w.state->ipAddress), "127.0.0.1");
    EXPECT_EQ(w.state->tcpPort, 9101u);
}

TEST(PresetWindowState, NoArgumentReadsNothing)
{
    PresetWindow w;
    w.queues->Set("", "parallel:/dev/lp0");
    std::ofstream(w.ownFile) << "Port=LPT1\n";
    w.state->Open();
    EXPECT_EQ(w.Shown(), kDefaults);
    w.state->ChooseInterface(Serial);
    EXPECT_EQ(w.state->List(MainList::Parity).SelectedText(), "None");
}

}  // namespace
}  // namespace zorvik
