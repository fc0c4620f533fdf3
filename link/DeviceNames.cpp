#include "link/DeviceNames.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <string_view>
#include <system_error>

#include "base/BoundedFile.h"
#include "link/NaturalOrder.h"
#include "link/UserConfigPath.h"

namespace zorvik {
namespace {

constexpr std::string_view kDeviceNamespace = "\\\\.\\";  // the "\\.\" of "\\.\COM10"
constexpr std::string_view kComPrefix = "COM";
constexpr std::string_view kLptPrefix = "LPT";
constexpr char kMapFileName[] = "ports.conf";
constexpr char kMapFileVariable[] = "ZORVIK_PORT_MAP";

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

std::string_view Unquote(std::string_view s)
{
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"')
        return Trim(s.substr(1, s.size() - 2));
    return s;
}

// "\\.\com10" -> "COM10": one key for both spellings and any case.
std::string Normalise(std::string_view name)
{
    if (name.starts_with(kDeviceNamespace))
        name.remove_prefix(kDeviceNamespace.size());
    std::string key(name);
    for (char& c : key)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

// The n of "COMn"/"LPTn" (1 to 255); no value for anything else.
std::optional<int> NumberAfter(std::string_view key, std::string_view prefix)
{
    if (!key.starts_with(prefix))
        return std::nullopt;
    key.remove_prefix(prefix.size());
    if (key.empty() || key.size() > 3 || key.front() == '0')
        return std::nullopt;
    int n = 0;
    for (char c : key) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n > 255)
        return std::nullopt;
    return n;
}

}  // namespace

DeviceNames DeviceNames::FromEnvironment()
{
    return FromEnvironment(EnvironmentValue(kMapFileVariable), EnvironmentValue("XDG_CONFIG_HOME"),
                           EnvironmentValue("HOME"));
}

DeviceNames DeviceNames::FromEnvironment(const std::optional<std::string>& portMap,
                                         const std::optional<std::string>& xdgConfigHome,
                                         const std::optional<std::string>& home)
{
    DeviceNames names;
    std::filesystem::path file;
    if (portMap && !portMap->empty())
        file = *portMap;
    else
        file = UserConfigPath(kMapFileName, xdgConfigHome, home);
    if (!file.empty())
        names.LoadFile(file);  // a missing map file simply leaves the defaults
    return names;
}

bool DeviceNames::LoadFile(const std::filesystem::path& file)
{
    const FileRead read = ReadBoundedFile(file.string(), kMaxMapFileBytes);
    const bool absent = read.failure == FileReadFailure::CantOpen && read.error == ENOENT;
    loadProblem_ = absent ? std::string() : FileReadMessage(read, file.string());
    if (!read.Ok())
        return false;
    LoadText(std::string(read.bytes.begin(), read.bytes.end()));
    return true;
}

int DeviceNames::LoadText(const std::string& text)
{
    skipped_.clear();
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string_view l = Trim(line);
        if (l.empty() || l.front() == '#' || l.front() == ';')
            continue;
        const std::size_t eq = l.find('=');
        if (eq == std::string_view::npos) {
            skipped_.push_back(number);
            continue;
        }
        const std::string_view name = Unquote(Trim(l.substr(0, eq)));
        const std::string_view path = Unquote(Trim(l.substr(eq + 1)));
        // Only absolute paths: a relative one would depend on where the program was started.
        if (name.empty() || path.empty() || path.front() != '/') {
            skipped_.push_back(number);
            continue;
        }
        Set(std::string(name), std::string(path));
    }
    return static_cast<int>(skipped_.size());
}

void DeviceNames::Set(const std::string& name, const std::string& devicePath)
{
    overrides_[Normalise(name)] = devicePath;
}

std::string DeviceNames::DevicePath(const std::string& portName) const
{
    if (portName.starts_with('/'))
        return portName;
    const std::string key = Normalise(portName);
    if (const auto it = overrides_.find(key); it != overrides_.end())
        return it->second;
    if (const auto n = NumberAfter(key, kComPrefix))
        return SerialDeviceFile(*n);
    if (const auto n = NumberAfter(key, kLptPrefix))
        return ParallelDeviceFile(*n);
    return {};
}

PortDeviceFiles PortsAmongDeviceNames(const std::vector<std::string>& deviceNames)
{
    PortDeviceFiles ports;
    for (const auto& name : deviceNames) {
        const std::string key = Normalise(name);
        if (const auto n = NumberAfter(key, kComPrefix))
            ports.serial.push_back(SerialDeviceFile(*n));
        else if (const auto m = NumberAfter(key, kLptPrefix))
            ports.parallel.push_back(ParallelDeviceFile(*m));
    }
    for (auto* list : {&ports.serial, &ports.parallel}) {
        std::sort(list->begin(), list->end(), NaturalLess);
        list->erase(std::unique(list->begin(), list->end()), list->end());
    }
    return ports;
}

}  // namespace zorvik
