#include <gtest/gtest.h>

#include <poll.h>

#include <chrono>

#include "UsbFakeTree.h"
#include "link/UsbPort.h"
#include "link/posix/PosixUsbDevice.h"
#include "resources/UsbTexts.h"

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
    int Write(UsbPort& port, const Bytes& bytes) { return port.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size())); }

    static bool EventsWaiting(const UsbPort& port)
    {
        pollfd p{port.DeviceEventHandle(), POLLIN, 0};
        return ::poll(&p, 1, 5000) == 1;
    }
};

TEST_F(UsbPortTest, OpensTheNodeOfItsPlaceAndTalksToThePrinter)
{
    tree.LinkNode("lp0", printer.Name());
    auto port = OpenPort(path);
    ASSERT_EQ(port->Open(), 1) << port->LastError();
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
    tree.LinkNode("lp0", printer.Name());
    auto port = OpenPort(path);
    ASSERT_EQ(port->Open(), 1) << port->LastError();

    tree.RemoveNode("lp0");
    ASSERT_TRUE(EventsWaiting(*port));
    port->HandleDeviceChange();
    EXPECT_EQ(port->DeviceState(), -1);
    EXPECT_TRUE(port->IsOpen());  // the removal does not end the connection
    EXPECT_EQ(Write(*port, kInit), 0);
    std::uint8_t b[4];
    EXPECT_EQ(port->Read(b, 4, 1000), 0);

    // The printer comes back into the same socket: a new terminal behind the same path.
    PtyPrinter replugged;
    tree.LinkNode("lp0", replugged.Name());
    ASSERT_TRUE(EventsWaiting(*port));
    port->HandleDeviceChange();
    EXPECT_EQ(port->DeviceState(), 1);
    EXPECT_EQ(Write(*port, kInit), 2);
    EXPECT_EQ(replugged.Received(2), kInit);
    EXPECT_EQ(printer.Pending(), 0u);
}

TEST_F(UsbPortTest, ReplugUnderAnotherNodeNameAndAfterTheFolderWentAway)
{
    tree.LinkNode("lp0", printer.Name());
    auto port = OpenPort(path);
    ASSERT_EQ(port->Open(), 1) << port->LastError();

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
    ASSERT_TRUE(EventsWaiting(*port));
    port->HandleDeviceChange();
    EXPECT_EQ(port->DeviceState(), 1);
    EXPECT_EQ(Write(*port, kInit), 2);
    EXPECT_EQ(printer.Received(2), kInit);
}

TEST_F(UsbPortTest, EventsThatDoNotConcernTheOpenPrinterChangeNothing)
{
    tree.LinkNode("lp0", printer.Name());
    auto port = OpenPort(path);
    ASSERT_EQ(port->Open(), 1) << port->LastError();
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
    tree.LinkNode("lp0", printer.Name());
    auto port = OpenPort(path);
    ASSERT_EQ(port->Open(), 1) << port->LastError();
    tree.RemoveNode("lp0");
    port->HandleDeviceChange();
    tree.SetIds("1-2", 0x1d6b, 0x0001);
    tree.LinkNode("lp0", printer.Name());
    port->HandleDeviceChange();
    EXPECT_EQ(port->DeviceState(), -1);
    EXPECT_EQ(Write(*port, kInit), 0);
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
    tree.MakeFifo("lp0");
    auto port = OpenPort(path);
    ASSERT_EQ(port->Open(), 1) << port->LastError();
    std::uint8_t b[16];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port->Read(b, sizeof b, 200), 0);
    // Bound only (generous for a loaded machine): the read must not wait for ever.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
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
