#pragma once
// The presets of a Windows system, read only from HKEY_LOCAL_MACHINE: a printer queue's
// port from the spooler's key, a serial port's line settings from the Ports key, a
// standard TCP/IP port's number from its monitor's key, and the own values from the
// program's own key.
#include <cstdint>
#include <optional>
#include <string>

#include "app/PresetSources.h"

namespace zorvik {

// One string value (REG_SZ, REG_EXPAND_SZ unexpanded, REG_LINK); no value when the
// key or value is missing or of another type.
std::optional<std::string> RegistryText(const std::string& key, const std::string& value);
// One DWORD value (REG_DWORD little-endian, REG_DWORD_BIG_ENDIAN in its own order).
std::optional<std::uint32_t> RegistryNumber(const std::string& key, const std::string& value);
// What the registry says about a queue's port; no value when the queue has none.
std::optional<PresetQueue> RegistryPresetQueue(const std::string& queue);

}  // namespace zorvik
