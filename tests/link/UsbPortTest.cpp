#include <gtest/gtest.h>

#include <poll.h>

#include <algorithm>
#include <chrono>

#include "UsbFakeTree.h"
#include "base/Pacer.h"
#include "link/PrinterLink.h"
#include "link/SystemPortFactory.h"
#include "link/UsbPort.h"
#include "link/posix/PosixUsbDevice.h"
#include "resources/CheckTexts.h"
#include "resources/UsbTexts.h"
#include "sim/SimServer.h"
#include "support/RecordingNotifier.h"

namespace zorvik {
namespace {

using test::PtyPrinter;
using test::UsbFakeTree;
using Bytes = std::vector<std::uint8_t>;

const Bytes kInit = {0x1B, 0x40};

class UsbPortTest : public ::testing::Test {
protected:
    UsbFakeTree tree;
    PtyPrinter printer;
    std::string path = tree.AddInterface("1-2", kPrinterUsbVendorId, kPrinterUsbProductId, "lp0");

    std::unique_ptr<UsbPort> OpenPort(const std::string& devicePath)
    {
        auto port = MakeSystemUsbPort(tree.env);
        EXPECT_EQ(port->Configure({.portName = devicePath, .timeouts = {}}), 1);
        return port;
    }
    // A port opened on the printer behind node lp0.
    std::unique_ptr<UsbPort> OpenOnPrinter()
    {
        tree.LinkNode("lp0", printer.Name());
        auto port = OpenPort(path);
        port->Open();
        return port;
    }
    int Write(UsbPort& port, const Bytes& bytes)
    {
        return port.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    }

    // The arrival is seen, handled, and the printer gets the bytes again.
    void ExpectBackOn(UsbPort& port, PtyPrinter& target)
    {
        ASSERT_TRUE(EventsWaiting(port));
        port.HandleDeviceChange();
        EXPECT_EQ(port.DeviceState(), 1);
        EXPECT_EQ(Write(port, kInit), 2);
        EXPECT_EQ(target.Received(2), kInit);
    }

