#pragma once
// A printer on the network, reached over one TCP connection. Writes go out in
// pieces of 4096 bytes with a pause after each full piece so the printer's input
// buffer keeps up; the two failures of Open are told to the user directly.
#include <cstdint>
#include <memory>
#include <string>

#include "base/Notifier.h"
#include "base/Pacer.h"
#include "link/Port.h"
#include "link/StreamSocket.h"

namespace zorvik {

struct NetLimits {
    std::uint32_t connectMs = 3000;     // a printer that does not answer the connect
    std::uint32_t sendStallMs = 10000;  // a printer that stops taking bytes
};

class NetPort final : public Port {
public:
    static constexpr std::uint32_t kPieceSize = 4096;
    static constexpr std::uint32_t kPauseAfterPieceMs = 500;

    // Without a socket the system's is used.
    NetPort(Pacer& pacer, Notifier& notifier, NetLimits limits = {},
            std::unique_ptr<StreamSocket> socket = nullptr);
    ~NetPort() override;

    int Configure(const PortSettings& settings) override;
    int Open() override;
    int Write(const std::uint8_t* buffer, std::uint32_t count) override;
    // Waits at most timeoutMs (see Port::Read): -1 once the printer closed the
    // connection or it failed; bytes it sent before closing come first.
    int Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs) override;
    void Close() override;
    const char* LastError() const override { return socket_->LastError().c_str(); }

private:
    Pacer& pacer_;
    Notifier& notifier_;
    NetLimits limits_;
    std::unique_ptr<StreamSocket> socket_;
    std::string address_;
    std::uint32_t tcpPort_ = 0;
    bool connected_ = false;
};

}  // namespace zorvik
