#include "link/posix/UsbSysfs.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "base/BoundedFile.h"
#include "link/NaturalOrder.h"
#include "link/UsbDevicePath.h"
#include "resources/UsbTexts.h"

namespace zorvik {
namespace fs = std::filesystem;
namespace {

// A sysfs attribute's text, read within a bound (the kernel gives at most a page).
std::optional<std::string> ReadAttribute(const fs::path& file)
{
    const FileRead read = ReadBoundedFile(file.string(), kUsbSysAttributeMaxBytes);
    if (!read.Ok())
        return std::nullopt;
    return std::string(read.bytes.begin(), read.bytes.end());
}

std::optional<std::uint16_t> ReadHexId(const fs::path& file)
{
    const auto text = ReadAttribute(file);
    if (!text)
        return std::nullopt;
    std::string_view id(*text);
    while (!id.empty() && (id.back() == '\n' || id.back() == ' '))
        id.remove_suffix(1);
    return ParseUsbId(id, true);
}

// The printer's IEEE 1284 device ID, without the line end the driver adds; none when
// the file is missing or empty (the driver could not fetch it).
std::optional<std::string> ReadDeviceId(const fs::path& file)
{
    auto text = ReadAttribute(file);
    while (text && !text->empty() && (text->back() == '\n' || text->back() == '\0'))
        text->pop_back();
    if (!text || text->empty())
        return std::nullopt;
    return text;
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
    std::sort(places.begin(), places.end(), NaturalLess);
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
    std::sort(nodes.begin(), nodes.end(), NaturalLess);
    UsbInterfaceEntry entry;
    entry.path = FormatUsbDevicePath({place, *vendor, *product});
    entry.node = (fs::path(env.devRoot) / kUsbDevNodeFolder / nodes.front()).string();
    entry.deviceId = ReadDeviceId(devices / place / kUsbSysDeviceIdFile);
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
    return WalkUsbInterfaces(list, out, env.printerIds);
}

}  // namespace zorvik
