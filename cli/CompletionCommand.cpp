#include "cli/BashCompletion.h"
#include "cli/CliCommand.h"
#include "resources/CliTexts.h"

namespace zorvik {

namespace {

// Hidden from the help: packagers run it once at build time; a user may source it.
class CompletionCommand final : public CliCommand {
public:
    CLI::App* Add(CLI::App& app) override
    {
        root_ = &app;
        auto* command = app.add_subcommand("completion", "Print the shell completion script");
        command->group("");
        command->add_option("shell", shell_, "Shell to complete for")
            ->required()
            ->check(CLI::IsMember({"bash"}));
        return command;
    }
    int Run(CliContext& context) override
    {
        context.console.Out(BashCompletion::Script(*root_, kCliName));
        return kExitOk;
    }

private:
    CLI::App* root_ = nullptr;
    std::string shell_;
};

}  // namespace

std::unique_ptr<CliCommand> MakeCompletionCommand()
{
    return std::make_unique<CompletionCommand>();
}

}  // namespace zorvik
