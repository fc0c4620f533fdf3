#include "sim/SimConsole.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace zorvik {

namespace {

int stopPipe[2] = {-1, -1};
bool inputEnded = false;

extern "C" void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(stopPipe[1], &byte, 1);
}

}  // namespace

SimConsole::SimConsole() = default;
SimConsole::~SimConsole() = default;

bool SimConsole::Open()
{
    if (::pipe(stopPipe) != 0)
        return false;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    // Started in the background of a terminal, a read of it gives EIO instead of stopping the sim.
    ::signal(SIGTTIN, SIG_IGN);
    return true;
}

std::optional<std::string> SimConsole::Next()
{
    pollfd waits[2] = {{stopPipe[0], POLLIN, 0}, {inputEnded ? -1 : STDIN_FILENO, POLLIN, 0}};
    for (;;) {
        if (::poll(waits, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (waits[0].revents != 0)
            return std::nullopt;
        if (waits[1].revents == 0)
            continue;
        char chunk[512];
        const auto n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            inputEnded = true;  // standard input ended: no more control lines
            waits[1].fd = -1;
            continue;
        }
        return std::string(chunk, static_cast<std::size_t>(n));
    }
}

}  // namespace zorvik
