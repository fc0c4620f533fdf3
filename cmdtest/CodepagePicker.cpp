#include "cmdtest/CodepagePicker.h"

#include "cmdtest/HexText.h"
#include "resources/EditorTexts.h"

namespace zorvik {

std::vector<std::string> CodepagePicker::Entries()
{
    std::vector<std::string> entries;
    for (const auto& entry : kCodePages)
        entries.emplace_back(entry.name);
    return entries;
}

std::string CodepagePicker::CommandText() const
{
    const auto& entry = kCodePages[static_cast<std::size_t>(index) < kCodePages.size() ? index : 0];
    return kTextSelectCodepage + FormatHexText(&entry.code, 1);
}

}  // namespace zorvik
