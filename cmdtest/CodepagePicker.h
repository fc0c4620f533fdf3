#pragma once
// The code page picker's state: the index of the chosen code table.
#include <string>
#include <vector>

namespace zorvik {

class CodepagePicker {
public:
    int index = 0;  // the first entry is chosen at opening

    static std::vector<std::string> Entries();
    // ESC t n for the chosen entry ("1b 74 1b " for "Farsi").
    std::string CommandText() const;
};

}  // namespace zorvik
