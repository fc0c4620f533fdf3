// The three printing actions: the self test, the status page and the code-page table.
#include "cli/CliCommand.h"
#include "cli/PrinterStatus.h"
#include "resources/CheckTexts.h"
#include "resources/MainTexts.h"

namespace zorvik {

namespace {

class PrintCommand final : public CliCommand {
public:
    PrintCommand(const char* name, const char* help, PrinterAction action)
        : name_(name), help_(help), action_(std::move(action))
    {
    }
    CLI::App* Add(CLI::App& app) override
    {
        auto* command = app.add_subcommand(name_, help_);
        args_.AddTo(command);
        return command;
    }
    int Run(CliContext& context) override { return args_.Run(context, action_); }

private:
    const char* name_;
    const char* help_;
    PrinterAction action_;
    PrinterArgs args_;
};

}  // namespace

std::unique_ptr<CliCommand> MakeSelfTestCommand()
{
    return std::make_unique<PrintCommand>(
        "selftest", "Print the printer's self test (and wait the 4.3 s the printer needs)",
        [](PrinterSession& printer, std::ostream&) {
            printer.Progress("self test");
            const int written = printer.Link().Write(kCmdSelfTest, sizeof kCmdSelfTest);
            printer.GetPacer().Pause(kSelfTestWaitMs);
            if (written != static_cast<int>(sizeof kCmdSelfTest)) {
                printer.SetFailure("the self-test command was not sent");
                return false;
            }
            return true;
        });
}

std::unique_ptr<CliCommand> MakePrintStatusCommand()
{
    return std::make_unique<PrintCommand>("print-status", "Print the printer's status page",
                                          [](PrinterSession& printer, std::ostream&) {
                                              PrinterStatus status(printer);
                                              return status.PrintStatusPage();
                                          });
}

std::unique_ptr<CliCommand> MakePrintCodepageCommand()
{
    return std::make_unique<PrintCommand>("print-codepage", "Print the printer's code-page table",
                                          [](PrinterSession& printer, std::ostream&) {
                                              PrinterStatus status(printer);
                                              return status.PrintCodepage();
                                          });
}

}  // namespace zorvik
