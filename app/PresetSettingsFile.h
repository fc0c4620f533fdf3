#pragma once
// The program's own preset settings: an INI file in the system configuration
// folder, <folder>/KARVO/LXT-640IV.conf, with lines such as
//
//   [General]
//   Port=COM1
//   BaudRate=38400
//
// Keys are read from the top of the file or its [General] section, names matched
// without regard to case; a value may be put in double quotes. The file is read
// afresh for every value, as nothing here is kept between reads.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/PresetSources.h"

namespace zorvik {

class PresetSettingsFile final : public OwnPresetValues {
public:
    // The file is read up to this size (far more than nine values need); a larger one
    // gives no values.
    static constexpr std::size_t kMaxFileBytes = std::size_t{1} << 20;

    explicit PresetSettingsFile(std::string path) : path_(std::move(path)) {}

    // The file under the first folder of XDG_CONFIG_DIRS (unset or empty: /etc/xdg).
    static std::string DefaultPath(const std::optional<std::string>& xdgConfigDirs);
    static std::string DefaultPath();  // from the environment

    const std::string& Path() const { return path_; }

    // No value when the file or the key is missing, or when the file is no regular file
    // of at most 1 MiB.
    std::optional<std::string> Text(std::string_view name) const override;
    // No value when missing, or when the value is not a whole decimal number of 32 bits.
    std::optional<std::uint32_t> Number(std::string_view name) const override;

    // The value of name in INI text.
    static std::optional<std::string> FindValue(std::string_view text, std::string_view name);
    // A whole decimal number of 32 bits; no value for anything else.
    static std::optional<std::uint32_t> ParseNumber(std::string_view value);

private:
    std::string path_;
};

}  // namespace zorvik
