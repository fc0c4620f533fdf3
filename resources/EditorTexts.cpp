#include "resources/EditorTexts.h"

namespace zorvik {

// NV bit image numbers offered by the picker (the field also takes typed text).
const char* const kNvImageAddresses[kNvImageAddressCount] = {"01", "02", "03", "04", "05"};

}  // namespace zorvik
