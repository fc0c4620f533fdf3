#pragma once
// What the program's main window uses of the real system: its ports, USB discovery
// and the serial devices it has.
#include "app/qt/MainDialog.h"

namespace zorvik {

// A set-up with the system's ports and device lists; the caller adds the argument.
MainDialogSetup SystemSetup();

}  // namespace zorvik
