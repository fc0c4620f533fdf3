#pragma once
// A scripted port for protocol tests: it records every write and serves reads from
// queued reply chunks. An empty chunk makes one read return nothing. A responder
// may queue replies when a command is written, like a printer would. With `gone`
// set, the connection breaks once the queued chunks are used up.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/PrinterLink.h"

namespace zorvik::test {

using Bytes = std::vector<std::uint8_t>;

struct FakePortState {
    std::vector<PortSettings> configured;
    std::vector<Bytes> writes;              // every Write, in order
    std::vector<std::uint32_t> readCounts;  // the count of every Read, in order
    std::deque<Bytes> replies;              // served front to back
    std::function<void(const Bytes& written, FakePortState& state)> responder;
    int configureResult = 1;
    int openResult = 1;
    int writeLimit = -1;  // >= 0: accept at most this many bytes per write
    bool gone = false;    // reads past the queued chunks return -1 (the connection broke)
    bool open = false;
    int closeCount = 0;
    int destroyed = 0;

    void Queue(Bytes reply) { replies.push_back(std::move(reply)); }
    Bytes AllWritten() const;
};

class FakePort final : public Port {
public:
    explicit FakePort(std::shared_ptr<FakePortState> state) : state_(std::move(state)) {}
    ~FakePort() override { ++state_->destroyed; }

    int Configure(const PortSettings& settings) override;
    int Open() override;
    int Write(const std::uint8_t* buffer, std::uint32_t count) override;
    int Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs) override;
    void Close() override;

private:
    std::shared_ptr<FakePortState> state_;
};

// Hands out FakePorts that share one state, and remembers the types asked for.
class FakePortFactory final : public PortFactory {
public:
    explicit FakePortFactory(std::shared_ptr<FakePortState> state) : state_(std::move(state)) {}
    std::unique_ptr<Port> Make(InterfaceType type) override
    {
        made.push_back(type);
        return std::make_unique<FakePort>(state_);
    }
    std::vector<InterfaceType> made;

private:
    std::shared_ptr<FakePortState> state_;
};

// Hex text of bytes ("1B 40"), for readable mismatch reports.
std::string HexOf(const Bytes& bytes);
Bytes BytesOf(std::initializer_list<int> values);

}  // namespace zorvik::test
