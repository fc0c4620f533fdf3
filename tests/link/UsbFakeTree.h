#pragma once
// A fake sysfs and /dev for the USB code, in a temporary folder: printer-driver
// interfaces with their ids, and device nodes that are FIFOs, links to pseudo-terminals
// or missing. Also a pseudo-terminal that plays the printer behind a node.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "link/UsbDevicePath.h"
#include "link/UsbDiscovery.h"
#include "support/TempDir.h"

namespace zorvik::test {

class UsbFakeTree {
public:
    UsbFakeTree()
    {
        env.sysRoot = dir_.File("sys");
        env.devRoot = dir_.File("dev");
        std::filesystem::create_directories(Sys("bus/usb/drivers/usblp"));
        std::filesystem::create_directories(NodeFolder());
        std::ofstream(Sys("bus/usb/drivers/usblp/unbind")) << "";
    }

    // A printer-driver interface at place "<device>:1.0" with the given ids and node name.
    std::string AddInterface(const std::string& device, std::uint16_t vendor, std::uint16_t product,
                             const std::string& node, const char* idFormat = "%04x")
    {
        const std::string place = device + ":1.0";
        std::filesystem::create_directories(Sys("bus/usb/drivers/usblp/" + place));
        SetIds(device, vendor, product, idFormat);
        std::filesystem::create_directories(Sys("bus/usb/devices/" + place + "/usbmisc/" + node));
        return FormatUsbDevicePath({place, vendor, product});
    }

    void SetIds(const std::string& device, std::uint16_t vendor, std::uint16_t product,
                const char* idFormat = "%04x")
    {
        std::filesystem::create_directories(Sys("bus/usb/devices/" + device));
        std::ofstream(Sys("bus/usb/devices/" + device + "/idVendor")) << Hex(vendor, idFormat) << "\n";
        std::ofstream(Sys("bus/usb/devices/" + device + "/idProduct")) << Hex(product, idFormat) << "\n";
    }

    // The IEEE 1284 device ID the driver shows for the interface at place.
    void SetDeviceId(const std::string& place, const std::string& id)
    {
        std::ofstream(Sys("bus/usb/devices/" + place + "/ieee1284_id")) << id << "\n";
    }

    void MoveNode(const std::string& place, const std::string& from, const std::string& to)
    {
        const std::string base = Sys("bus/usb/devices/" + place + "/usbmisc/");
        std::filesystem::rename(base + from, base + to);
    }

    void MakeFifo(const std::string& node)
    {
        if (::mkfifo(Node(node).c_str(), 0600) != 0)
            throw std::runtime_error("mkfifo failed");
    }
    void LinkNode(const std::string& node, const std::string& target)
    {
        std::filesystem::create_symlink(target, Node(node));
    }
    void RemoveNode(const std::string& node) { std::filesystem::remove(Node(node)); }

    std::string Sys(const std::string& rel) const { return env.sysRoot + "/" + rel; }
    std::string NodeFolder() const { return env.devRoot + "/usb"; }
    std::string Node(const std::string& node) const { return NodeFolder() + "/" + node; }

    UsbEnv env;

private:
    static std::string Hex(std::uint16_t v, const char* format)
    {
        char text[8];
        std::snprintf(text, sizeof text, format, static_cast<unsigned>(v));
        return text;
    }
    TempDir dir_;
};

// A pseudo-terminal in raw mode playing the printer: the port opens the terminal end
// (through a node linked to it), the test talks on the other end.
class PtyPrinter {
public:
    PtyPrinter()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            throw std::runtime_error("no pseudo-terminal");
        name_ = ::ptsname(master_);
        // Kept open so the line stays up while the port comes and goes, and set raw so
        // bytes pass unchanged.
        slave_ = ::open(name_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios t{};
        ::tcgetattr(slave_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(slave_, TCSANOW, &t);
    }
    ~PtyPrinter()
    {
        ::close(slave_);
        ::close(master_);
    }
    const std::string& Name() const { return name_; }

    // What the printer received: waits up to 5 s for want bytes.
    std::vector<std::uint8_t> Received(std::size_t want)
    {
        std::vector<std::uint8_t> got;
        while (got.size() < want) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 5000) <= 0)
                break;
            std::uint8_t b[256];
            const ssize_t n = ::read(master_, b, sizeof b);
            if (n <= 0)
                break;
            got.insert(got.end(), b, b + n);
        }
        return got;
    }
    // Anything waiting right now, without waiting.
    std::size_t Pending()
    {
        pollfd p{master_, POLLIN, 0};
        return ::poll(&p, 1, 0) > 0 ? Received(1).size() : 0;
    }
    void Send(const std::vector<std::uint8_t>& bytes) { (void)!::write(master_, bytes.data(), bytes.size()); }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string name_;
};

}  // namespace zorvik::test
