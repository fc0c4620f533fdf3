#include "link/UsbDiscovery.h"

#include <algorithm>
#include <cstdio>

#include "link/Ieee1284Id.h"
#include "link/UsbDevicePath.h"
#include "resources/LinkTexts.h"
#include "resources/UsbTexts.h"

namespace zorvik {
namespace {

constexpr std::size_t kFirstBatchEnd = 8;
// A list never holds this many interfaces; the bound keeps a broken list from looping.
constexpr std::size_t kMaxIndexes = 1u << 16;

void WriteLine(std::ostream& out, const char* format, const std::string& path)
{
    std::vector<char> line(path.size() + 64);
    const int n = std::snprintf(line.data(), line.size(), format, path.c_str());
    if (n > 0)
        out.write(line.data(), std::min<std::streamsize>(n, static_cast<std::streamsize>(line.size() - 1)));
    out.flush();
}

}  // namespace

bool IsPrinterInterface(const UsbInterfaceEntry& entry, const std::vector<UsbId>& printerIds)
{
    if (entry.deviceId && Ieee1284NamesPrinter(*entry.deviceId))
        return true;
    return std::any_of(printerIds.begin(), printerIds.end(), [&](const UsbId& id) {
        return entry.path.find(UsbIdMatchText(kUsbVendorMatchPrefix, id.vendor)) != std::string::npos &&
               entry.path.find(UsbIdMatchText(kUsbProductMatchPrefix, id.product)) != std::string::npos;
    });
}

std::vector<std::string> WalkUsbInterfaces(UsbInterfaceList& list, std::ostream& out,
                                           const std::vector<UsbId>& printerIds)
{
    std::vector<std::string> entries;
    bool openable = false;
    std::size_t batchEnd = kFirstBatchEnd;
    for (std::size_t index = 0; index < kMaxIndexes; ++index) {
        if (index == batchEnd) {
            if (openable)
                break;
            batchEnd *= 2;
        }
        UsbInterfaceEntry entry;
        const UsbEnumResult r = list.At(index, entry);
        if (r == UsbEnumResult::NoMore)
            break;
        // A path that would not fit a port-list entry is skipped like one whose details
        // cannot be read, rather than cut short into a path that names nothing.
        if (r == UsbEnumResult::Failed || entry.path.size() > kUsbMaxDevicePathLength)
            continue;
        WriteLine(out, kUsbAttemptingToOpen, entry.path);
        if (!list.Probe(entry)) {
            WriteLine(out, kUsbFailedToOpen, entry.path);
            continue;
        }
        openable = true;
        if (IsPrinterInterface(entry, printerIds))
            entries.push_back(kUsbPortPrefix + entry.path);
    }
    return entries;
}

}  // namespace zorvik
