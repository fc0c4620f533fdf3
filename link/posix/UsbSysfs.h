#pragma once
// What the USB code reads from sysfs: the interfaces served by the kernel's printer
// driver, their ids and device nodes.
#include <optional>
#include <string>
#include <vector>

#include "link/UsbDiscovery.h"

namespace zorvik {

// Places of the printer driver's interfaces ("1-2:1.0"), in bus order.
std::vector<std::string> ListUsbPrinterInterfaces(const UsbEnv& env);

// Device path text and node of the interface at place; none when its ids or its device
// node cannot be read.
std::optional<UsbInterfaceEntry> ReadUsbInterface(const UsbEnv& env, const std::string& place);

// The device node a device path leads to now: for a discovered path, the node of the
// interface at its place, provided that interface still carries the path's ids; an
// absolute path names its node directly. None when there is no such device.
std::optional<std::string> ResolveUsbNode(const UsbEnv& env, const std::string& devicePath);

}  // namespace zorvik
