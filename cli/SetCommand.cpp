#include <sstream>

#include "base/BoundedFile.h"
#include "cli/CliCommand.h"
#include "cli/DesiredState.h"
#include "cli/SafeWrite.h"
#include "cli/StatusReport.h"
#include "resources/CliTexts.h"
#include "resources/SettingsTexts.h"
#include "settings/FullStatusFile.h"
#include "settings/StatusFile.h"

namespace zorvik {

namespace {

class SetCommand final : public CliCommand {
public:
    CLI::App* Add(CLI::App& app) override
    {
        auto* command = app.add_subcommand(
            "set",
            "Set Status safely: read the switches, print what will change, keep the old state in a rollback "
            "status file, write, read back after the restart, and fail when the printer does not hold it");
        args_.AddTo(command);
        command->add_option("--from", from_, "Status file (*.sts) to write");
        command->add_option("--state", state_,
                            "Desired state as JSON, in the shape \"get --json\" prints (settings, powerSave, "
                            "switches); only what it names is changed");
        command->add_option("--pin", pins_, "Pin edit MSW.PIN=on|off|keep, e.g. 2.3=on; repeatable")
            ->allow_extra_args(false);
        command->add_option("--code-page", codePage_, "Default code page: list index or entry text");
        command->add_option("--double-font", doubleFont_,
                            "Double-byte font: list index or entry text; a font other than \"No Change\" or "
                            "\"[Single Byte Font]\" is downloaded after the write");
        command->add_option("--single-font", singleFont_, "Single-byte font: list index or entry text");
        command->add_option("--emulation", emulation_, "Emulation: list index or entry text");
        command->add_option("--print-speed", printSpeed_, "Print speed: list index or entry text");
        command->add_option("--power-save", powerSave_, "Power save mode")
            ->check(CLI::IsMember({"enable", "disable"}));
        command->add_option("--entrance-time", entranceTime_, "Power-save entrance time in seconds")
            ->check(CLI::Range(6, 255));
        command->add_option("--rollback", rollback_,
                            "Rollback status file (default zorvik-rollback-<printer>-<time>.sts here)");
        command->add_flag("--dry-run", dryRun_, "Print what would change and write nothing");
        command->add_flag("--json", json_,
                          "Print one JSON document per printer: changed, before, after, changes, rollback, "
                          "and on failure the stage and the error");
        command->add_flag("--list", list_, "Print the entries of every setting list with their indexes");
        return command;
    }

    int Run(CliContext& context) override
    {
        if (list_) {
            context.console.Out(Lists());
            return kExitOk;
        }
        SetRequest request;
        request.dryRun = dryRun_;
        request.rollbackPath = rollback_;
        if (!from_.empty()) {
            if (!StatusFile::HasStatusExtension(from_))
                throw UsageError{"--from " + from_ + ": " + kMsgWrongFormat};
            // Refused before any printer is touched; each printer's run reads it again.
            if (const std::string refusal = FullStatusFile::Refusal(from_); !refusal.empty())
                throw UsageError{"--from " + refusal};
            SettingsRecord probe;
            if (const auto result = FullStatusFile::Load(from_, probe); result != StatusFile::Result::Ok)
                throw UsageError{"--from " + StatusFile::Message(result, from_)};
            request.fromFile = from_;
        }
        SettingEdits& edits = request.edits;
        for (const auto& text : pins_) {
            std::string error;
            const auto edit = ParsePinEdit(text, &error);
            if (!edit)
                throw UsageError{error};
            edits.pins.push_back(*edit);
        }
        edits.codePage = Choice("--code-page", codePage_, "code-page");
        edits.doubleFont = Choice("--double-font", doubleFont_, "double-font");
        edits.singleFont = Choice("--single-font", singleFont_, "single-font");
        edits.emulation = Choice("--emulation", emulation_, "emulation");
        edits.printSpeed = Choice("--print-speed", printSpeed_, "print-speed");
        if (!powerSave_.empty())
            edits.powerSave = powerSave_ == "enable" ? 1 : 0;
        if (entranceTime_)
            edits.entranceTime = entranceTime_;
        if (!state_.empty()) {
            if (request.fromFile || !edits.Empty())
                throw UsageError{
                    "--state names the whole change; leave out --from, --pin and the named settings"};
            const FileRead read = ReadBoundedFile(state_, kMaxStateFileBytes);
            if (!read.Ok())
                throw UsageError{"--state: " + FileReadMessage(read, state_)};
            if (const std::string error =
                    ParseDesiredState(std::string(read.bytes.begin(), read.bytes.end()), edits);
                !error.empty())
                throw UsageError{"--state " + state_ + ": " + error};
            request.skipHeldFont = true;
        } else {
            if (!request.fromFile && edits.Empty())
                throw UsageError{"say what to write: --from FILE, --state FILE, --pin, or a named setting"};
            if (const std::string conflict = edits.Conflict(); !conflict.empty())
                throw UsageError{conflict};
        }
        if (!rollback_.empty() && args_.Targets(context).size() > 1)
            throw UsageError{"--rollback names one file; leave it out with several printers"};
        if (!json_)
            return args_.Run(context, [&request](PrinterSession& printer, std::ostream& out) {
                return SafeWrite(printer, request, out);
            });
        return args_.Run(
            context,
            [&request](PrinterSession& printer, std::ostream& out) {
                std::ostringstream text;  // the JSON says it all
                SetReport report;
                const bool ok = SafeWrite(printer, request, text, &report);
                nlohmann::json json = report.Json();
                json["printer"] = printer.GetTarget().text;
                out << JsonText(json) << "\n";
                return ok;
            },
            FleetOutput::JsonArray);
    }

private:
    static std::optional<int> Choice(const char* option, const std::string& text, const char* list)
    {
        if (text.empty())
            return std::nullopt;
        const auto index = ParseListChoice(text, ListItems(list));
        if (!index)
            throw UsageError{std::string(option) + " " + text + ": no such entry (see set --list)"};
        return index;
    }

    static std::string Lists()
    {
        std::string text;
        for (const char* list : {"code-page", "double-font", "single-font", "emulation", "print-speed"}) {
            text += std::string("--") + list + "\n";
            const auto items = ListItems(list);
            for (std::size_t i = 0; i < items.size(); ++i)
                text += "  " + std::to_string(i) + "  " + items[i] + "\n";
        }
        return text;
    }

    PrinterArgs args_;
    std::string from_;
    std::vector<std::string> pins_;
    std::string state_;
    std::string codePage_, doubleFont_, singleFont_, emulation_, printSpeed_, powerSave_, rollback_;
    int entranceTime_ = 0;
    bool dryRun_ = false;
    bool json_ = false;
    bool list_ = false;
};

}  // namespace

std::unique_ptr<CliCommand> MakeSetCommand()
{
    return std::make_unique<SetCommand>();
}

}  // namespace zorvik
