#pragma once
// The system side of SimServer: the pseudo-terminal, the loopback TCP listener with
// its one client, and the wake-up of the server thread's wait. SimServer calls it under
// its lock, except Wait, which only the server thread calls and which uses what
// Prepare (under the lock) chose. The build picks sim/posix or sim/win32.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zorvik {

// The lines a SimServer serves, also the index of their state.
enum SimLine { kSimPty = 0, kSimTcp = 1 };

class SimTransport {
public:
    SimTransport();
    ~SimTransport();
    SimTransport(const SimTransport&) = delete;
    SimTransport& operator=(const SimTransport&) = delete;

    // False where the system has no pseudo-terminals (Windows); OpenPty fails there.
    static bool HasPty();

    // Each false with Error() set; CloseAll undoes what had been opened.
    bool OpenWake();
    bool OpenPty();
    bool OpenTcp(std::uint16_t port);
    const std::string& Error() const { return error_; }
    void CloseAll();

    // Ends the current or the next Wait.
    void Wake();
    std::string PtyPath() const { return ptyPath_; }
    std::uint16_t TcpPort() const { return tcpPort_; }

    bool IsOpen(SimLine line) const;
    void Close(SimLine line);
    // The newest connection replaces the client; false when there was none to take.
    // A small receive buffer makes a refusing printer fill up early.
    bool Accept(bool smallReceiveBuffer);

    static constexpr long kWouldBlock = -1;
    static constexpr long kFailed = -2;
    // Bytes written or read, kWouldBlock, or kFailed (the line is gone). Receive gives 0
    // when the other end closed.
    long Send(SimLine line, const std::uint8_t* bytes, std::size_t size);
    long Receive(SimLine line, std::uint8_t* buffer, std::size_t size);
    // The pty's client has not yet read all that was written to it.
    bool PtyUnread() const;

    struct Ready {
        bool accept = false;
        bool input[2] = {false, false};   // by SimLine: something to read
        bool hangup[2] = {false, false};  // by SimLine: the other end went away
    };
    // Chooses what the next Wait waits for, by SimLine.
    void Prepare(const bool (&in)[2], const bool (&out)[2]);
    // Waits at most timeoutMs (-1: without end) for the prepared events or a Wake.
    // False when the wait itself failed.
    bool Wait(int timeoutMs);
    // What the last Wait saw of the lines still open (under the lock again).
    Ready Seen() const;

private:
    std::string error_;
    std::string ptyPath_;
    std::uint16_t tcpPort_ = 0;
    // Handles: file descriptors, or sockets on Windows (as integers wide enough for both).
    std::intptr_t wakeRead_ = -1;
    std::intptr_t wakeWrite_ = -1;
    std::intptr_t master_ = -1;
    std::intptr_t slaveHolder_ = -1;
    std::intptr_t listen_ = -1;
    std::intptr_t client_ = -1;
    std::vector<std::intptr_t> waitFds_;
    std::vector<short> waitEvents_;
    std::vector<short> waitSeen_;
    [[maybe_unused]] bool started_ = false;  // Windows: Winsock is started (unused elsewhere)
};

}  // namespace zorvik
