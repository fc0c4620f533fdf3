#include "link/UsbDevicePath.h"

#include <cstdio>
#include <string_view>

#include "resources/UsbTexts.h"

namespace zorvik {
namespace {

constexpr std::string_view kScheme = "usb:";

std::optional<std::uint16_t> ParseHex4(std::string_view text)
{
    if (text.size() != 4)
        return std::nullopt;
    std::uint16_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return std::nullopt;  // upper case would not match the lower-case match texts
        value = static_cast<std::uint16_t>(value * 16 + digit);
    }
    return value;
}

}  // namespace

std::string UsbIdMatchText(const char* prefix, std::uint16_t id)
{
    char hex[5];
    std::snprintf(hex, sizeof hex, "%04x", static_cast<unsigned>(id));
    return std::string(prefix) + hex;
}

bool IsUsbPlace(const std::string& place)
{
    if (place.empty() || place.front() < '0' || place.front() > '9')
        return false;
    for (char c : place) {
        const bool ok = (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':';
        if (!ok)
            return false;
    }
    return place.find("..") == std::string::npos;
}

std::string FormatUsbDevicePath(const UsbDevicePath& path)
{
    return std::string(kScheme) + path.place + ':' + UsbIdMatchText(kUsbVendorMatchPrefix, path.vendorId) + ':' +
           UsbIdMatchText(kUsbProductMatchPrefix, path.productId);
}

std::optional<UsbDevicePath> ParseUsbDevicePath(const std::string& text)
{
    // "usb:" place ":vid_" vvvv ":pid_" pppp
    const std::string_view t(text);
    const std::string vid = std::string(":") + kUsbVendorMatchPrefix;
    const std::string pid = std::string(":") + kUsbProductMatchPrefix;
    const std::size_t tail = vid.size() + 4 + pid.size() + 4;
    if (!t.starts_with(kScheme) || t.size() <= kScheme.size() + tail)
        return std::nullopt;
    const std::string_view ids = t.substr(t.size() - tail);
    if (!ids.starts_with(vid) || ids.substr(vid.size() + 4, pid.size()) != pid)
        return std::nullopt;
    const auto vendor = ParseHex4(ids.substr(vid.size(), 4));
    const auto product = ParseHex4(ids.substr(vid.size() + 4 + pid.size()));
    UsbDevicePath path;
    path.place = std::string(t.substr(kScheme.size(), t.size() - kScheme.size() - tail));
    if (!vendor || !product || !IsUsbPlace(path.place))
        return std::nullopt;
    path.vendorId = *vendor;
    path.productId = *product;
    return path;
}

}  // namespace zorvik
