#include "cli/CliCommand.h"
#include "cli/StatusReport.h"
#include "resources/CliTexts.h"
#include "settings/FullStatusFile.h"

namespace zorvik {

namespace {

SettingsRecord LoadOrThrow(const std::string& path)
{
    if (const std::string refusal = FullStatusFile::Refusal(path); !refusal.empty())
        throw UsageError{refusal};
    SettingsRecord record;
    std::string reason;
    const auto result = FullStatusFile::Load(path, record, &reason);
    if (result != StatusFile::Result::Ok)
        throw UsageError{StatusFile::Message(result, path, reason)};
    return record;
}

class StsCommand final : public CliCommand {
public:
    CLI::App* Add(CLI::App& app) override
    {
        auto* command = app.add_subcommand("sts", "A status file (or two) in words, without a printer");
        command->require_subcommand(1);
        show_ = command->add_subcommand("show", "The switches and settings of a status file as a table");
        show_->add_option("file", files_[0], "Status file (*.sts)")->required();
        json_ = command->add_subcommand("json", "The switches and settings of a status file as JSON");
        json_->add_option("file", files_[0], "Status file (*.sts)")->required();
        diff_ = command->add_subcommand("diff",
                                        "The pins in which two status files differ (exit status 1 if any)");
        diff_->add_option("old", files_[0], "Status file (*.sts)")->required();
        diff_->add_option("new", files_[1], "Status file (*.sts)")->required();
        return command;
    }

    int Run(CliContext& context) override
    {
        const SettingsRecord first = LoadOrThrow(files_[0]);
        if (show_->parsed()) {
            context.console.Out(StatusTable(first, nullptr) + "\nfontChoice " +
                                std::to_string(first.fontChoice) + "\n");
            return kExitOk;
        }
        if (json_->parsed()) {
            context.console.Out(JsonText(StatusJson(first, nullptr)) + "\n");
            return kExitOk;
        }
        const SettingsRecord second = LoadOrThrow(files_[1]);
        const auto differences = Differences(first, second);
        std::string text = ChangeLines(differences);
        const CustomerSettings a = CustomerSettingsOf(first);
        const CustomerSettings b = CustomerSettingsOf(second);
        auto setting = [&text](const char* name, const std::string& x, const std::string& y) {
            if (x != y)
                text += std::string(name) + ": " + x + " -> " + y + "\n";
        };
        setting("Print speed", a.printSpeed, b.printSpeed);
        setting("Destination", a.destination, b.destination);
        setting("Code page", a.codePage, b.codePage);
        setting("Emulation", a.emulation, b.emulation);
        setting("Single-byte font", a.singleFont, b.singleFont);
        setting("Double-byte font", a.doubleFont, b.doubleFont);
        if (first.fontChoice != second.fontChoice)
            text += "fontChoice: " + std::to_string(first.fontChoice) + " -> " +
                    std::to_string(second.fontChoice) + "\n";
        context.console.Out(text);
        return text.empty() ? kExitOk : kExitFailed;
    }

private:
    CLI::App* show_ = nullptr;
    CLI::App* json_ = nullptr;
    CLI::App* diff_ = nullptr;
    std::string files_[2];
};

}  // namespace

std::unique_ptr<CliCommand> MakeStsCommand()
{
    return std::make_unique<StsCommand>();
}

}  // namespace zorvik
