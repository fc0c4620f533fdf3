#include "link/Ieee1284Id.h"

#include "resources/LinkTexts.h"
#include "resources/SettingsTexts.h"

namespace zorvik {
std::optional<std::string> Ieee1284Field(std::string_view id, std::initializer_list<std::string_view> keys)
{
    while (!id.empty()) {
        const std::size_t end = id.find(';');
        const std::string_view field = id.substr(0, end);
        id = end == std::string_view::npos ? std::string_view() : id.substr(end + 1);
        const std::size_t colon = field.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string_view key = field.substr(0, colon);
        for (const std::string_view wanted : keys) {
            if (key == wanted)
                return std::string(field.substr(colon + 1));
        }
    }
    return std::nullopt;
}

bool Ieee1284NamesPrinter(std::string_view id)
{
    const auto maker = Ieee1284Field(id, {"MFG", "MANUFACTURER"});
    const auto model = Ieee1284Field(id, {"MDL", "MODEL"});
    return maker && model && *maker == kMakerName && model->find(kModelFamily) != std::string::npos;
}

}  // namespace zorvik
