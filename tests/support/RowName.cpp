#include "RowName.h"

#include <cctype>

namespace zorvik::test {

std::string RowNameOf(std::string_view text)
{
    std::string out;
    bool gap = false;
    for (const char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            if (gap && !out.empty())
                out += '_';
            out += c;
            gap = false;
        } else {
            gap = true;
        }
    }
    return out.empty() ? "unnamed" : out;
}

}  // namespace zorvik::test
