#pragma once
// The text that names one USB printer in the port list: "usb:<place>:vid_<vvvv>:pid_<pppp>".
// The place is the printer interface's position on the bus as the kernel names it
// ("1-2:1.0": bus 1, socket 2, configuration 1, interface 0), so the same text finds the
// printer again when it is unplugged and plugged back into the same socket. The ids are
// written as four lower-case hex digits, so the vendor and product match texts can be
// found in the path as plain substrings.
#include <cstdint>
#include <optional>
#include <string>

namespace zorvik {

struct UsbDevicePath {
    std::string place;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;

    friend bool operator==(const UsbDevicePath&, const UsbDevicePath&) = default;
};

std::string FormatUsbDevicePath(const UsbDevicePath& path);

// No value for a text that is not in the form above, or whose place holds anything but
// digits, '-', '.' and ':' (so a path can never lead outside the bus folders).
std::optional<UsbDevicePath> ParseUsbDevicePath(const std::string& text);

// True when a place is a plain kernel bus position ("1-2", "1-2.4:1.0").
bool IsUsbPlace(const std::string& place);

// The match text for an id: prefix followed by four lower-case hex digits ("vid_0a5f").
std::string UsbIdMatchText(const char* prefix, std::uint16_t id);

}  // namespace zorvik
