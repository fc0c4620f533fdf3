#include "sim/SimConsole.h"

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace zorvik {

namespace {

// Shared with the console's control handler and the reader of standard input, which
// run on threads of their own.
std::mutex mutex;
std::condition_variable changed;
bool stopAsked = false;
std::deque<std::string> chunks;

BOOL WINAPI OnControl(DWORD)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopAsked = true;
    }
    changed.notify_all();
    return TRUE;
}

// Blocks in ReadFile; left running when the program ends, which ends it too.
void ReadInput()
{
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    char chunk[512];
    DWORD n = 0;
    while (input != nullptr && input != INVALID_HANDLE_VALUE &&
           ::ReadFile(input, chunk, sizeof chunk, &n, nullptr) && n > 0) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            chunks.emplace_back(chunk, n);
        }
        changed.notify_all();
    }
}

}  // namespace

SimConsole::SimConsole() = default;
SimConsole::~SimConsole() = default;

bool SimConsole::Open()
{
    if (!::SetConsoleCtrlHandler(OnControl, TRUE))
        return false;
    std::thread(ReadInput).detach();
    return true;
}

std::optional<std::string> SimConsole::Next()
{
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [] { return stopAsked || !chunks.empty(); });
    if (stopAsked)
        return std::nullopt;
    std::string chunk = std::move(chunks.front());
    chunks.pop_front();
    return chunk;
}

}  // namespace zorvik
