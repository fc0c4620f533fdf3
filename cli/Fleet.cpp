#include "cli/Fleet.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <sstream>
#include <system_error>
#include <thread>

#include "cli/FleetBoard.h"
#include "cli/PrintingNotifier.h"
#include "cli/ProgressBar.h"
#include "cli/StatusReport.h"
#include "resources/CliTexts.h"
#include "settings/PrinterHealth.h"

namespace zorvik {

namespace {

// The text of the exception being handled.
std::string CurrentExceptionText()
{
    try {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return kMsgUnknownException;
    }
}

// One printer's whole turn: connect, run the action, note the outcome. Nothing it
// throws leaves it; that becomes the printer's failure. prefix and messages as for
// PrinterSession.
// With health, the outcome gets the session's health word, "unknown" when the
// printer was never asked.
bool Serve(const Target& target, const CliEnv& env, Console& console, bool trace, const std::string& prefix,
           std::string* messages, const ProgressSink& sink, const PrinterAction& action, std::ostream& out,
           FleetOutcome& outcome, bool health)
{
    outcome.target = target.text;
    if (health)
        outcome.health = PrinterHealth::Text(HealthWord::Unknown);
    try {
        PrinterSession printer(target, env, console, trace, prefix, messages);
        printer.SetProgressSink(sink);
        bool ok = printer.Connect();
        if (ok)
            ok = action(printer, out);
        else
            outcome.connectStage = printer.ConnectStage();
        outcome.ok = ok;
        outcome.detail = ok ? "" : printer.Failure();
        if (health && !printer.HealthWord().empty())
            outcome.health = printer.HealthWord();
    } catch (...) {
        outcome.ok = false;
        outcome.detail = kMsgActionStopped + PrintingNotifier::OneLine(CurrentExceptionText());
        const std::string line = (prefix.empty() ? "" : prefix + ": ") + outcome.detail + "\n";
        if (messages)
            messages->append(line);
        else
            console.Err(line);
    }
    return outcome.ok;
}

}  // namespace

bool Fleet::RunOne(const Target& target, const PrinterAction& action)
{
    outcomes_.resize(1);
    ProgressBar bar(console_);
    // One printer: its output goes out as it comes (a change list before a long write),
    // and only the long transfers get a bar.
    const bool ok = Serve(
        target, env_, console_, trace_, "", nullptr,
        [&bar](const std::string& phase, int percent) {
            if (phase == kPhaseFontDownload || phase == kPhaseSending)
                bar.Show(phase, percent);
        },
        action, console_.SingleThreadOut(), outcomes_.front(), health_);
    // A health fleet's action prints what is known even of a printer never reached.
    if (output_ == FleetOutput::JsonArray && !health_ && !outcomes_.front().connectStage.empty())
        console_.SingleThreadOut() << JsonElement(outcomes_.front()) << "\n";
    console_.SingleThreadOut().flush();
    bar.Finish();
    return ok;
}

bool Fleet::RunSeveral(const std::vector<Target>& targets, const PrinterAction& action)
{
    const std::size_t count = targets.size();
    outcomes_.assign(count, FleetOutcome{});
    std::vector<std::string> names;
    std::size_t width = 0;
    for (const auto& t : targets) {
        names.push_back(t.text);
        width = std::max(width, t.text.size());
    }
    // Trace lines would tear a board that redraws itself, and a board taller than
    // the screen cannot be redrawn.
    FleetBoard board(console_, names,
                     console_.ErrIsTerminal() && !trace_ && count <= FleetBoard::kMaxRedrawnRows);

    // Each printer's output leaves in the order named, as soon as the printers
    // before it are done, so a long list never waits in memory.
    std::mutex mutex;
    std::vector<char> done(count, 0);
    std::size_t printed = 0;
    const bool json = output_ == FleetOutput::JsonArray;
    auto printReady = [&] {
        for (; printed < count && done[printed]; ++printed) {
            FleetOutcome& o = outcomes_[printed];
            console_.Err(o.messages);
            if (json)
                console_.Out((printed == 0 ? "[\n" : ",\n") + JsonElement(o));
            else if (const std::string line = Line(o, width); !line.empty())
                console_.Out(line);
            o.messages = std::string();
            o.output = std::string();
        }
    };

    std::atomic<std::size_t> claimed{0};
    auto worker = [&] {
        for (std::size_t i = claimed++; i < count; i = claimed++) {
            std::ostringstream out;
            FleetOutcome& outcome = outcomes_[i];
            const bool ok = Serve(
                targets[i], env_, console_, trace_, targets[i].text, &outcome.messages,
                [&board, i](const std::string& phase, int percent) { board.Update(i, phase, percent); },
                action, out, outcome, health_);
            outcome.output = out.str();
            board.Update(i, ok ? "done" : "FAILED", -1);
            std::lock_guard<std::mutex> lock(mutex);
            done[i] = 1;
            printReady();
        }
    };
    // A system that grants fewer threads than asked still gets every printer served.
    std::vector<std::thread> threads;
    const auto wanted = std::min<std::size_t>(count, static_cast<std::size_t>(std::max(jobs_, 1)));
    for (std::size_t t = 0; t < wanted; ++t) {
        try {
            threads.emplace_back(worker);
        } catch (const std::system_error&) {
            break;
        }
    }
    if (threads.empty())
        worker();
    for (auto& t : threads)
        t.join();

    if (json)
        console_.Out("\n]\n");
    console_.Err(Table(outcomes_));
    return std::all_of(outcomes_.begin(), outcomes_.end(), [](const FleetOutcome& o) { return o.ok; });
}

bool Fleet::Run(const std::vector<Target>& targets, const PrinterAction& action)
{
    outcomes_.clear();
    if (targets.size() == 1)
        return RunOne(targets.front(), action);
    return RunSeveral(targets, action);
}

std::string Fleet::Line(const FleetOutcome& outcome, std::size_t width)
{
    const std::string text = PrintingNotifier::OneLine(outcome.output);
    if (text.empty())
        return {};
    std::string line = outcome.target;
    line.append(width > line.size() ? width - line.size() : 0, ' ');
    return line + "  " + text + "\n";
}

std::string Fleet::JsonElement(const FleetOutcome& outcome)
{
    const auto end = outcome.output.find_last_not_of(" \n");
    if (outcome.ok && end != std::string::npos)
        return outcome.output.substr(0, end + 1);
    // A failed printer keeps what its action wrote (an object), with the reason added.
    nlohmann::json element = nlohmann::json::parse(outcome.output, nullptr, false);
    if (!element.is_object())
        element = nlohmann::json::object();
    element["printer"] = outcome.target;
    if (!outcome.health.empty() && !element.contains("health"))
        element["health"] = outcome.health;
    if (!outcome.ok && !element.contains("error"))
        element["error"] = outcome.detail;
    if (!outcome.connectStage.empty())
        element["stage"] = outcome.connectStage;
    return JsonText(element);
}

std::string Fleet::Table(const std::vector<FleetOutcome>& outcomes)
{
    std::size_t width = 7;
    std::size_t healthWidth = 0;  // none: no health column
    for (const auto& o : outcomes) {
        width = std::max(width, o.target.size());
        if (!o.health.empty())
            healthWidth = std::max({healthWidth, o.health.size(), std::size_t{6}});
    }
    auto row = [width, healthWidth](const std::string& a, const std::string& b, const std::string& health,
                                    const std::string& c) {
        std::string line = a;
        line.append(width - a.size() + 2, ' ');
        line += b;
        line.append(b.size() < 8 ? 8 - b.size() : 1, ' ');
        if (healthWidth > 0) {
            line += health;
            line.append(healthWidth - health.size() + 2, ' ');
        }
        return line + c + "\n";
    };
    std::string text = "\n" + row("PRINTER", "RESULT", "HEALTH", "DETAIL");
    std::size_t good = 0;
    for (const auto& o : outcomes) {
        text += row(o.target, o.ok ? "ok" : "FAILED", o.health, o.detail);
        good += o.ok ? 1 : 0;
    }
    text += std::to_string(good) + " of " + std::to_string(outcomes.size()) + " printers succeeded\n";
    return text;
}

}  // namespace zorvik
