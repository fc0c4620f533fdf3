#pragma once
// The demo: the built-in virtual printer on a free loopback TCP port, and the main
// window preset to Ethernet at 127.0.0.1 and that port, its title saying so.
#include <string>

#include "app/qt/MainDialog.h"
#include "sim/SimServer.h"

namespace zorvik {

// Starts the printer and presets the window. False, with the reason in error, when
// the printer could not be started; the window is left as it was.
bool StartDemo(SimServer& printer, MainDialog& window, std::string& error);

}  // namespace zorvik
