#include "link/posix/UsbSysfs.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "link/UsbDevicePath.h"
#include "resources/UsbTexts.h"

namespace zorvik {
namespace fs = std::filesystem;
namespace {

std::optional<std::uint16_t> ReadHexId(const fs::path& file)
{
    std::ifstream in(file);
    std::string text;
    if (!(in >> text) || text.empty() || text.size() > 4)
        return std::nullopt;
    std::uint16_t value = 0;
    for (char c : text) {
        const char lower = static_cast<char>(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c);
        int digit;
        if (lower >= '0' && lower <= '9')
            digit = lower - '0';
        else if (lower >= 'a' && lower <= 'f')
            digit = lower - 'a' + 10;
        else
            return std::nullopt;
        value = static_cast<std::uint16_t>(value * 16 + digit);
    }
    return value;
}

// "lp0" -> true: the node name the printer driver gives its devices.
bool IsPrinterNodeName(const std::string& name)
{
    const std::string_view prefix(kUsbSysNodePrefix);
    if (name.size() <= prefix.size() || !name.starts_with(prefix))
        return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

class SysfsInterfaceList final : public UsbInterfaceList {
public:
    explicit SysfsInterfaceList(const UsbEnv& env) : env_(env), places_(ListUsbPrinterInterfaces(env)) {}

    UsbEnumResult At(std::size_t index, UsbInterfaceEntry& entry) override
    {
        if (index >= places_.size())
            return UsbEnumResult::NoMore;
        auto found = ReadUsbInterface(env_, places_[index]);
        if (!found)
            return UsbEnumResult::Failed;
        entry = std::move(*found);
        return UsbEnumResult::Found;
    }

    bool Probe(const UsbInterfaceEntry& entry) override
    {
        // Shared open: no lock taken, nothing written.
        const int fd = ::open(entry.node.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            return false;
        ::close(fd);
        return true;
    }

private:
    const UsbEnv& env_;
    std::vector<std::string> places_;
};

}  // namespace

bool UsbPlaceLess(const std::string& a, const std::string& b)
{
    std::size_t i = 0, j = 0;
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            std::size_t ie = i, je = j;
            while (ie < a.size() && digit(a[ie]))
                ++ie;
            while (je < b.size() && digit(b[je]))
                ++je;
            // Compare the numbers without converting: leading zeros off, then length, then text.
            while (i + 1 < ie && a[i] == '0')
                ++i;
            while (j + 1 < je && b[j] == '0')
                ++j;
            if (ie - i != je - j)
                return ie - i < je - j;
            const int c = a.compare(i, ie - i, b, j, je - j);
            if (c != 0)
                return c < 0;
            i = ie;
            j = je;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

std::vector<std::string> ListUsbPrinterInterfaces(const UsbEnv& env)
{
    std::vector<std::string> places;
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(fs::path(env.sysRoot) / kUsbSysDriverFolder, ec)) {
        // The driver folder also holds bind, unbind, module and the like: only interface
        // places name a served interface.
        const std::string name = item.path().filename().string();
        if (name.find(':') != std::string::npos && IsUsbPlace(name))
            places.push_back(name);
    }
    std::sort(places.begin(), places.end(), UsbPlaceLess);
    return places;
}

std::optional<UsbInterfaceEntry> ReadUsbInterface(const UsbEnv& env, const std::string& place)
{
    if (!IsUsbPlace(place))
        return std::nullopt;
    const fs::path devices = fs::path(env.sysRoot) / kUsbSysDevicesFolder;
    const std::string device = place.substr(0, place.find(':'));
    const auto vendor = ReadHexId(devices / device / "idVendor");
    const auto product = ReadHexId(devices / device / "idProduct");
    if (!vendor || !product)
        return std::nullopt;
    std::error_code ec;
    std::vector<std::string> nodes;
    for (const auto& item : fs::directory_iterator(devices / place / kUsbSysNodeClassFolder, ec)) {
        const std::string name = item.path().filename().string();
        if (IsPrinterNodeName(name))
            nodes.push_back(name);
    }
    if (nodes.empty())
        return std::nullopt;
    std::sort(nodes.begin(), nodes.end(), UsbPlaceLess);
    UsbInterfaceEntry entry;
    entry.path = FormatUsbDevicePath({place, *vendor, *product});
    entry.node = (fs::path(env.devRoot) / kUsbDevNodeFolder / nodes.front()).string();
    return entry;
}

std::optional<std::string> ResolveUsbNode(const UsbEnv& env, const std::string& devicePath)
{
    if (devicePath.starts_with('/'))
        return devicePath;
    const auto parsed = ParseUsbDevicePath(devicePath);
    if (!parsed)
        return std::nullopt;
    const auto entry = ReadUsbInterface(env, parsed->place);
    // Another device plugged into the printer's socket is not the printer.
    if (!entry || ParseUsbDevicePath(entry->path) != parsed)
        return std::nullopt;
    return entry->node;
}

std::vector<std::string> DiscoverUsbPrinters(const UsbEnv& env, std::ostream& out)
{
    SysfsInterfaceList list(env);
    return WalkUsbInterfaces(list, out);
}

}  // namespace zorvik
