#pragma once
// Queue release and restore over a print spooler: before a check, every local
// printer queue whose port text contains the port's name is switched to "FILE:" so
// that it lets go of the port; RestoreAll gives each its recorded port text back.
// The spooler itself sits behind SpoolerCalls (Windows fills it in), so the rules
// are tested with a fake spooler.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/ConnectionCheck.h"

namespace zorvik {

struct SpoolerQueue {
    std::string name;
    std::string port;  // "COM1:", "LPT1:", "COM1:,LPT1:", "FILE:", ...
};

class SpoolerCalls {
public:
    virtual ~SpoolerCalls() = default;
    // The local queues with their port texts, in the spooler's order.
    virtual std::vector<SpoolerQueue> ListQueues() = 0;
    enum class SetResult {
        Changed,
        NotOpened,   // the queue could not be opened with full access: skipped
        ReadFailed,  // its settings could not be read: stop changing queues
        WriteFailed,
    };
    // Opens the queue, reads its settings, replaces its port text and writes them back.
    virtual SetResult SetPort(const std::string& queue, const std::string& port) = 0;
};

class SpoolerQueueRedirector final : public QueueRedirector {
public:
    explicit SpoolerQueueRedirector(SpoolerCalls& spooler) : spooler_(spooler) {}
    ~SpoolerQueueRedirector() override;

    void Release(const std::string& portName) override;
    void RestoreAll() override;

    // Queue name to the port text it had before the first release that took it.
    const std::map<std::string, std::string>& Redirected() const { return redirected_; }

private:
    SpoolerCalls& spooler_;
    std::map<std::string, std::string> redirected_;
};

}  // namespace zorvik
