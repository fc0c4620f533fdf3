#include "cli/Fleet.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <thread>

#include "cli/FleetBoard.h"
#include "cli/ProgressBar.h"

namespace zorvik {

bool Fleet::RunOne(const Target& target, const PrinterAction& action)
{
    PrinterSession printer(target, env_, console_, trace_, "");
    ProgressBar bar(console_);
    printer.SetProgressSink([&bar](const std::string& phase, int percent) {
        // Only the long font download gets a bar when there is one printer.
        if (phase == "font download")
            bar.Show(phase, percent);
    });
    // One printer: its output goes out as it comes (a change list before a long write).
    bool ok = printer.Connect();
    if (ok)
        ok = action(printer, console_.SingleThreadOut());
    console_.SingleThreadOut().flush();
    bar.Finish();
    outcomes_.push_back({target.text, ok, ok ? "" : printer.Failure(), "", ""});
    return ok;
}

bool Fleet::Run(const std::vector<Target>& targets, const PrinterAction& action)
{
    outcomes_.clear();
    if (targets.size() == 1)
        return RunOne(targets.front(), action);

    std::vector<std::string> names;
    for (const auto& t : targets)
        names.push_back(t.text);
    // Trace lines would tear a board that redraws itself.
    FleetBoard board(console_, names, console_.ErrIsTerminal() && !trace_);
    outcomes_.resize(targets.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        threads.emplace_back([&, i] {
            FleetOutcome& outcome = outcomes_[i];
            outcome.target = targets[i].text;
            PrinterSession printer(targets[i], env_, console_, trace_, targets[i].text, &outcome.messages);
            printer.SetProgressSink(
                [&board, i](const std::string& phase, int percent) { board.Update(i, phase, percent); });
            std::ostringstream out;
            bool ok = printer.Connect();
            if (ok)
                ok = action(printer, out);
            outcome.ok = ok;
            outcome.detail = ok ? "" : printer.Failure();
            outcome.output = out.str();
            board.Update(i, ok ? "done" : "FAILED", -1);
        });
    }
    for (auto& t : threads)
        t.join();

    for (const auto& outcome : outcomes_) {
        console_.Err(outcome.messages);
        if (!outcome.output.empty())
            console_.Out("== " + outcome.target + " ==\n" + outcome.output);
    }
    console_.Err(Table(outcomes_));
    return std::all_of(outcomes_.begin(), outcomes_.end(), [](const FleetOutcome& o) { return o.ok; });
}

std::string Fleet::Table(const std::vector<FleetOutcome>& outcomes)
{
    std::size_t width = 7;
    for (const auto& o : outcomes)
        width = std::max(width, o.target.size());
    auto row = [width](const std::string& a, const std::string& b, const std::string& c) {
        std::string line = a;
        line.append(width - a.size() + 2, ' ');
        line += b;
        line.append(b.size() < 8 ? 8 - b.size() : 1, ' ');
        return line + c + "\n";
    };
    std::string text = "\n" + row("PRINTER", "RESULT", "DETAIL");
    std::size_t good = 0;
    for (const auto& o : outcomes) {
        text += row(o.target, o.ok ? "ok" : "FAILED", o.detail);
        good += o.ok ? 1 : 0;
    }
    text += std::to_string(good) + " of " + std::to_string(outcomes.size()) + " printers succeeded\n";
    return text;
}

}  // namespace zorvik
