#pragma once
// zorvik-sim's console: the stop request (Ctrl-C, or SIGTERM on POSIX) and the control
// lines on standard input. The build picks sim/posix or sim/win32.
#include <optional>
#include <string>

namespace zorvik {

class SimConsole {
public:
    SimConsole();
    ~SimConsole();
    SimConsole(const SimConsole&) = delete;
    SimConsole& operator=(const SimConsole&) = delete;

    // Installs the stop handlers; false when that failed.
    bool Open();
    // Waits for the next piece of standard input; nullopt once a stop was asked for.
    // Once standard input has ended it only waits for the stop.
    std::optional<std::string> Next();
};

}  // namespace zorvik
