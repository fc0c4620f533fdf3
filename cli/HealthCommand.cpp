#include <atomic>
#include <chrono>

#include "cli/CliCommand.h"
#include "cli/HealthReport.h"
#include "cli/StatusReport.h"
#include "resources/CliTexts.h"
#include "resources/HealthTexts.h"
#include "settings/PrinterExchange.h"

namespace zorvik {

namespace {

constexpr int kMaxWatchSeconds = 86400;

class HealthCommand final : public CliCommand {
public:
    CLI::App* Add(CLI::App& app) override
    {
        auto* command = app.add_subcommand(
            "health", "The printer's real-time state: paper, cover and errors; exit status 0 ready, 3 needs "
                      "attention, 1 not asked; with several printers one line each and a HEALTH column");
        args_.AddTo(command);
        command->add_flag("--json", json_, "Print JSON instead of words");
        command
            ->add_option("--watch", watchSeconds_,
                         "Ask again every SECONDS and print each change with a time stamp (one printer)")
            ->check(CLI::Range(1, kMaxWatchSeconds));
        // How many times a watch asks; 0 without end. For tests and scripts.
        command->add_option("--watch-count", watchCount_)->check(CLI::NonNegativeNumber)->group("");
        return command;
    }

    int Run(CliContext& context) override
    {
        const auto targets = args_.Targets(context);
        if (watchSeconds_ > 0 && targets.size() > 1)
            throw UsageError{kMsgWatchOnePrinter};
        const bool several = targets.size() > 1;
        std::atomic<int> attention{0};
        std::atomic<bool> asked{false};
        Fleet fleet(context.env, context.console, args_.trace, args_.jobs,
                    json_ ? FleetOutput::JsonArray : FleetOutput::Lines);
        fleet.ReportHealth();
        const bool ok = fleet.Run(targets, [&](PrinterSession& printer, std::ostream& out) {
            asked = true;
            PrinterExchange exchange(printer.Link(), printer.Type(), printer.GetPacer());
            PrinterHealth health;
            const ExchangeStatus status = exchange.ReadHealth(health);
            if (watchSeconds_ > 0)
                health = Watch(exchange, printer, health, status, out);
            else
                Print(health, printer.GetTarget().text, several, out);
            printer.SetHealthWord(PrinterHealth::Text(health.Word()));
            if (!health.Known()) {
                printer.SetFailure(kMsgHealthNotRead);
                return false;
            }
            if (health.NeedsAttention())
                ++attention;
            return true;
        });
        // A single printer that could not be reached still says what is known of it.
        if (!several && !asked)
            Print(PrinterHealth(), targets.front().text, false, context.console.SingleThreadOut(),
                  &fleet.Outcomes().front());
        if (!ok)
            return kExitFailed;
        return attention > 0 ? kExitNeedsAttention : kExitOk;
    }

private:
    // unreached: the outcome of a printer that failed before it was asked.
    void Print(const PrinterHealth& health, const std::string& target, bool several, std::ostream& out,
               const FleetOutcome* unreached = nullptr) const
    {
        if (json_) {
            auto json = HealthJson(health);
            json["printer"] = target;
            if (unreached) {
                json["error"] = unreached->detail;
                if (!unreached->connectStage.empty())
                    json["stage"] = unreached->connectStage;
            }
            out << JsonText(json) << "\n";
        } else if (several) {
            out << health.Summary() << "\n";
        } else {
            out << HealthTable(health);
        }
    }

    void PrintChange(const PrinterHealth& health, std::ostream& out) const
    {
        const auto now = std::chrono::system_clock::now();
        if (json_) {
            auto json = HealthJson(health);
            json["time"] = HealthStamp(now);
            out << json.dump() << "\n";
        } else {
            out << HealthWatchLine(now, health);
        }
        out.flush();
    }

    // Prints the first state and every change until the count runs out or the
    // connection is lost; the last state.
    PrinterHealth Watch(PrinterExchange& exchange, PrinterSession& printer, PrinterHealth last,
                        ExchangeStatus status, std::ostream& out) const
    {
        PrintChange(last, out);
        for (int asked = 1;
             status != ExchangeStatus::Disconnected && (watchCount_ == 0 || asked < watchCount_); ++asked) {
            printer.GetPacer().Pause(static_cast<std::uint32_t>(watchSeconds_) * 1000u);
            PrinterHealth next;
            status = exchange.ReadHealth(next);
            if (next != last)
                PrintChange(next, out);
            last = next;
        }
        return last;
    }

    PrinterArgs args_;
    bool json_ = false;
    int watchSeconds_ = 0;
    int watchCount_ = 0;
};

}  // namespace

std::unique_ptr<CliCommand> MakeHealthCommand()
{
    return std::make_unique<HealthCommand>();
}

}  // namespace zorvik
