#include "cli/CliCommand.h"
#include "cli/PrinterStatus.h"
#include "cli/StatusReport.h"
#include "resources/CliTexts.h"
#include "resources/CommonTexts.h"
#include "settings/FullStatusFile.h"

namespace zorvik {

namespace {

// With several printers every one gets its own file: NAME-<printer>.sts.
std::string SavePathFor(const std::string& save, const std::string& target, bool several)
{
    if (!several)
        return save;
    const auto dot = save.rfind('.');
    const std::string stem = dot == std::string::npos ? save : save.substr(0, dot);
    const std::string ext = dot == std::string::npos ? "" : save.substr(dot);
    return stem + "-" + FileSafeName(target) + ext;
}

class GetCommand final : public CliCommand {
public:
    CLI::App* Add(CLI::App& app) override
    {
        auto* command = app.add_subcommand(
            "get", "Get Status: the eight memory switches pin by pin, the customer settings, power save, "
                   "model, firmware and language; with several printers one line each (--json: one array)");
        args_.AddTo(command);
        command->add_flag("--json", json_, "Print JSON instead of a table");
        command->add_option("--save", save_,
                            "Keep the settings in a status file (*.sts); with several printers the printer's "
                            "name is added before the extension");
        return command;
    }

    int Run(CliContext& context) override
    {
        if (!save_.empty() && !StatusFile::HasStatusExtension(save_))
            throw UsageError{"--save " + save_ + ": a status file name ends in \"sts\""};
        const bool several = args_.Targets(context).size() > 1;
        return args_.Run(
            context,
            [this, several](PrinterSession& printer, std::ostream& out) {
                PrinterStatus status(printer);
                if (!status.Read()) {
                    printer.SetFailure(kMsgReadFailed);
                    return false;
                }
                const PrinterFacts facts = status.Facts();
                if (json_) {
                    auto json = StatusJson(status.Record(), &facts);
                    json["printer"] = printer.GetTarget().text;
                    out << JsonText(json) << "\n";
                } else if (several) {
                    out << StatusLine(status.Record(), facts);
                } else {
                    out << StatusTable(status.Record(), &facts);
                }
                if (!save_.empty()) {
                    const std::string path = SavePathFor(save_, printer.GetTarget().text, several);
                    const auto result = FullStatusFile::Save(path, status.Record());
                    if (result != StatusFile::Result::Ok) {
                        printer.SetFailure(StatusFile::Message(result, path));
                        printer.GetNotifier().Show(printer.Failure(), kTitleWarning,
                                                   MessageIcon::Exclamation);
                        return false;
                    }
                }
                return true;
            },
            json_ ? FleetOutput::JsonArray : FleetOutput::Lines);
    }

private:
    PrinterArgs args_;
    bool json_ = false;
    std::string save_;
};

}  // namespace

std::unique_ptr<CliCommand> MakeGetCommand()
{
    return std::make_unique<GetCommand>();
}

}  // namespace zorvik
