#pragma once
// The presets from the Windows registry, read only, under HKEY_LOCAL_MACHINE: a
// printer queue's port from the spooler's key, a serial port's line settings from
// the Ports key, a standard TCP/IP port's number from its monitor's key, and the
// own values from the program's own key.
#include "app/PresetStore.h"

namespace zorvik {

class PresetRegistryStore final : public PresetStore {
public:
    std::optional<PresetQueue> FindQueue(const std::string& queue) const override;
    std::optional<std::string> OwnText(std::string_view name) const override;
    std::optional<std::uint32_t> OwnNumber(std::string_view name) const override;
};

// One string value (REG_SZ, REG_EXPAND_SZ unexpanded, REG_LINK); no value when the
// key or value is missing or of another type.
std::optional<std::string> RegistryText(const std::string& key, const std::string& value);
// One DWORD value (REG_DWORD, or REG_DWORD_BIG_ENDIAN with its bytes in that order).
std::optional<std::uint32_t> RegistryNumber(const std::string& key, const std::string& value);
// A printer queue as the registry keys describe it: its port, and the serial line
// settings or the TCP/IP port number behind that port. No value without the queue.
std::optional<PresetQueue> RegistryPresetQueue(const std::string& queue);

}  // namespace zorvik
