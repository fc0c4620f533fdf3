#include "cmdtest/LineSpacingPicker.h"

#include "cmdtest/HexText.h"
#include "resources/EditorTexts.h"

namespace zorvik {

std::string LineSpacingPicker::CommandText() const
{
    if (useDefault)
        return kTextDefaultLineSpacing;
    const auto n = static_cast<std::uint8_t>(value);
    return kTextLineSpacing + FormatHexText(&n, 1);
}

}  // namespace zorvik
