#include "link/SystemDevices.h"

#include <algorithm>
#include <map>
#include <system_error>

#include "link/NaturalOrder.h"

namespace zorvik {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end(), NaturalLess);
    return names;
}

// Kernel name ("ttyUSB0") -> its stable link under <devRoot>/serial/by-id. Of several
// links to one device the first in order is taken, so the choice does not change.
std::map<std::string, std::string> StableSerialNames(const fs::path& devRoot)
{
    std::vector<std::string> links;
    std::error_code ec;
    const fs::path folder = devRoot / "serial" / "by-id";
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (entry.is_symlink(ec))
            links.push_back(entry.path().filename().string());
    }
    std::map<std::string, std::string> names;
    for (const auto& link : Sorted(std::move(links))) {
        const fs::path target = fs::read_symlink(folder / link, ec);
        if (!ec && !target.empty())
            names.emplace(target.filename().string(), (folder / link).string());
        ec.clear();
    }
    return names;
}

}  // namespace

std::vector<std::string> ListSerialDevices(const fs::path& sysfsRoot, const fs::path& devRoot)
{
    std::vector<std::string> kernelNames;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(sysfsRoot / "class" / "tty", ec)) {
        const auto driver = entry.path() / "device" / "driver";
        if (!fs::exists(driver, ec))
            continue;  // virtual terminals, ptys and the console have no device
        // The 8250 driver makes ttyS0..ttySn on its placeholder platform device
        // whether or not a UART is fitted; real ones hang off their bus (pnp, pci).
        const auto target = fs::read_symlink(driver, ec);
        if (!ec && target.filename() == "serial8250")
            continue;
        ec.clear();
        kernelNames.push_back(entry.path().filename().string());
    }
    const auto stable = StableSerialNames(devRoot);
    std::vector<std::string> found;
    for (const auto& name : Sorted(std::move(kernelNames))) {
        const auto it = stable.find(name);
        found.push_back(it != stable.end() ? it->second : (devRoot / name).string());
    }
    return found;
}

std::vector<std::string> ListParallelDevices(const fs::path& sysfsRoot)
{
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(sysfsRoot / "class" / "printer", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("lp"))
            found.push_back("/dev/" + name);
    }
    return Sorted(std::move(found));
}

}  // namespace zorvik
