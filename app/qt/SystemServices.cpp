#include "app/qt/SystemServices.h"

namespace zorvik {

MainDialogSetup SystemSetup()
{
    MainDialogSetup setup;
    // The system's port factory, USB discovery and serial device list are added here
    // as the link layer provides them.
    return setup;
}

}  // namespace zorvik
