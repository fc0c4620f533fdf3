#pragma once
// Where the user's own files for this program sit: $XDG_CONFIG_HOME/zorvik/NAME, or
// ~/.config/zorvik/NAME without it.
#include <filesystem>
#include <optional>
#include <string>

namespace zorvik {

// Empty when neither folder is known (both values unset or empty).
std::filesystem::path UserConfigPath(const std::string& name, const std::optional<std::string>& xdgConfigHome,
                                     const std::optional<std::string>& home);

// The value of an environment variable; none when it is unset.
std::optional<std::string> EnvironmentValue(const char* name);

}  // namespace zorvik
