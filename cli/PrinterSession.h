#pragma once
// One printer of a run: its own pacer, printing notifier and link, the connection
// check, the optional trace, and where its progress goes. A fleet makes one per
// thread; nothing in it is shared.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/ConnectionCheck.h"
#include "cli/CliEnv.h"
#include "cli/Console.h"
#include "cli/PrintingNotifier.h"
#include "cli/Target.h"
#include "cli/TraceWriter.h"

namespace zorvik {

// A phase name and a position 0..100 (-1: none).
using ProgressSink = std::function<void(const std::string& phase, int percent)>;

class PrinterSession {
public:
    // prefix names the printer in messages; empty for a single printer. With
    // messages given, the printer's messages are kept there instead of printed.
    PrinterSession(const Target& target, const CliEnv& env, Console& console, bool trace, std::string prefix,
                   std::string* messages = nullptr);
    ~PrinterSession();

    // Check Communication; true when the printer was identified.
    bool Connect();
    // After a failed Connect: the step that failed, "connect" or "identify".
    const char* ConnectStage() const;

    const Target& GetTarget() const { return target_; }
    InterfaceType Type() const { return target_.type; }
    PrinterLink& Link() { return *link_; }
    Pacer& GetPacer() { return *pacer_; }
    PrintingNotifier& GetNotifier() { return notifier_; }
    Console& GetConsole() { return console_; }
    const CliEnv& Env() const { return env_; }

    void SetProgressSink(ProgressSink sink) { progress_ = std::move(sink); }
    bool HasProgressSink() const { return static_cast<bool>(progress_); }

    // Why the action failed, for the closing table; the last warning when not set.
    void SetFailure(std::string reason) { failure_ = std::move(reason); }
    std::string Failure() const;
    void Progress(const std::string& phase, int percent = -1);
    // The one health word for the closing table; empty until the health was asked.
    void SetHealthWord(std::string word) { healthWord_ = std::move(word); }
    const std::string& HealthWord() const { return healthWord_; }

private:
    Target target_;
    const CliEnv& env_;
    Console& console_;
    std::unique_ptr<Pacer> pacer_;
    PrintingNotifier notifier_;
    std::unique_ptr<PrinterLink> link_;
    std::unique_ptr<TraceWriter> trace_;
    std::unique_ptr<QueueRedirector> queues_;  // the system's printer queues; none in tests
    ConnectionCheck check_;
    ProgressSink progress_;
    std::string failure_;
    std::string healthWord_;
};

}  // namespace zorvik
