#include "link/NaturalOrder.h"

namespace zorvik {

bool NaturalLess(std::string_view a, std::string_view b)
{
    std::size_t i = 0, j = 0;
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            std::size_t ie = i, je = j;
            while (ie < a.size() && digit(a[ie]))
                ++ie;
            while (je < b.size() && digit(b[je]))
                ++je;
            // Compare the numbers without converting: leading zeros off, then length, then text.
            while (i + 1 < ie && a[i] == '0')
                ++i;
            while (j + 1 < je && b[j] == '0')
                ++j;
            if (ie - i != je - j)
                return ie - i < je - j;
            const int c = a.compare(i, ie - i, b, j, je - j);
            if (c != 0)
                return c < 0;
            i = ie;
            j = je;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

}  // namespace zorvik
