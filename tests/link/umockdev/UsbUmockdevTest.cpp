// The USB path on a mocked kernel: run by run.sh under umockdev-run, which shows this
// program the device tree of usb-printer.umockdev at /sys and /dev and plays the
// printer's side of usb-printer.script behind /dev/usb/lp0. Discovery, the port and its
// watcher use the system's places (/sys, /dev) unchanged, as they do on a real machine.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "link/UsbDiscovery.h"
#include "link/UsbPort.h"
#include "link/posix/PosixUsbDevice.h"
#include "resources/LinkTexts.h"

namespace zorvik {
namespace {

namespace fs = std::filesystem;

const std::string kInterface = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0";
const std::string kDriverFolder = "/sys/bus/usb/drivers/usblp";
const std::string kDriverLink = kDriverFolder + "/1-1:1.0";
const std::string kDevicePath = "usb:1-1:1.0:vid_0a5f:pid_00e0";
const std::string kEntry = kUsbPortPrefix + kDevicePath;
// ESC @ and the model query, and the printer's answer.
const std::vector<std::uint8_t> kQuery = {0x1B, 0x40, 0x1D, 0x49, 0x02};
const std::string kModelReply = std::string("_LXT-640IV") + '\0';

class UsbUmockdevTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* root = std::getenv("UMOCKDEV_DIR");
        ASSERT_NE(root, nullptr) << "run through umockdev-run (tests/link/umockdev/run.sh)";
        root_ = root;
        // The kernel lists the interfaces its printer driver serves in the driver's folder.
        fs::create_directories(root_ + kDriverFolder);
        if (!fs::is_symlink(root_ + kDriverLink))
            fs::create_symlink("../../../../devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0",
                               root_ + kDriverLink);
        // The mocked node is a terminal whose other side plays the script; this second
        // opener keeps it up while the port's own descriptor comes and goes.
        keep_ = ::open("/dev/usb/lp0", O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(keep_, 0);
    }
    void TearDown() override
    {
        if (keep_ >= 0)
            ::close(keep_);
    }

    // What the kernel does when the printer is pulled out and put back: its interface
    // and its node go away and come back. The testbed's files stand behind /sys and /dev.
    void Unplug()
    {
        fs::rename(root_ + "/dev/usb/lp0", root_ + "/lp0.away");
        fs::rename(root_ + kInterface, root_ + "/interface.away");
        fs::rename(root_ + kDriverLink, root_ + "/driver-link.away");
    }
    void Replug()
    {
        fs::rename(root_ + "/driver-link.away", root_ + kDriverLink);
        fs::rename(root_ + "/interface.away", root_ + kInterface);
        fs::rename(root_ + "/lp0.away", root_ + "/dev/usb/lp0");
    }

    static bool EventsWaiting(const UsbPort& port)
    {
        pollfd p{port.DeviceEventHandle(), POLLIN, 0};
        return ::poll(&p, 1, 5000) == 1;
    }
    // Writes the query and reads the model reply.
    static void ExpectDialog(UsbPort& port)
    {
        EXPECT_EQ(port.Write(kQuery.data(), static_cast<std::uint32_t>(kQuery.size())), 5)
            << port.LastError();
        std::string reply;
        std::uint8_t buffer[64];
        for (int reads = 0; reads < 20 && reply.size() < kModelReply.size(); ++reads) {
            const int n = port.Read(buffer, sizeof buffer, 500);
            if (n < 0)
                break;
            reply.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n));
        }
        EXPECT_EQ(reply, kModelReply);
    }

    std::string root_;
    int keep_ = -1;
};

TEST_F(UsbUmockdevTest, DiscoveryFindsThePrinterByItsDeviceIdAndThePortFollowsItsPlugging)
{
    std::ostringstream out;
    ASSERT_EQ(DiscoverUsbPrinters({}, out), std::vector<std::string>{kEntry}) << out.str();

    auto port = MakeSystemUsbPort();
    ASSERT_EQ(port->Configure({.portName = kDevicePath, .timeouts = {}}), 1);
    ASSERT_EQ(port->Open(), 1) << port->LastError();
    EXPECT_EQ(port->DeviceState(), 1);
    ExpectDialog(*port);

    Unplug();
    ASSERT_TRUE(EventsWaiting(*port));
    port->HandleDeviceChange();
    EXPECT_EQ(port->DeviceState(), -1);
    EXPECT_EQ(port->Write(kQuery.data(), static_cast<std::uint32_t>(kQuery.size())), 0);
    EXPECT_TRUE(DiscoverUsbPrinters({}, out).empty());

    Replug();
    ASSERT_TRUE(EventsWaiting(*port));
    port->HandleDeviceChange();
    EXPECT_EQ(port->DeviceState(), 1) << port->LastError();
    ExpectDialog(*port);
    port->Close();
}

}  // namespace
}  // namespace zorvik
