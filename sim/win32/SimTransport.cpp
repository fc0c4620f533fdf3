#include "sim/SimTransport.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>

#include "resources/SimTexts.h"

namespace zorvik {

namespace {

constexpr std::intptr_t kNone = -1;  // INVALID_SOCKET as the integer SimTransport keeps
constexpr short kIn = 1;
constexpr short kOut = 2;

SOCKET Sock(std::intptr_t handle)
{
    return static_cast<SOCKET>(handle);
}

void CloseSocket(std::intptr_t& handle)
{
    if (handle != kNone)
        ::closesocket(Sock(handle));
    handle = kNone;
}

// A socket of this process only (not inherited by programs it starts), not blocking.
std::intptr_t NewSocket(int type)
{
    const SOCKET s = ::socket(AF_INET, type, 0);
    if (s == INVALID_SOCKET)
        return kNone;
    ::SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    u_long yes = 1;
    ::ioctlsocket(s, FIONBIO, &yes);
    return static_cast<std::intptr_t>(s);
}

sockaddr_in Loopback(std::uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // loopback only, always
    address.sin_port = htons(port);
    return address;
}

std::string SocketError(const char* what)
{
    return std::string(what) + ": Winsock error " + std::to_string(::WSAGetLastError());
}

bool WouldBlock()
{
    const int error = ::WSAGetLastError();
    return error == WSAEWOULDBLOCK || error == WSAEINTR;
}

}  // namespace

SimTransport::SimTransport() = default;

SimTransport::~SimTransport()
{
    CloseAll();
}

bool SimTransport::HasPty()
{
    return false;
}

bool SimTransport::OpenWake()
{
    WSADATA data;
    if (!started_) {
        if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) {
            error_ = "Winsock could not be started";
            return false;
        }
        started_ = true;
    }
    // A datagram to ourselves over loopback ends the wait in select.
    wakeRead_ = NewSocket(SOCK_DGRAM);
    wakeWrite_ = NewSocket(SOCK_DGRAM);
    sockaddr_in address = Loopback(0);
    int length = sizeof address;
    if (wakeRead_ == kNone || wakeWrite_ == kNone ||
        ::bind(Sock(wakeRead_), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(Sock(wakeRead_), reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::connect(Sock(wakeWrite_), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        error_ = SocketError("wake socket");
        return false;
    }
    return true;
}

bool SimTransport::OpenPty()
{
    error_ = kSimPtyUnavailable;
    return false;
}

bool SimTransport::OpenTcp(std::uint16_t port)
{
    listen_ = NewSocket(SOCK_STREAM);
    if (listen_ == kNone) {
        error_ = SocketError("socket");
        return false;
    }
    // No SO_REUSEADDR: on Windows it would let a second server take a port in use.
    sockaddr_in address = Loopback(port);
    if (::bind(Sock(listen_), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        error_ = SocketError("bind 127.0.0.1");
        return false;
    }
    if (::listen(Sock(listen_), 4) != 0) {
        error_ = SocketError("listen");
        return false;
    }
    int length = sizeof address;
    ::getsockname(Sock(listen_), reinterpret_cast<sockaddr*>(&address), &length);
    tcpPort_ = ntohs(address.sin_port);
    return true;
}

void SimTransport::CloseAll()
{
    CloseSocket(client_);
    CloseSocket(listen_);
    CloseSocket(wakeRead_);
    CloseSocket(wakeWrite_);
    ptyPath_.clear();
    tcpPort_ = 0;
    if (started_)
        ::WSACleanup();
    started_ = false;
}

void SimTransport::Wake()
{
    if (wakeWrite_ != kNone) {
        const char byte = 1;
        ::send(Sock(wakeWrite_), &byte, 1, 0);
    }
}

bool SimTransport::IsOpen(SimLine line) const
{
    return line == kSimTcp && client_ != kNone;
}

void SimTransport::Close(SimLine line)
{
    if (line == kSimTcp)
        CloseSocket(client_);
}

bool SimTransport::Accept(bool smallReceiveBuffer)
{
    const SOCKET s = ::accept(Sock(listen_), nullptr, nullptr);
    if (s == INVALID_SOCKET)
        return false;
    CloseSocket(client_);
    ::SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    u_long yes = 1;
    ::ioctlsocket(s, FIONBIO, &yes);
    client_ = static_cast<std::intptr_t>(s);
    if (smallReceiveBuffer) {
        const int small = 1024;
        ::setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&small), sizeof small);
    }
    return true;
}

long SimTransport::Send(SimLine line, const std::uint8_t* bytes, std::size_t size)
{
    if (!IsOpen(line))
        return kFailed;
    const int n = ::send(Sock(client_), reinterpret_cast<const char*>(bytes),
                         static_cast<int>(std::min<std::size_t>(size, 1 << 20)), 0);
    if (n != SOCKET_ERROR)
        return n;
    return WouldBlock() ? kWouldBlock : kFailed;
}

long SimTransport::Receive(SimLine line, std::uint8_t* buffer, std::size_t size)
{
    if (!IsOpen(line))
        return kFailed;
    const int n = ::recv(Sock(client_), reinterpret_cast<char*>(buffer),
                         static_cast<int>(std::min<std::size_t>(size, 1 << 20)), 0);
    if (n != SOCKET_ERROR)
        return n;
    return WouldBlock() ? kWouldBlock : kFailed;
}

bool SimTransport::PtyUnread() const
{
    return false;
}

void SimTransport::Prepare(const bool (&in)[2], const bool (&out)[2])
{
    waitFds_ = {wakeRead_};
    waitEvents_ = {kIn};
    if (client_ != kNone) {
        waitFds_.push_back(client_);
        waitEvents_.push_back(static_cast<short>((in[kSimTcp] ? kIn : 0) | (out[kSimTcp] ? kOut : 0)));
    }
    if (listen_ != kNone) {
        waitFds_.push_back(listen_);
        waitEvents_.push_back(kIn);
    }
}

bool SimTransport::Wait(int timeoutMs)
{
    fd_set readable;
    fd_set writable;
    FD_ZERO(&readable);
    FD_ZERO(&writable);
    for (std::size_t i = 0; i < waitFds_.size(); ++i) {
        if (waitEvents_[i] & kIn)
            FD_SET(Sock(waitFds_[i]), &readable);
        if (waitEvents_[i] & kOut)
            FD_SET(Sock(waitFds_[i]), &writable);
    }
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    const int ready = ::select(0, &readable, &writable, nullptr, timeoutMs < 0 ? nullptr : &limit);
    waitSeen_.assign(waitFds_.size(), 0);
    if (ready == SOCKET_ERROR) {
        // A socket closed by another thread meanwhile (Unplug) only means: look again.
        const int error = ::WSAGetLastError();
        return error == WSAENOTSOCK || error == WSAEINTR;
    }
    for (std::size_t i = 0; i < waitFds_.size(); ++i)
        waitSeen_[i] = static_cast<short>((FD_ISSET(Sock(waitFds_[i]), &readable) ? kIn : 0) |
                                          (FD_ISSET(Sock(waitFds_[i]), &writable) ? kOut : 0));
    return true;
}

SimTransport::Ready SimTransport::Seen() const
{
    Ready ready;
    for (std::size_t i = 0; i < waitSeen_.size(); ++i) {
        const std::intptr_t handle = waitFds_[i];
        if (waitSeen_[i] == 0)
            continue;
        if (handle == wakeRead_) {
            char drain[64];
            while (::recv(Sock(wakeRead_), drain, sizeof drain, 0) > 0) {
            }
        } else if (handle == listen_) {
            ready.accept = true;
        } else if (handle == client_ && (waitSeen_[i] & kIn)) {
            // A client that went away reads as end of input.
            ready.input[kSimTcp] = true;
        }
    }
    return ready;
}

}  // namespace zorvik
