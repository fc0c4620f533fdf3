#pragma once
// Port settings in words for test failures, instead of the raw bytes GoogleTest
// prints for a struct it does not know.
#include <iosfwd>

#include "link/PortSettings.h"

namespace zorvik {

void PrintTo(const PortSettings& settings, std::ostream* out);
// The interface by name, in test messages as in failures.
std::ostream& operator<<(std::ostream& out, InterfaceType type);

}  // namespace zorvik
