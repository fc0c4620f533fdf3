#pragma once
// Finding USB printers: walk the present printer interfaces, probe each one, and give a
// port-list entry ("LXT-640IV:" and the device path) for every one whose IEEE 1284
// device ID names the printer, or that carries one of the printer's vendor and product
// id pairs.
#include <cstddef>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "link/UsbIds.h"

namespace zorvik {

// Where the system shows its USB devices; tests point both at a temporary tree.
struct UsbEnv {
    std::string sysRoot = "/sys";
    std::string devRoot = "/dev";
    // The id pairs taken as the printer's (the program fills them from the user's
    // settings, PrinterUsbIdsFromEnvironment).
    std::vector<UsbId> printerIds{BuiltInPrinterUsbId()};
};

// One present interface: its device path text and the device node it is reached by.
struct UsbInterfaceEntry {
    std::string path;
    std::string node;
    // The device ID the printer reports; none when it cannot be read.
    std::optional<std::string> deviceId;
};

enum class UsbEnumResult { Found, NoMore, Failed };

// The present interfaces in a fixed order, reached by index.
class UsbInterfaceList {
public:
    virtual ~UsbInterfaceList() = default;
    // Failed: the interface at index exists but its details cannot be read.
    virtual UsbEnumResult At(std::size_t index, UsbInterfaceEntry& entry) = 0;
    // Opens the interface shared, as a presence probe, and closes it again.
    virtual bool Probe(const UsbInterfaceEntry& entry) = 0;
};

// The walk: batches of indexes 0-7, 8-15, 16-31, ... each ending at twice the previous
// end; it stops at the end of the first batch in which (or before which) an interface
// could be opened. Writes "Attempting to open" and "FAILED to open" lines to out.
std::vector<std::string> WalkUsbInterfaces(UsbInterfaceList& list, std::ostream& out,
                                           const std::vector<UsbId>& printerIds = {BuiltInPrinterUsbId()});

// True when an interface is the printer: its device ID names it, or its path carries
// one of the id pairs.
bool IsPrinterInterface(const UsbInterfaceEntry& entry, const std::vector<UsbId>& printerIds);

// The walk over the interfaces of the kernel's USB printer driver found under env.
std::vector<std::string> DiscoverUsbPrinters(const UsbEnv& env = {}, std::ostream& out = std::cout);

}  // namespace zorvik
