#pragma once
// Finding USB printers: walk the present printer interfaces, probe each one, and give a
// port-list entry ("LXT-640IV:" and the device path) for every one that carries the
// printer's vendor and product ids.
#include <cstddef>
#include <iostream>
#include <string>
#include <vector>

namespace zorvik {

// Where the system shows its USB devices; tests point both at a temporary tree.
struct UsbEnv {
    std::string sysRoot = "/sys";
    std::string devRoot = "/dev";
};

// One present interface: its device path text and the device node it is reached by.
struct UsbInterfaceEntry {
    std::string path;
    std::string node;
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
std::vector<std::string> WalkUsbInterfaces(UsbInterfaceList& list, std::ostream& out);

// The walk over the interfaces of the kernel's USB printer driver found under env.
std::vector<std::string> DiscoverUsbPrinters(const UsbEnv& env = {}, std::ostream& out = std::cout);

}  // namespace zorvik
