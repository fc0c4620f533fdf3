#pragma once
#include <QIcon>

namespace zorvik {

// The program icon, embedded in the program.
QIcon ProgramIcon();

}  // namespace zorvik
