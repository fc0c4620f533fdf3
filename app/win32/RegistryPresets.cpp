#include "app/win32/RegistryPresets.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "resources/MainTexts.h"
#include "resources/PresetTexts.h"

namespace zorvik {
namespace {

// A registry value is read whole, but never more than this.
constexpr DWORD kMaxValueBytes = 64 * 1024;

// The bytes of one value of one of the types; its type goes to *typeOut when asked for.
std::optional<std::vector<std::uint8_t>> ReadValue(const std::string& key, const std::string& value,
                                                   std::initializer_list<DWORD> types,
                                                   DWORD* typeOut = nullptr)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    std::optional<std::vector<std::uint8_t>> result;
    if (RegQueryValueExA(handle, value.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        size <= kMaxValueBytes && std::find(types.begin(), types.end(), type) != types.end()) {
        std::vector<std::uint8_t> bytes(size);
        if (RegQueryValueExA(handle, value.c_str(), nullptr, &type, bytes.data(), &size) == ERROR_SUCCESS) {
            bytes.resize(std::min<std::size_t>(size, bytes.size()));
            result = std::move(bytes);
            if (typeOut)
                *typeOut = type;
        }
    }
    RegCloseKey(handle);
    return result;
}

}  // namespace

std::optional<std::string> RegistryText(const std::string& key, const std::string& value)
{
    const auto bytes = ReadValue(key, value, {REG_SZ, REG_EXPAND_SZ, REG_LINK});
    if (!bytes)
        return std::nullopt;
    // The stored text may or may not carry its terminating zero.
    const auto* text = reinterpret_cast<const char*>(bytes->data());
    return std::string(text, strnlen(text, bytes->size()));
}

std::optional<std::uint32_t> RegistryNumber(const std::string& key, const std::string& value)
{
    DWORD type = 0;
    const auto bytes = ReadValue(key, value, {REG_DWORD, REG_DWORD_BIG_ENDIAN}, &type);
    if (!bytes || bytes->size() < sizeof(std::uint32_t))
        return std::nullopt;
    const auto& b = *bytes;
    if (type == REG_DWORD_BIG_ENDIAN)
        return std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3];
    return std::uint32_t{b[3]} << 24 | std::uint32_t{b[2]} << 16 | std::uint32_t{b[1]} << 8 | b[0];
}

std::optional<PresetQueue> RegistryPresetQueue(const std::string& queue)
{
    auto port = RegistryText(std::string(kQueueKeyPrefix) + queue, kValuePort);
    if (!port)
        return std::nullopt;
    PresetQueue found;
    found.port = std::move(*port);
    if (found.port.starts_with(kPortStartSerial))
        found.lineSettings = RegistryText(kPortsKeyPath, found.port);
    else if (found.port.starts_with(kPortStartTcpIp))
        found.portNumber = RegistryNumber(std::string(kTcpIpPortsKeyPrefix) + found.port, kValuePortNumber);
    return found;
}

namespace {

class RegistryQueuePresets final : public QueuePresets {
public:
    std::optional<PortSettings> ForQueue(const std::string& queue, const PortSettings& base) const override
    {
        const auto found = RegistryPresetQueue(queue);
        return found ? PresetFromSpoolerPort(*found, base) : std::nullopt;
    }
};

class RegistryOwnValues final : public OwnPresetValues {
public:
    std::optional<std::string> Text(std::string_view name) const override
    {
        return RegistryText(kOwnKeyPath, std::string(name));
    }
    std::optional<std::uint32_t> Number(std::string_view name) const override
    {
        return RegistryNumber(kOwnKeyPath, std::string(name));
    }
};

}  // namespace

std::unique_ptr<QueuePresets> MakeSystemQueuePresets()
{
    return std::make_unique<RegistryQueuePresets>();
}

std::unique_ptr<OwnPresetValues> MakeOwnPresetValues()
{
    return std::make_unique<RegistryOwnValues>();
}

}  // namespace zorvik
