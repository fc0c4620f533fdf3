#include "cli/CheckCommand.h"

#include <CLI/CLI.hpp>

#include "app/ConnectionCheck.h"
#include "cli/ConsoleNotifier.h"
#include "link/SystemPortFactory.h"

namespace zorvik {

void CheckCommand::Register(CLI::App& app)
{
    command_ = app.add_subcommand("check", "open the port and identify the printer (Check Communication)");
    port_.AddTo(*command_);
}

bool CheckCommand::Chosen() const
{
    return command_ && command_->parsed();
}

int CheckCommand::Run(CliEnvironment& env)
{
    ConsoleNotifier notifier(env.out, env.err);
    PrinterLink link(MakeSystemPortFactory(env.pacer, notifier));
    ConnectionCheck check(link, env.pacer, notifier);
    const bool connected = check.Run(port_.Interface(), port_.Settings());
    check.Drop();
    return connected ? kExitSuccess : kExitFailure;
}

}  // namespace zorvik
