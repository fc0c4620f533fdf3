#pragma once
// The thin layer between NetPort and the system's TCP sockets. Every call is
// bounded by the limit it is given.
#include <cstdint>
#include <memory>
#include <string>

namespace zorvik {

class StreamSocket {
public:
    virtual ~StreamSocket() = default;

    // Makes the socket; false when the system refuses one.
    virtual bool Create() = 0;
    // Connects to an IPv4 address in dotted decimal; false when refused, when the
    // address is not one, or when limitMs pass without an answer.
    virtual bool Connect(const std::string& address, std::uint16_t port, std::uint32_t limitMs) = 0;
    // Sends all bytes unless the connection fails or nothing moves for stallMs.
    // The bytes that went out; -1 when none did because of an error.
    virtual int Send(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t stallMs) = 0;
    // Waits up to timeoutMs for data and receives up to count bytes: the bytes
    // received, 0 when nothing came in time, -1 when the peer closed the connection
    // or it failed (reset, for example).
    virtual int Receive(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs) = 0;
    virtual void Close() = 0;
    virtual const std::string& LastError() const = 0;
};

std::unique_ptr<StreamSocket> MakeSystemStreamSocket();

}  // namespace zorvik
