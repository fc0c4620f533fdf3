#include "app/PresetSettingsFile.h"

#include <cctype>
#include <cstdlib>

#include "base/BoundedFile.h"
#include "resources/PresetTexts.h"

namespace zorvik {

namespace {

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// "a \"b\"" -> a "b"; text without quotes stays as it is.
std::string Unquoted(std::string_view value)
{
    if (value.size() < 2 || value.front() != '"' || value.back() != '"')
        return std::string(value);
    value = value.substr(1, value.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size())
            ++i;
        out += value[i];
    }
    return out;
}

}  // namespace

std::string PresetSettingsFile::DefaultPath(const std::optional<std::string>& xdgConfigDirs)
{
    std::string folder = kSystemConfigFolder;
    if (xdgConfigDirs) {
        const std::string first = xdgConfigDirs->substr(0, xdgConfigDirs->find(':'));
        if (!first.empty() && first.front() == '/')
            folder = first;
    }
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder + "/" + kOwnPresetOrganization + "/" + kOwnPresetApplication + kOwnPresetFileSuffix;
}

std::string PresetSettingsFile::DefaultPath()
{
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    return DefaultPath(dirs ? std::optional<std::string>(dirs) : std::nullopt);
}

std::unique_ptr<OwnPresetValues> MakeOwnPresetValues()
{
    return std::make_unique<PresetSettingsFile>(PresetSettingsFile::DefaultPath());
}

std::optional<std::string> PresetSettingsFile::FindValue(std::string_view text, std::string_view name)
{
    bool inGeneral = true;  // keys before any section count as [General]
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            inGeneral = line.back() == ']' && SameName(Trimmed(line.substr(1, line.size() - 2)), "General");
            continue;
        }
        const auto eq = line.find('=');
        if (!inGeneral || eq == std::string_view::npos)
            continue;
        if (SameName(Trimmed(line.substr(0, eq)), name))
            return Unquoted(Trimmed(line.substr(eq + 1)));
    }
    return std::nullopt;
}

std::optional<std::string> PresetSettingsFile::Text(std::string_view name) const
{
    const FileRead read = ReadBoundedFile(path_, kMaxFileBytes);
    if (!read.Ok())
        return std::nullopt;
    const std::string text(read.bytes.begin(), read.bytes.end());
    return FindValue(text, name);
}

std::optional<std::uint32_t> PresetSettingsFile::Number(std::string_view name) const
{
    const auto value = Text(name);
    if (!value)
        return std::nullopt;
    return ParseNumber(*value);
}

std::optional<std::uint32_t> PresetSettingsFile::ParseNumber(std::string_view value)
{
    if (value.empty() || value.size() > 10)
        return std::nullopt;
    std::uint64_t number = 0;
    for (const char c : value) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (number > 0xFFFFFFFFu)
        return std::nullopt;
    return static_cast<std::uint32_t>(number);
}

}  // namespace zorvik
