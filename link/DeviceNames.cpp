#include "link/DeviceNames.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <string_view>
#include <system_error>

#include "base/BoundedFile.h"

namespace zorvik {
namespace {

constexpr std::string_view kDeviceNamespace = "\\\\.\\";  // the "\\.\" of "\\.\COM10"
constexpr std::string_view kComPrefix = "COM";
constexpr std::string_view kLptPrefix = "LPT";
constexpr char kMapFileFolder[] = "zorvik";
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

std::optional<std::string> Env(const char* name)
{
    const char* value = std::getenv(name);
    if (!value)
        return std::nullopt;
    return std::string(value);
}

// "ttyS10" after "ttyS2": names compare by their stem, then by their number.
bool NaturalLess(const std::string& a, const std::string& b)
{
    auto split = [](const std::string& s) {
        std::size_t digits = s.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(s[digits - 1])))
            --digits;
        const std::string number = s.substr(digits);
        return std::pair{s.substr(0, digits), number.empty() || number.size() > 9 ? -1 : std::stoi(number)};
    };
    const auto sa = split(a);
    const auto sb = split(b);
    if (sa != sb)
        return sa < sb;
    return a < b;
}

std::vector<std::string> Sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end(), NaturalLess);
    return names;
}

}  // namespace

DeviceNames DeviceNames::FromEnvironment()
{
    return FromEnvironment(Env(kMapFileVariable), Env("XDG_CONFIG_HOME"), Env("HOME"));
}

DeviceNames DeviceNames::FromEnvironment(const std::optional<std::string>& portMap,
                                         const std::optional<std::string>& xdgConfigHome,
                                         const std::optional<std::string>& home)
{
    DeviceNames names;
    std::filesystem::path file;
    if (portMap && !portMap->empty())
        file = *portMap;
    else if (xdgConfigHome && !xdgConfigHome->empty())
        file = std::filesystem::path(*xdgConfigHome) / kMapFileFolder / kMapFileName;
    else if (home && !home->empty())
        file = std::filesystem::path(*home) / ".config" / kMapFileFolder / kMapFileName;
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

std::vector<std::string> ListSerialDevices(const std::filesystem::path& sysfsRoot)
{
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(sysfsRoot / "class" / "tty", ec)) {
        const auto driver = entry.path() / "device" / "driver";
        if (!std::filesystem::exists(driver, ec))
            continue;  // virtual terminals, ptys and the console have no device
        // The 8250 driver makes ttyS0..ttySn on its placeholder platform device
        // whether or not a UART is fitted; real ones hang off their bus (pnp, pci).
        const auto target = std::filesystem::read_symlink(driver, ec);
        if (!ec && target.filename() == "serial8250")
            continue;
        ec.clear();
        found.push_back("/dev/" + entry.path().filename().string());
    }
    return Sorted(std::move(found));
}

std::vector<std::string> ListParallelDevices(const std::filesystem::path& sysfsRoot)
{
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(sysfsRoot / "class" / "printer", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("lp"))
            found.push_back("/dev/" + name);
    }
    return Sorted(std::move(found));
}

}  // namespace zorvik