    static bool EventsWaiting(const UsbPort& port)
    {
        pollfd p{port.DeviceEventHandle(), POLLIN, 0};
        return ::poll(&p, 1, 5000) == 1;
    }
};

TEST_F(UsbPortTest, OpensTheNodeOfItsPlaceAndTalksToThePrinter)
{
    auto port = OpenOnPrinter();
    ASSERT_EQ(port->DeviceState(), 1) << port->LastError();
    EXPECT_EQ(port->DeviceState(), 1);
    EXPECT_GE(port->DeviceEventHandle(), 0);
    EXPECT_EQ(Write(*port, kInit), 2);
    EXPECT_EQ(printer.Received(2), kInit);
    printer.Send({0x6F, 0x00});
    std::uint8_t reply[16] = {};
    EXPECT_EQ(port->Read(reply, sizeof reply, 1000), 2);
    EXPECT_EQ(reply[0], 0x6F);
    EXPECT_EQ(port->Open(), 1);  // already open: only reports so
}

TEST_F(UsbPortTest, UnplugClosesAndReplugReopensThroughANewHandle)
{
    auto port = OpenOnPrinter();
    ASSERT_EQ(port->DeviceState(), 1) << port->LastError();

    tree.RemoveNode("lp0");
    // A read before the change is handled already finds the printer gone.
    std::uint8_t b[4];
    EXPECT_EQ(port->Read(b, 4, 10000), -1);
    ASSERT_TRUE(EventsWaiting(*port));
    port->HandleDeviceChange();
    EXPECT_EQ(port->DeviceState(), -1);
    EXPECT_TRUE(port->IsOpen());  // the removal does not end the connection
    EXPECT_EQ(Write(*port, kInit), 0);
    EXPECT_EQ(port->Read(b, 4, 10000), -1);  // a failure, not a silent printer

    // The printer comes back into the same socket: a new terminal behind the same path.
    PtyPrinter replugged;
    tree.LinkNode("lp0", replugged.Name());
    ExpectBackOn(*port, replugged);
    EXPECT_EQ(printer.Pending(), 0u);
    EXPECT_EQ(port->Read(b, 4, 10), 0);  // back: silent again, not gone
}

TEST_F(UsbPortTest, ReplugUnderAnotherNodeNameAndAfterTheFolderWentAway)
{
    auto port = OpenOnPrinter();
    ASSERT_EQ(port->DeviceState(), 1) << port->LastError();

    // The last printer gone: the kernel removes the emptied node folder as well.
    tree.RemoveNode("lp0");
    std::filesystem::remove(tree.NodeFolder());
    port->HandleDeviceChange();
    EXPECT_EQ(port->DeviceState(), -1);

    // Back, numbered lp3 this time: the place in the path still finds it.
    tree.MoveNode("1-2:1.0", "lp0", "lp3");
    std::filesystem::create_directories(tree.NodeFolder());
    port->HandleDeviceChange();  // the folder's arrival: the node is not there yet
    EXPECT_EQ(port->DeviceState(), -1);
    tree.LinkNode("lp3", printer.Name());
    ExpectBackOn(*port, printer);
}

TEST_F(UsbPortTest, EventsThatDoNotConcernTheOpenPrinterChangeNothing)
{
    auto port = OpenOnPrinter();
    ASSERT_EQ(port->DeviceState(), 1) << port->LastError();
    tree.MakeFifo("lp1");
    tree.RemoveNode("lp1");
    ASSERT_TRUE(EventsWaiting(*port));
    port->HandleDeviceChange();
    EXPECT_EQ(port->DeviceState(), 1);
    EXPECT_EQ(Write(*port, kInit), 2);
    pollfd p{port->DeviceEventHandle(), POLLIN, 0};
    EXPECT_EQ(::poll(&p, 1, 0), 0);  // every event was handled
}

TEST_F(UsbPortTest, AnotherDeviceInThePrintersSocketIsNotOpened)
{
    auto port = OpenOnPrinter();
    ASSERT_EQ(port->DeviceState(), 1) << port->LastError();
    tree.RemoveNode("lp0");
    port->HandleDeviceChange();
    tree.SetIds("1-2", 0x1d6b, 0x0001);
    tree.LinkNode("lp0", printer.Name());
    port->HandleDeviceChange();
    EXPECT_EQ(port->DeviceState(), -1);
    EXPECT_EQ(Write(*port, kInit), 0);
    std::uint8_t b[4];
    EXPECT_EQ(port->Read(b, 4, 1000), -1);
    // Closed by the caller: a port that is not open reads nothing, unplugged or not.
    port->Close();
    EXPECT_EQ(port->Read(b, 4, 1000), 0);
}

TEST_F(UsbPortTest, PathsThatCannotBeOpenedLeaveNoWatcher)
{
    tree.LinkNode("lp0", printer.Name());
    const std::string elsewhere = tree.AddInterface("1-3", kPrinterUsbVendorId, kPrinterUsbProductId, "lp1");
    const std::string wrongIds = "usb:1-2:1.0:vid_1d6b:pid_0001";
    const std::string traversal = "usb:../../../etc:vid_f5a7:pid_0640";
    for (const std::string& p : {elsewhere, wrongIds, traversal, std::string("garbage"), tree.Node("lp9")}) {
        auto port = OpenPort(p);
        EXPECT_EQ(port->Open(), 0) << p;
        EXPECT_EQ(port->DeviceEventHandle(), -1) << p;
        EXPECT_EQ(port->DeviceState(), 0) << p;
        EXPECT_EQ(Write(*port, kInit), 0) << p;
    }
}

TEST_F(UsbPortTest, UseIsExclusive)
{
    tree.LinkNode("lp0", printer.Name());
    auto first = OpenPort(path);
    ASSERT_EQ(first->Open(), 1) << first->LastError();
    auto second = OpenPort(path);
    EXPECT_EQ(second->Open(), 0);
    EXPECT_EQ(second->DeviceEventHandle(), -1);
    first->Close();
    EXPECT_EQ(first->DeviceEventHandle(), -1);
    EXPECT_EQ(Write(*first, kInit), 0);
    EXPECT_EQ(second->Open(), 1) << second->LastError();
}

TEST_F(UsbPortTest, SilentPrinterReadReturnsWithinItsTimeout)
{
    test::PtyPrinter printer;  // never answers
    tree.LinkNode("lp0", printer.Name());
    auto port = OpenPort(path);
    ASSERT_EQ(port->Open(), 1) << port->LastError();
    std::uint8_t b[16];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port->Read(b, sizeof b, 200), 0);
    // Bound only (generous for a loaded machine): the read must not wait for ever.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(UsbPortTest, PrinterThatTakesNothingEndsTheWriteShort)
{
    test::PtyPrinter printer;  // nobody drains it: it fills up and then refuses
    tree.LinkNode("lp0", printer.Name());
    UsbPort port(std::make_unique<PosixUsbDevice>(tree.env, 100));
    ASSERT_EQ(port.Configure({.portName = path, .timeouts = {}}), 1);
    ASSERT_EQ(port.Open(), 1) << port.LastError();
    const Bytes block(1 << 20, 0x55);
    const int sent = port.Write(block.data(), static_cast<std::uint32_t>(block.size()));
    EXPECT_GT(sent, 0);
    EXPECT_LT(sent, static_cast<int>(block.size()));
}

TEST_F(UsbPortTest, GuardsReturnZeroWithoutTouchingTheDevice)
{
    tree.LinkNode("lp0", printer.Name());
    auto port = MakeSystemUsbPort(tree.env);
    EXPECT_EQ(port->Configure({.portName = "", .timeouts = {}}), 0);
    EXPECT_EQ(port->Open(), 0);
    ASSERT_EQ(port->Configure({.portName = path, .timeouts = {}}), 1);
    std::uint8_t b[2] = {0x1B, 0x40};
    EXPECT_EQ(port->Write(b, 2), 0);  // not open yet
    ASSERT_EQ(port->Open(), 1);
    EXPECT_EQ(port->Write(nullptr, 2), 0);
    EXPECT_EQ(port->Write(b, 0), 0);
    EXPECT_EQ(port->Read(nullptr, 2, 1000), 0);
    EXPECT_EQ(port->Read(b, 0, 1000), 0);
    EXPECT_EQ(printer.Pending(), 0u);
}

TEST_F(UsbPortTest, VirtualPrinterAnswersThroughTheNodeAndAReadAfterItsUnplugFails)
{
    SimServer sim;
    ASSERT_TRUE(sim.Start({.pty = true})) << sim.Error();
    tree.LinkNode("lp0", sim.PtyPath());
    auto port = OpenPort(path);
    ASSERT_EQ(port->Open(), 1) << port->LastError();
    ASSERT_EQ(port->Write(kCmdModelName, sizeof kCmdModelName), 3);
    // The printer answers "_" header, text, NUL; gather it in as few reads as it takes.
    std::vector<std::uint8_t> reply;
    for (int i = 0; i < 20 && std::find(reply.begin(), reply.end(), 0) == reply.end(); ++i) {
        std::uint8_t b[64] = {};
        const int n = port->Read(b, sizeof b, 1000);
        reply.insert(reply.end(), b, b + n);
    }
    ASSERT_GE(reply.size(), 2u);
    EXPECT_EQ(reply[0], kTextHeader);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(reply.data()) + 1), "LXT-640IV");

