#pragma once
// USB identity of the printer, the two discovery diagnostic lines and the names of the
// places the USB code looks at, written once.
#include <cstddef>
#include <cstdint>

namespace zorvik {

// The printer's USB vendor and product ids. PLACEHOLDERS: these values were picked
// from an unassigned-looking range until the real ids of the printer's USB function
// are known; packaging/udev/70-zorvik-printer.rules carries the same two values.
inline constexpr std::uint16_t kPrinterUsbVendorId = 0xf5a7;
inline constexpr std::uint16_t kPrinterUsbProductId = 0x0640;

// A device path carries the ids as these texts followed by four lower-case hex digits.
inline constexpr char kUsbVendorMatchPrefix[] = "vid_";
inline constexpr char kUsbProductMatchPrefix[] = "pid_";

// Discovery writes these two lines to standard output (printf-style, one %s: the path).
inline constexpr char kUsbAttemptingToOpen[] = "Attempting to open %s\n";
inline constexpr char kUsbFailedToOpen[] = "FAILED to open %s\n";

// Device paths longer than this are skipped by discovery.
inline constexpr std::size_t kUsbMaxDevicePathLength = 255;

// Where the kernel's USB printer driver shows its interfaces and device nodes.
inline constexpr char kUsbSysDriverFolder[] = "bus/usb/drivers/usblp";
inline constexpr char kUsbSysDevicesFolder[] = "bus/usb/devices";
inline constexpr char kUsbSysNodeClassFolder[] = "usbmisc";
inline constexpr char kUsbSysNodePrefix[] = "lp";
inline constexpr char kUsbSysDeviceIdFile[] = "ieee1284_id";
// A sysfs attribute is at most a page long.
inline constexpr std::size_t kUsbSysAttributeMaxBytes = 4096;
inline constexpr char kUsbDevNodeFolder[] = "usb";

}  // namespace zorvik
