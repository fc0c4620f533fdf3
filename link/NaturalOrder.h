#pragma once
// The order device and bus names are listed in: runs of digits compare as numbers, so
// "ttyS10" comes after "ttyS2" and bus place "1-10" after "1-9".
#include <string_view>

namespace zorvik {

bool NaturalLess(std::string_view a, std::string_view b);

}  // namespace zorvik