    sim.Unplug();  // the far end goes away without a node event
    std::uint8_t b[16];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port->Read(b, sizeof b, 30000), -1);
    EXPECT_EQ(port->Read(b, sizeof b, 30000), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));  // not the 30 s asked for
}

TEST_F(UsbPortTest, TheProgramsLinkMakesAUsbPortForAPrinterEntry)
{
    tree.LinkNode("lp0", printer.Name());
    VirtualPacer pacer;
    test::RecordingNotifier notifier;
    PrinterLink link(MakeSystemPortFactory(pacer, notifier));
    // An entry may also name a device node directly.
    ASSERT_EQ(link.CreatePort({.portName = "LXT-640IV:" + tree.Node("lp0"), .timeouts = {}}), 1);
    ASSERT_EQ(link.Open(), 1) << link.CurrentPort()->LastError();
    EXPECT_EQ(link.Type(), InterfaceType::Usb);
    EXPECT_GE(link.CurrentPort()->DeviceEventHandle(), 0);
    EXPECT_EQ(link.Write(kInit.data(), 2), 2);
    EXPECT_EQ(printer.Received(2), kInit);
    link.Close();
    EXPECT_TRUE(notifier.messages.empty());
}

// The device layer side of a failed watcher start, which no real folder produces.
class NoWatchDevice final : public UsbDevice {
public:
    bool Open(const std::string&) override { return open = true; }
    bool IsOpen() const override { return open; }
    void Close() override { open = false; }
    int Write(const std::uint8_t*, std::uint32_t count) override { return static_cast<int>(count); }
    int Read(std::uint8_t*, std::uint32_t, std::uint32_t) override { return 0; }
    bool StartWatch() override { return false; }
    void StopWatch() override { ++stops; }
    int WatchHandle() const override { return -1; }
    void DrainEvents(const std::function<void(UsbDeviceEvent)>&) override {}
    const char* LastError() const override { return ""; }
    bool open = false;
    int stops = 0;
};

TEST(UsbPortWatch, OpenFailsAndClosesTheDeviceWhenTheWatcherCannotStart)
{
    auto device = std::make_unique<NoWatchDevice>();
    NoWatchDevice* d = device.get();
    UsbPort port(std::move(device));
    ASSERT_EQ(port.Configure({.portName = "usb:1-1:1.0:vid_f5a7:pid_0640", .timeouts = {}}), 1);
    EXPECT_EQ(port.Open(), 0);
    EXPECT_FALSE(d->open);
    EXPECT_GE(d->stops, 1);
    EXPECT_FALSE(port.IsOpen());
}

}  // namespace
}  // namespace zorvik
