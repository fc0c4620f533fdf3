#include "app/win32/PresetRegistryStore.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/SystemPresetStore.h"
#include "resources/MainTexts.h"
#include "resources/PresetTexts.h"

namespace zorvik {
namespace {

// A registry value is read whole, but never more than this.
constexpr DWORD kMaxValueBytes = 64 * 1024;

std::optional<std::vector<std::uint8_t>> ReadValue(const std::string& key, const std::string& value,
                                                   std::initializer_list<DWORD> types)
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
    const auto bytes = ReadValue(key, value, {REG_DWORD, REG_DWORD_BIG_ENDIAN});
    if (!bytes || bytes->size() < sizeof(std::uint32_t))
        return std::nullopt;
    std::uint32_t number = 0;
    std::memcpy(&number, bytes->data(), sizeof number);
    return number;
}

std::optional<PresetQueue> PresetRegistryStore::FindQueue(const std::string& queue) const
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

std::optional<std::string> PresetRegistryStore::OwnText(std::string_view name) const
{
    return RegistryText(kOwnKeyPath, std::string(name));
}

std::optional<std::uint32_t> PresetRegistryStore::OwnNumber(std::string_view name) const
{
    return RegistryNumber(kOwnKeyPath, std::string(name));
}

std::unique_ptr<const PresetStore> MakeSystemPresetStore()
{
    return std::make_unique<PresetRegistryStore>();
}

}  // namespace zorvik
