#pragma once
// The USB vendor and product ids that discovery also takes as the printer, besides
// the device ID the printer reports. The built-in pair is joined by the pairs of the
// user's file $XDG_CONFIG_HOME/zorvik/usb-ids.conf (or ~/.config/zorvik/usb-ids.conf)
// and of the ZORVIK_USB_IDS environment variable, each written "vvvv:pppp" in hex:
//
//   # one or more pairs a line, separated by blanks or commas
//   0a5f:0640
//   04b8:0202, 04b8:0e28
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

struct UsbId {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;

    friend bool operator==(const UsbId&, const UsbId&) = default;
};

// The pair built into the program.
UsbId BuiltInPrinterUsbId();

// "0a5f:0640" (upper-case digits allowed); none for anything else.
std::optional<UsbId> ParseUsbIdPair(std::string_view text);

// The pairs of a list text; items that are not pairs are skipped and counted in skipped.
std::vector<UsbId> ParseUsbIdList(std::string_view text, std::size_t* skipped = nullptr);

// A list file is read up to this size.
inline constexpr std::size_t kMaxUsbIdFileBytes = std::size_t{64} << 10;

// The built-in pair, the file's pairs and the variable's pairs, without repeats. The
// environment values are handed in (unset: no value); a missing file adds nothing.
std::vector<UsbId> PrinterUsbIds(const std::optional<std::string>& idsVariable,
                                 const std::optional<std::string>& xdgConfigHome,
                                 const std::optional<std::string>& home);
// The same with this process's environment.
std::vector<UsbId> PrinterUsbIdsFromEnvironment();

}  // namespace zorvik
