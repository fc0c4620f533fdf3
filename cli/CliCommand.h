#pragma once
// One subcommand of zorvik-cli: it adds itself (options and help) to the parser and
// runs when it was chosen. Printer subcommands share the target options and run
// their action on every printer named.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/CliEnv.h"
#include "cli/Console.h"
#include "cli/Fleet.h"
#include "cli/Target.h"

namespace zorvik {

struct CliContext {
    const CliEnv& env;
    Console& console;
    // The printer queue --queue named, whose port serves when no printer is named otherwise.
    std::optional<std::string> queue;
};

// A usage error found after parsing (for example a target that names no printer).
struct UsageError {
    std::string text;
};

class CliCommand {
public:
    virtual ~CliCommand() = default;
    virtual CLI::App* Add(CLI::App& app) = 0;
    // An exit status; throws UsageError for bad arguments.
    virtual int Run(CliContext& context) = 0;
};

// The options every printer subcommand takes: --port (repeatable), --targets FILE,
// --jobs, the serial line settings, --tcp-port and --trace.
struct PrinterArgs {
    std::vector<std::string> ports;
    std::string targetsFile;
    LineOptions line;
    std::string parity = "none";
    std::string stopBits = "1";
    std::string flow = "none";
    bool trace = false;
    int jobs = Fleet::kDefaultJobs;
    std::vector<CLI::Option*> lineOptions;  // the serial line settings, to see whether any was given

    void AddTo(CLI::App* command);
    // The targets named, each printer once, or else the port of the queue the context
    // names; throws UsageError.
    std::vector<Target> Targets(const CliContext& context) const;
    // The port of the queue the context names, with the line options given winning.
    Target QueueTarget(const CliContext& context, const LineOptions& given) const;
    // Runs the action on every target; the exit status.
    int Run(CliContext& context, const PrinterAction& action, FleetOutput output = FleetOutput::Lines) const;
};

std::unique_ptr<CliCommand> MakePortsCommand();
std::unique_ptr<CliCommand> MakeCheckCommand();
std::unique_ptr<CliCommand> MakeGetCommand();
std::unique_ptr<CliCommand> MakeSetCommand();
std::unique_ptr<CliCommand> MakeStsCommand();
std::unique_ptr<CliCommand> MakeSendCommand();
std::unique_ptr<CliCommand> MakeSelfTestCommand();
std::unique_ptr<CliCommand> MakePrintStatusCommand();
std::unique_ptr<CliCommand> MakePrintCodepageCommand();
std::unique_ptr<CliCommand> MakeHealthCommand();
// "completion bash": the shell completion script, from the parser this command is added to.
std::unique_ptr<CliCommand> MakeCompletionCommand();

// Every subcommand of zorvik-cli, in the order of its help.
std::vector<std::unique_ptr<CliCommand>> MakeCliCommands();

}  // namespace zorvik
