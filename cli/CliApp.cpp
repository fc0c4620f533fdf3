#include "cli/CliApp.h"

#include <algorithm>

#include "cli/CliCommand.h"
#include "resources/CliTexts.h"
#include "resources/Version.h"

namespace zorvik {

namespace {

// The deepest subcommand the user named, for its usage text.
const CLI::App* Chosen(const CLI::App& app)
{
    for (const CLI::App* sub : app.get_subcommands())
        return Chosen(*sub);
    return &app;
}

}  // namespace

std::vector<std::unique_ptr<CliCommand>> MakeCliCommands()
{
    std::vector<std::unique_ptr<CliCommand>> commands;
    commands.push_back(MakePortsCommand());
    commands.push_back(MakeCheckCommand());
    commands.push_back(MakeGetCommand());
    commands.push_back(MakeSetCommand());
    commands.push_back(MakeStsCommand());
    commands.push_back(MakeSendCommand());
    commands.push_back(MakeSelfTestCommand());
    commands.push_back(MakePrintStatusCommand());
    commands.push_back(MakePrintCodepageCommand());
    commands.push_back(MakeHealthCommand());
    commands.push_back(MakeCompletionCommand());
    return commands;
}

int RunCli(const std::vector<std::string>& args, const CliEnv& env, std::ostream& out, std::ostream& err)
{
    CLI::App app(kCliDescription, kCliName);
    app.set_version_flag("--version", std::string(kCliName) + " " + ZORVIK_VERSION);
    app.require_subcommand(1);
    std::string queue;
    const CLI::Option* queueOption = app.add_option("--queue", queue, kCliQueueOption);

    std::vector<std::unique_ptr<CliCommand>> commands = MakeCliCommands();
    std::vector<CLI::App*> apps;
    for (auto& command : commands)
        apps.push_back(command->Add(app));

    // CLI11 would only say that a subcommand is required.
    if (!args.empty() && !args.front().empty() && args.front()[0] != '-' &&
        std::none_of(apps.begin(), apps.end(),
                     [&](const CLI::App* a) { return a->get_name() == args.front(); })) {
        err << kCliName << ": unknown subcommand \"" << args.front() << "\"\n\n" << app.help();
        return kExitUsage;
    }

    std::vector<std::string> argvText{kCliName};
    argvText.insert(argvText.end(), args.begin(), args.end());
    std::vector<const char*> argv;
    for (const auto& a : argvText)
        argv.push_back(a.c_str());

    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::CallForHelp&) {
        out << Chosen(app)->help();
        return kExitOk;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return kExitOk;
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << "\n";
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        err << kCliName << ": " << e.what() << "\n\n" << Chosen(app)->help();
        return kExitUsage;
    }

    Console console(out, err, env.errIsTerminal);
    CliContext context{env, console, std::nullopt};
    if (queueOption->count() > 0)
        context.queue = queue;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (!apps[i]->parsed())
            continue;
        try {
            return commands[i]->Run(context);
        } catch (const UsageError& e) {
            err << kCliName << ": " << e.text << "\n\n" << Chosen(app)->help();
            return kExitUsage;
        }
    }
    return kExitUsage;
}

}  // namespace zorvik
