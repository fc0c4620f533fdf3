#include "app/ConnectionCheck.h"

#include <gtest/gtest.h>

#include "support/PortSettingsPrint.h"
#include "support/RecordingNotifier.h"
#include "support/RecordingQueues.h"
#include "support/SimulatedPrinter.h"

namespace zorvik {
namespace {

using test::ShownMessage;
using test::SimulatedPrinter;

PortSettings SerialSettings(std::string name)
{
    PortSettings s;
    s.portName = std::move(name);
    s.baudRate = 9600;
    s.dataBits = 8;
    s.flowControl = FlowControl::None;
    s.timeouts = {10, 10, 10, 0, 0};
    return s;
}

struct Fixture {
    SimulatedPrinter sim;
    PrinterLink link{sim.Factory()};
    VirtualPacer pacer;
    test::RecordingNotifier notifier;
    test::RecordingQueues queues;
    ConnectionCheck check{link, pacer, notifier, &queues};
};

TEST(ConnectionCheckTest, OneMessageAndTheLinkStateForEachOutcome)
{
    const ShownMessage warning{"", "Warning", MessageIcon::Exclamation};
    struct Row {
        const char* name;
        void (*arrange)(Fixture&);
        PortSettings settings;
        const char* text;
        bool connected;
        bool linkOpen;  // a port object is still held
    };
    const Row rows[] = {
        {"healthy", [](Fixture&) {}, SerialSettings("COM1"), "Printer is connected.", true, true},
        {"empty port name", [](Fixture&) {}, SerialSettings(""), "Port Configuration Set Error!", false,
         false},
        {"refused settings", [](Fixture& f) { f.sim.state->configureResult = 0; }, SerialSettings("COM1"),
         "Port Configuration Set Error!", false, true},
        {"port does not open", [](Fixture& f) { f.sim.state->openResult = 0; }, SerialSettings("COM1"),
         "Can't open port and Printer is disconnected", false, true},
        {"short ESC @", [](Fixture& f) { f.sim.state->writeLimit = 1; }, SerialSettings("COM1"),
         "Port error! Check printer's port, please.", false, false},
        {"silent printer", [](Fixture& f) { f.sim.printer->Faults().silent = true; }, SerialSettings("COM1"),
         "Fail to get printer ID.\r\n\r\nPlease retry connect", false, false},
        {"other maker", [](Fixture& f) { f.sim.printer->Identity().maker = "OTHER"; }, SerialSettings("COM1"),
         "This printer don't match our company name.", false, false},
        {"other model", [](Fixture& f) { f.sim.printer->Identity().model = "LXT-999"; },
         SerialSettings("COM1"), "The connected printer has different Model name.", false, false},
    };
    for (const auto& row : rows) {
        Fixture f;
        row.arrange(f);
        const bool ok = f.check.Run(InterfaceType::Serial, row.settings);
        EXPECT_EQ(ok, row.connected) << row.name;
        EXPECT_EQ(f.check.Connected(), row.connected) << row.name;
        EXPECT_EQ(f.link.HasPort(), row.linkOpen) << row.name;
        ASSERT_EQ(f.notifier.messages.size(), 1u) << row.name;
        const auto& shown = f.notifier.messages[0];
        EXPECT_EQ(shown.text, row.text) << row.name;
        if (row.connected) {
            EXPECT_EQ(shown.title, "Information");
            EXPECT_EQ(shown.icon, MessageIcon::Information);
        } else {
            EXPECT_EQ(shown.title, warning.title) << row.name;
            EXPECT_EQ(shown.icon, warning.icon) << row.name;
        }
    }
}

TEST(ConnectionCheckTest, SecondRunWhileConnectedDoesNothingAndDropCloses)
{
    Fixture f;
    ASSERT_TRUE(f.check.Run(InterfaceType::Serial, SerialSettings("COM1")));
    const auto writes = f.sim.state->writes.size();
    EXPECT_TRUE(f.check.Run(InterfaceType::Serial, SerialSettings("COM1")));
    EXPECT_EQ(f.sim.state->writes.size(), writes);
    EXPECT_EQ(f.notifier.messages.size(), 1u);
    f.check.Drop();
    EXPECT_FALSE(f.check.Connected());
    EXPECT_FALSE(f.link.HasPort());
    EXPECT_EQ(f.sim.state->closeCount, 1);
}

TEST(ConnectionCheckTest, QueuesReleasedOnlyForComAndLptNames)
{
    struct Row {
        const char* name;
        bool released;
    };
    const Row rows[] = {{"COM1", true}, {"LPT2", true}, {"\\\\.\\COM12", false}, {"com1", false}};
    for (const auto& row : rows) {
        Fixture f;
        f.check.Run(InterfaceType::Serial, SerialSettings(row.name));
        EXPECT_EQ(f.queues.released.size(), row.released ? 1u : 0u) << row.name;
    }
}

TEST(ConnectionCheckTest, EthernetSettingsReachTheLink)
{
    Fixture f;
    PortSettings s;
    s.portName = "127.0.0.1";
    s.tcpPort = 9100;
    ASSERT_TRUE(f.check.Run(InterfaceType::Ethernet, s));
    EXPECT_EQ(f.link.Type(), InterfaceType::Ethernet);
    ASSERT_EQ(f.sim.state->configured.size(), 1u);
    EXPECT_EQ(f.sim.state->configured[0], s);
    s.tcpPort = 0;
    Fixture g;
    EXPECT_FALSE(g.check.Run(InterfaceType::Ethernet, s));
    EXPECT_EQ(g.notifier.messages.at(0).text, "Port Configuration Set Error!");
}

}  // namespace
}  // namespace zorvik
