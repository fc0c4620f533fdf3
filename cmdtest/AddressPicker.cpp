#include "cmdtest/AddressPicker.h"

#include "resources/EditorTexts.h"

namespace zorvik {

std::vector<std::string> AddressPicker::Entries()
{
    return {std::begin(kNvImageAddresses), std::end(kNvImageAddresses)};
}

std::string AddressPicker::CommandText() const
{
    return kTextNvImage + text + kTextNvImageMode;
}

}  // namespace zorvik
