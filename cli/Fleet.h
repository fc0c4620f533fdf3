#pragma once
// Runs one printer action on every target: a single printer on this thread with its
// output as it comes, several at once on a thread each, with a line of progress per
// printer, the output of each printer after the run and a closing table of outcomes.
// One failing printer does not stop the others.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/CliEnv.h"
#include "cli/Console.h"
#include "cli/PrinterSession.h"
#include "cli/Target.h"

namespace zorvik {

// The action on a connected printer; output for standard output goes to out.
using PrinterAction = std::function<bool(PrinterSession& printer, std::ostream& out)>;

struct FleetOutcome {
    std::string target;
    bool ok = false;
    std::string detail;
    std::string output;    // for standard output
    std::string messages;  // for standard error
};

class Fleet {
public:
    Fleet(const CliEnv& env, Console& console, bool trace) : env_(env), console_(console), trace_(trace) {}

    // Connects to each target (Check Communication) and runs the action; true when
    // every printer succeeded.
    bool Run(const std::vector<Target>& targets, const PrinterAction& action);
    const std::vector<FleetOutcome>& Outcomes() const { return outcomes_; }

    // "target  ok|FAILED  detail" rows under a heading.
    static std::string Table(const std::vector<FleetOutcome>& outcomes);

private:
    bool RunOne(const Target& target, const PrinterAction& action);
    const CliEnv& env_;
    Console& console_;
    bool trace_;
    std::vector<FleetOutcome> outcomes_;
};

}  // namespace zorvik
