#include "link/NetPort.h"

#include <algorithm>
#include <climits>

#include "resources/LinkTexts.h"

namespace zorvik {

NetPort::NetPort(Pacer& pacer, Notifier& notifier, NetLimits limits, std::unique_ptr<StreamSocket> socket)
    : pacer_(pacer), notifier_(notifier), limits_(limits),
      socket_(socket ? std::move(socket) : MakeSystemStreamSocket())
{
}

NetPort::~NetPort()
{
    Close();
}

int NetPort::Configure(const PortSettings& settings)
{
    address_ = settings.portName;
    tcpPort_ = settings.tcpPort;
    return 1;
}

int NetPort::Open()
{
    if (connected_)
        return 1;
    if (!socket_->Create()) {
        notifier_.Show(kNetSocketCreateFailed, kNetErrorTitle, MessageIcon::Error);
        return 0;
    }
    // A port number outside 1..65535 cannot be connected to; it fails like a refusal.
    const bool portValid = tcpPort_ > 0 && tcpPort_ <= 65535;
    if (!portValid || !socket_->Connect(address_, static_cast<std::uint16_t>(tcpPort_), limits_.connectMs)) {
        socket_->Close();
        notifier_.Show(kNetConnectFailed, kNetErrorTitle, MessageIcon::Error);
        return 0;
    }
    connected_ = true;
    return 1;
}

int NetPort::Write(const std::uint8_t* buffer, std::uint32_t count)
{
    if (!connected_ || !buffer || count == 0)
        return 0;
    count = std::min<std::uint32_t>(count, INT_MAX);
    std::uint32_t sent = 0;
    std::uint32_t remaining = count;
    while (sent < count) {
        const bool fullPiece = remaining > kPieceSize;
        const std::uint32_t piece = fullPiece ? kPieceSize : remaining;
        const int n = socket_->Send(buffer + sent, piece, limits_.sendStallMs);
        if (n < 1)
            break;
        // Only what really went out is counted: a piece cut short by a failing
        // connection ends the write with the bytes sent so far.
        sent += static_cast<std::uint32_t>(n);
        if (static_cast<std::uint32_t>(n) < piece)
            break;
        remaining -= piece;
        if (fullPiece)
            pacer_.Pause(kPauseAfterPieceMs);
    }
    return static_cast<int>(sent);
}

int NetPort::Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs)
{
    if (!connected_ || !buffer || count == 0)
        return 0;
    count = std::min<std::uint32_t>(count, INT_MAX);
    return socket_->Receive(buffer, count, timeoutMs);
}

void NetPort::Close()
{
    socket_->Close();
    connected_ = false;
}

}  // namespace zorvik
