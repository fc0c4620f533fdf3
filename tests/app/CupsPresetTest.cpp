// The window's presets against a real print server: a private cupsd (tests/support),
// queues made with lpadmin, and the main window's state opened with a queue's name as
// the program is started with one ("zorvik QUEUE"), reading the queue through the same
// client calls the program makes, with CUPS_SERVER naming the private server; and
// zorvik-cli --queue reaching a virtual printer through such a queue.
#include <cups/cups.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "RecordingLauncher.h"
#include "app/MainWindowState.h"
#include "app/PresetSettingsFile.h"
#include "app/WindowPreset.h"
#include "support/FakePort.h"
#include "support/PrivatePrintServer.h"
#include "support/RecordingNotifier.h"
#include "tests/cli/CliHarness.h"

namespace zorvik {
namespace {

const char kAdapter[] = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A6008isP-if00-port0";
const char kUsbEntry[] = "LXT-640IV:usb:1-1:1.0:vid_0a5f:pid_00e0";

struct QueueRow {
    const char* queue;
    const char* uri;  // nullptr: no such queue
    InterfaceType type;
    // Port, baud rate, data bits, parity, stop bits and flow control as the lists show
    // them, as far as the interface uses them.
    std::vector<std::string> shown;
    std::array<std::uint8_t, 4> ip{};
    std::uint32_t tcpPort = 0;
};

std::vector<std::string> Shown(const MainWindowState& state)
{
    std::vector<std::string> shown;
    for (MainList list : {MainList::Port, MainList::BaudRate, MainList::DataBits, MainList::Parity,
                          MainList::StopBits, MainList::FlowControl})
        shown.push_back(state.List(list).SelectedText());
    return shown;
}

TEST(CupsPreset, QueuesOfAPrivatePrintServerPresetTheWindow)
{
    test::PrivatePrintServer server;
    if (!server.Running())
        GTEST_SKIP() << "no private print server: " << server.Problem();
    ::setenv("CUPS_SERVER", server.Socket().c_str(), 1);
    cupsSetServer(nullptr);  // the client library takes the variable afresh

    const std::vector<std::string> defaults = {"COM1", "9600", "8", "None", "1", "Hardware"};
    const QueueRow rows[] = {
        {"Network", "socket://127.0.0.1:9101", InterfaceType::Ethernet, {}, {127, 0, 0, 1}, 9101},
        {"Serial",
         "serial:/dev/ttyS2?baud=38400+bits=7+parity=even+flow=soft",
         InterfaceType::Serial,
         {"COM3", "38400", "7", "Even", "1", "Xon/Xoff"}},
        {"Parallel", "parallel:/dev/lp1", InterfaceType::Parallel, {"LPT2"}},
        {"Usb", "usb://KARVO/LXT-640IV?serial=KV0012345", InterfaceType::Usb, {kUsbEntry}},
        {"Adapter",
         "serial:/dev/serial/by-id/"
         "usb-FTDI_FT232R_USB_UART_A6008isP-if00-port0?baud=19200+bits=8+parity=odd+flow=hard",
         InterfaceType::Serial,
         {kAdapter, "19200", "8", "Odd", "1", "Hardware"}},
        {"Mapped",
         "serial:/dev/ttyUSB0?baud=19200+flow=soft",
         InterfaceType::Serial,
         {"COM4", "19200", "8", "None", "1", "Xon/Xoff"}},
        {"Missing", nullptr, InterfaceType::Serial, defaults},
    };
    for (const QueueRow& row : rows) {
        if (!row.uri)
            continue;
        std::string said;
        ASSERT_TRUE(server.AddQueue(row.queue, row.uri, said)) << row.queue << ": " << said;
    }

    // The user's port map puts COM4 on the adapter the "Mapped" queue prints to.
    test::TempDir dir;
    const std::string portMap = dir.File("ports.conf");
    std::ofstream(portMap) << "COM4=/dev/ttyUSB0\n";
    ::setenv("ZORVIK_PORT_MAP", portMap.c_str(), 1);
    WindowPreset preset(MakeSystemQueuePresets(),
                        std::make_unique<PresetSettingsFile>(dir.File("none.conf")));
    for (const QueueRow& row : rows) {
        SCOPED_TRACE(row.queue);
        auto port = std::make_shared<test::FakePortState>();
        PrinterLink link(std::make_unique<test::FakePortFactory>(port));
        VirtualPacer pacer;
        test::RecordingNotifier notifier;
        test::RecordingLauncher tools;
        MainWindowHooks hooks;
        hooks.discoverUsb = [] { return std::vector<std::string>{kUsbEntry}; };
        hooks.serialDevices = [] { return std::vector<std::string>{"/dev/ttyS0", kAdapter}; };
        MainWindowState state(link, pacer, notifier, tools, hooks, nullptr, &preset);
        state.Open(std::string(row.queue));

        EXPECT_EQ(state.settings.interfaceType, row.type);
        auto shown = Shown(state);
        shown.resize(row.shown.size());
        EXPECT_EQ(shown, row.shown);
        if (row.type == InterfaceType::Ethernet) {
            EXPECT_EQ(state.ipAddress, row.ip);
            EXPECT_EQ(state.settings.tcpPort, row.tcpPort);
        }
        EXPECT_TRUE(notifier.messages.empty());
    }
    ::unsetenv("ZORVIK_PORT_MAP");
}

TEST(CupsPreset, CommandLineQueueReachesTheVirtualPrinterItNames)
{
    test::PrivatePrintServer server;
    if (!server.Running())
        GTEST_SKIP() << "no private print server: " << server.Problem();
    ::setenv("CUPS_SERVER", server.Socket().c_str(), 1);
    cupsSetServer(nullptr);
    SimServer printer;
    ASSERT_TRUE(printer.Start({false, true, 0})) << printer.Error();
    std::string said;
    ASSERT_TRUE(server.AddQueue("Till", "socket://" + test::TcpTarget(printer), said)) << said;

    CliEnv env;
    env.makeQueuePresets = [] { return MakeSystemQueuePresets(); };
    const auto checked = test::RunCliForTest({"--queue", "Till", "check"}, env);
    EXPECT_EQ(checked.status, 0) << checked.err;
    EXPECT_FALSE(printer.WithPrinter([](VirtualPrinter& p) { return p.Log().empty(); }));

    // An explicit port (where nothing answers) wins over the queue's; a queue the server
    // lacks fails clearly.
    EXPECT_EQ(test::RunCliForTest({"--queue", "Till", "check", "-p", "127.0.0.1:1"}, env).status, 1);
    const auto missing = test::RunCliForTest({"--queue", "Gone", "check"}, env);
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("--queue Gone: no such printer queue"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace zorvik
