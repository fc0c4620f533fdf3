#include "link/UserConfigPath.h"

#include <cstdlib>

namespace zorvik {
namespace {

constexpr char kConfigFolder[] = "zorvik";

}  // namespace

std::filesystem::path UserConfigPath(const std::string& name, const std::optional<std::string>& xdgConfigHome,
                                     const std::optional<std::string>& home)
{
    if (xdgConfigHome && !xdgConfigHome->empty())
        return std::filesystem::path(*xdgConfigHome) / kConfigFolder / name;
    if (home && !home->empty())
        return std::filesystem::path(*home) / ".config" / kConfigFolder / name;
    return {};
}

std::optional<std::string> EnvironmentValue(const char* name)
{
    const char* value = std::getenv(name);
    if (!value)
        return std::nullopt;
    return std::string(value);
}

}  // namespace zorvik
