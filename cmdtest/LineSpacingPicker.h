#pragma once
// The line-spacing picker's state: a value from 0 to 255 and the default box.
#include <string>

namespace zorvik {

class LineSpacingPicker {
public:
    int value = 0;
    bool useDefault = false;

    // The value's edit box and arrows are usable only without the default.
    bool ValueEnabled() const { return !useDefault; }
    // ESC 2 for the default, else ESC 3 n ("1b 33 0f ").
    std::string CommandText() const;
};

}  // namespace zorvik
