#pragma once
// The NV image picker's state: the image number as the user left it in the field.
#include <string>
#include <vector>

#include "resources/EditorTexts.h"

namespace zorvik {

class AddressPicker {
public:
    std::string text = kNvImageAddresses[0];  // taken unchanged, whatever was typed

    static std::vector<std::string> Entries();
    // FS p n 0 ("1c 70 03 00 ").
    std::string CommandText() const;
};

}  // namespace zorvik
