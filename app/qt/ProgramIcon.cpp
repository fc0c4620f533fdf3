#include "app/qt/ProgramIcon.h"

// The resource lives in a static library, so it is registered by hand.
static void RegisterProgramResources()
{
    Q_INIT_RESOURCE(zorvik);
}

namespace zorvik {

QIcon ProgramIcon()
{
    static const bool registered = (RegisterProgramResources(), true);
    (void)registered;
    return QIcon(QStringLiteral(":/zorvik/icon.png"));
}

}  // namespace zorvik
