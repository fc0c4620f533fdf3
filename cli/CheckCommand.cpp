#include "cli/CliCommand.h"

namespace zorvik {

namespace {

class CheckCommand final : public CliCommand {
public:
    CLI::App* Add(CLI::App& app) override
    {
        auto* command =
            app.add_subcommand("check", "Check Communication: open the port and identify the printer");
        args_.AddTo(command);
        return command;
    }
    int Run(CliContext& context) override
    {
        // Connecting is the whole check; the message says how it went.
        return args_.Run(context, [](PrinterSession&, std::ostream&) { return true; });
    }

private:
    PrinterArgs args_;
};

}  // namespace

std::unique_ptr<CliCommand> MakeCheckCommand()
{
    return std::make_unique<CheckCommand>();
}

}  // namespace zorvik
