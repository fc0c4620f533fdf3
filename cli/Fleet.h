#pragma once
// Runs one printer action on every target. A single printer runs on this thread
// with its output as it comes. Several run on at most `jobs` threads at once, with
// progress on standard error; each printer's output becomes one line on standard
// output ("<printer>  <output on one line>"), or one element of a JSON array, in
// the order the printers were named, followed by a closing table of outcomes on
// standard error. One failing printer does not stop the others, and whatever a
// printer's action throws is that printer's failure.
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

// How a fleet prints its printers' output: a line each, or one JSON array whose
// elements are the JSON texts the actions wrote (a failed printer's element gets
// "printer" and "error", and "stage" when it failed before its action). A single
// printer prints its action's JSON as it is, or that element when it never ran.
enum class FleetOutput { Lines, JsonArray };

struct FleetOutcome {
    std::string target;
    bool ok = false;
    std::string detail;
    std::string output;        // for standard output, until it is printed
    std::string messages;      // for standard error, until they are printed
    std::string health;        // the health word, in a fleet that reports health
    std::string connectStage;  // set when the printer failed before its action: connect or identify
};

class Fleet {
public:
    static constexpr int kDefaultJobs = 8;
    static constexpr int kMaxJobs = 64;

    Fleet(const CliEnv& env, Console& console, bool trace, int jobs = kDefaultJobs,
          FleetOutput output = FleetOutput::Lines)
        : env_(env), console_(console), trace_(trace), jobs_(jobs), output_(output)
    {
    }

    // Connects to each target (Check Communication) and runs the action; true when
    // every printer succeeded.
    bool Run(const std::vector<Target>& targets, const PrinterAction& action);
    // Every printer gets a health word (the session's, "unknown" when it was not
    // asked), a HEALTH column in the table and a "health" in its JSON element.
    void ReportHealth() { health_ = true; }
    const std::vector<FleetOutcome>& Outcomes() const { return outcomes_; }

    // "target  ok|FAILED  detail" rows under a heading; with health words, "target
    // ok|FAILED  health  detail".
    static std::string Table(const std::vector<FleetOutcome>& outcomes);
    // One printer's output on standard output in a fleet: "<target>  <output on one
    // line>" with the target padded to width; empty when there was no output.
    static std::string Line(const FleetOutcome& outcome, std::size_t width);
    // A JSON array element for one printer (see FleetOutput).
    static std::string JsonElement(const FleetOutcome& outcome);

private:
    bool RunOne(const Target& target, const PrinterAction& action);
    bool RunSeveral(const std::vector<Target>& targets, const PrinterAction& action);
    const CliEnv& env_;
    Console& console_;
    bool trace_;
    int jobs_;
    FleetOutput output_;
    bool health_ = false;
    std::vector<FleetOutcome> outcomes_;
};

}  // namespace zorvik
