#pragma once
// The system's text for a Windows error code, for diagnostics.
#include <string>

namespace zorvik::win32 {

std::string ErrorText(unsigned long error);

}  // namespace zorvik::win32
