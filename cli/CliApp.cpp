#include "cli/CliApp.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "cli/CheckCommand.h"

namespace zorvik {

int RunCli(const std::vector<std::string>& args, CliEnvironment& env)
{
    CLI::App app{"Configures the KARVO LXT-640IV receipt printer", "zorvik-cli"};
    app.require_subcommand(1, 1);
    std::vector<std::unique_ptr<CliCommand>> commands;
    commands.push_back(std::make_unique<CheckCommand>());
    for (auto& command : commands)
        command->Register(app);

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    if (!reversed.empty())
        reversed.pop_back();  // the program name
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        env.out << app.help();
        return kExitSuccess;
    } catch (const CLI::ParseError& e) {
        env.err << "zorvik-cli: " << e.what() << "\n";
        const CLI::App* chosen = app.get_subcommands().empty() ? &app : app.get_subcommands().front();
        env.err << chosen->help();
        return kExitUsage;
    }
    for (auto& command : commands)
        if (command->Chosen())
            return command->Run(env);
    env.err << app.help();
    return kExitUsage;
}

}  // namespace zorvik
