// USB device paths ("usb:<place>:vid_<vvvv>:pid_<pppp>"): any text is read without
// harm; a path that is accepted has a place that stays on the bus folders and comes
// back the same through formatting; ids read the same in either case where upper
// case is allowed.
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"

#include "link/UsbDevicePath.h"

using zorvik::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zorvik;
    const std::string text(reinterpret_cast<const char*>(data), size);

    if (const auto path = ParseUsbDevicePath(text)) {
        Require(IsUsbPlace(path->place));
        Require(path->place.find('/') == std::string::npos && path->place.find("..") == std::string::npos);
        const std::string formatted = FormatUsbDevicePath(*path);
        Require(formatted == text);
        Require(ParseUsbDevicePath(formatted) == path);
    }
    if (IsUsbPlace(text)) {
        const UsbDevicePath made{text, 0x0a5f, 0x00ff};
        Require(ParseUsbDevicePath(FormatUsbDevicePath(made)) == made);
    }

    const std::string_view head = std::string_view(text).substr(0, 4);
    const auto lower = ParseUsbId(head, false);
    const auto any = ParseUsbId(head, true);
    if (lower)
        Require(any == lower);
    if (any) {
        const std::string match = UsbIdMatchText("vid_", *any);
        Require(match.size() == 8 && ParseUsbId(std::string_view(match).substr(4), false) == any);
    }
    return 0;
}
