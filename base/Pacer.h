#pragma once
// Every pause of a printer exchange goes through a Pacer, so the windows can keep
// painting while they wait and tests can assert the pauses without sleeping.
#include <cstdint>
#include <vector>

namespace zorvik {

class Pacer {
public:
    virtual ~Pacer() = default;
    virtual void Pause(std::uint32_t ms) = 0;
};

// Blocks the calling thread; used by the command-line tool and the virtual printer.
class SystemPacer final : public Pacer {
public:
    void Pause(std::uint32_t ms) override;
};

// Records every pause and returns at once.
class VirtualPacer final : public Pacer {
public:
    void Pause(std::uint32_t ms) override { pauses_.push_back(ms); }
    const std::vector<std::uint32_t>& Pauses() const { return pauses_; }
    std::uint64_t Total() const;
    void Clear() { pauses_.clear(); }

private:
    std::vector<std::uint32_t> pauses_;
};

}  // namespace zorvik
