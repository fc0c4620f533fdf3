#include "cli/SafeWrite.h"

#include <cstdio>
#include <ctime>

#include "cli/PrinterStatus.h"
#include "cli/StatusReport.h"
#include "cli/Target.h"
#include "resources/CliTexts.h"
#include "resources/SettingsTexts.h"
#include "settings/FullStatusFile.h"

namespace zorvik {

namespace {

std::string PowerSaveText(const std::optional<PowerSaveReply>& powerSave)
{
    if (!powerSave)
        return kUnknownValue;
    return std::string(powerSave->enabled ? kPowerSaveEnable : kPowerSaveDisable) + ", " +
           std::to_string(powerSave->seconds) + " s";
}

// What goes to the printer: the target's state for every pin that changes, "no
// change" for every other one, so a pin nobody asked about is never rewritten.
std::array<SwitchEntry, kSwitchCount> SwitchesToWrite(const SettingsRecord& before,
                                                      const SettingsRecord& target)
{
    std::array<SwitchEntry, kSwitchCount> out{};
    for (int e = 0; e < kSwitchCount; ++e)
        for (int pin = 1; pin <= kPinCount; ++pin)
            if (target.Pin(e, pin) != PinState::NoChange && target.Pin(e, pin) != before.Pin(e, pin))
                out[static_cast<std::size_t>(e)].pins[static_cast<std::size_t>(pin)] = target.Pin(e, pin);
    return out;
}

}  // namespace

std::string DefaultRollbackPath(const std::string& targetText)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return "zorvik-rollback-" + FileSafeName(targetText) + "-" + stamp + ".sts";
}

namespace {

nlohmann::json PowerSaveJson(const std::optional<PowerSaveReply>& powerSave)
{
    if (!powerSave)
        return nullptr;
    return {{"enabled", powerSave->enabled != 0}, {"entranceTime", powerSave->seconds}};
}

// The settings part of "get --json": named settings, power save and the pins.
nlohmann::json StateJson(const SettingsRecord& record, const std::optional<PowerSaveReply>& powerSave)
{
    nlohmann::json json = StatusJson(record, nullptr);
    json.erase("fontChoice");
    json["powerSave"] = PowerSaveJson(powerSave);
    return json;
}

}  // namespace

nlohmann::json SetReport::Json() const
{
    nlohmann::json json;
    json["changed"] = changed;
    json["dryRun"] = dryRun;
    json["before"] = read ? StateJson(before, powerBefore) : nlohmann::json(nullptr);
    // After a failed write only a whole read-back tells what the printer holds.
    const bool afterKnown = read && (readBack || stage.empty());
    json["after"] = afterKnown ? StateJson(after, powerAfter) : nlohmann::json(nullptr);
    json["readBack"] = readBack;
    nlohmann::json list = nlohmann::json::array();
    for (const auto& c : changes)
        list.push_back({{"switch", SwitchNumberOf(c.entry)},
                        {"pin", c.pin},
                        {"from", StateWord(c.from)},
                        {"to", StateWord(c.to)},
                        {"label", PinTextOf(c.entry, c.pin).label}});
    json["changes"] = list;
    json["fontDownload"] = fontDownload.empty() ? nlohmann::json(nullptr) : nlohmann::json(fontDownload);
    json["rollback"] = rollback.empty() ? nlohmann::json(nullptr) : nlohmann::json(rollback);
    if (!stage.empty()) {
        json["stage"] = stage;
        json["error"] = message;
    }
    return json;
}

bool SafeWrite(PrinterSession& printer, const SetRequest& request, std::ostream& out, SetReport* report)
{
    SetReport scratch;
    SetReport& r = report ? *report : scratch;
    r.dryRun = request.dryRun;
    auto failAt = [&printer, &r](const char* stage, const std::string& why) {
        printer.SetFailure(why);
        r.stage = stage;
        r.message = why;
        return false;
    };
    auto fail = [&failAt, &out](const char* stage, const std::string& why) {
        out << why << "\n";
        return failAt(stage, why);
    };
    PrinterStatus status(printer);
    if (!status.Read())
        return failAt(kStageRead, kMsgReadFailed);
    const SettingsRecord before = status.Record();
    const std::optional<PowerSaveReply> powerBefore = status.PowerSave();
    r.read = true;
    r.before = r.after = before;
    r.powerBefore = r.powerAfter = powerBefore;

    // The target: what the printer holds, then the file, then the edits.
    SettingsRecord target = before;
    if (request.fromFile) {
        SettingsRecord file;
        std::string reason;
        const auto result = FullStatusFile::Load(*request.fromFile, file, &reason);
        if (result != StatusFile::Result::Ok)
            return fail(kStageRead, StatusFile::Message(result, *request.fromFile, reason));
        // A pin the file leaves at "no change" keeps what the printer holds.
        for (int e = 0; e < kSwitchCount; ++e)
            for (int pin = 1; pin <= kPinCount; ++pin)
                if (file.Pin(e, pin) != PinState::NoChange)
                    target.Pin(e, pin) = file.Pin(e, pin);
        target.fontChoice = file.fontChoice;
    }
    SettingEdits edits = request.edits;
    if (request.skipHeldFont && edits.doubleFont && *edits.doubleFont >= 2 &&
        *edits.doubleFont < static_cast<int>(kDoubleFontItems.size()) &&
        CustomerSettingsOf(before).doubleFont != kUnknownValue &&
        static_cast<int>(DecodeField(before, kDoubleFontField)) ==
            kDoubleFontItems[static_cast<std::size_t>(*edits.doubleFont)].fontValue)
        edits.doubleFont.reset();
    // The named settings are encoded by the setting page's own handlers.
    const int fontIndex = edits.ApplyTo(target);

    // Power save is written when asked, or as read when the printer reported it.
    std::optional<PowerSaveReply> powerTarget = powerBefore;
    if (edits.powerSave || edits.entranceTime) {
        if (!powerBefore && !(edits.powerSave && edits.entranceTime))
            return fail(kStageRead, kMsgPowerSaveUnknown);
        PowerSaveReply wanted = powerBefore.value_or(PowerSaveReply{});
        if (edits.powerSave)
            wanted.enabled = *edits.powerSave;
        if (edits.entranceTime)
            wanted.seconds = *edits.entranceTime;
        powerTarget = wanted;
    }
    if (powerTarget && (powerTarget->seconds < kEntranceTimeMin || powerTarget->seconds > kEntranceTimeMax))
        return fail(kStageRead, kMsgEntranceFromPrinter + std::to_string(powerTarget->seconds) +
                                    kMsgEntranceFromPrinterHint);

    const auto changes = PendingChanges(before, target);
    const bool powerChange = powerTarget && powerBefore && !(*powerTarget == *powerBefore);
    const bool fontDownload = fontIndex >= 2 && fontIndex < static_cast<int>(kDoubleFontItems.size());
    r.changes = changes;
    r.powerAfter = powerTarget;
    for (const auto& c : changes)
        r.after.Pin(c.entry, c.pin) = c.to;
    if (fontDownload)
        r.fontDownload = kDoubleFontItems[static_cast<std::size_t>(fontIndex)].text;
    r.changed = !changes.empty() || powerChange || fontDownload;

    out << ChangeLines(changes);
    if (powerChange)
        out << kGroupPowerSave << ": " << PowerSaveText(powerBefore) << " -> " << PowerSaveText(powerTarget)
            << "\n";
    if (fontDownload)
        out << "Font download: " << kDoubleFontItems[static_cast<std::size_t>(fontIndex)].text << "\n";
    if (!r.changed) {
        out << kMsgNothingToChange << "\n";
        return true;
    }
    if (request.dryRun) {
        out << kMsgDryRun << "\n";
        return true;
    }

    const std::string rollback =
        request.rollbackPath.empty() ? DefaultRollbackPath(printer.GetTarget().text) : request.rollbackPath;
    if (FullStatusFile::Save(rollback, before) != StatusFile::Result::Ok) {
        r.changed = false;
        return fail(kStageWrite, kMsgRollbackFailed + rollback);
    }
    r.rollback = rollback;
    out << kMsgRollbackSaved << rollback << (powerChange ? std::string(" ") + kMsgPowerSaveNotKept : "")
        << "\n";

    const auto written = SwitchesToWrite(before, target);
    if (!status.Write(written, powerTarget, fontDownload ? fontIndex : 0)) {
        // A font download fails after the switches were taken.
        const bool fontFailed = fontDownload && status.WriteTaken();
        failAt(fontFailed ? kStageFontDownload : kStageWrite,
               fontDownload ? kMsgFontDownloadFailedCli : kMsgWriteFailed);
        out << printer.Failure() << "\n" << kMsgRestoreHint << rollback << "\n";
        return false;
    }

    // The write has already waited for the printer's restart; read everything back:
    // the written pins must hold what was written, every other pin what was read before.
    if (!status.Read()) {
        failAt(kStageVerify, kMsgReadBackFailed);
        out << kMsgReadBackFailed << "\n" << kMsgRestoreHint << rollback << "\n";
        return false;
    }
    std::vector<PinChange> notHeld;
    const SettingsRecord& readBack = status.Record();
    r.readBack = true;
    r.after = readBack;
    r.powerAfter = status.PowerSave();
    for (int e = 0; e < kSwitchCount; ++e) {
        for (int pin = 1; pin <= kPinCount; ++pin) {
            const std::int32_t sent =
                written[static_cast<std::size_t>(e)].pins[static_cast<std::size_t>(pin)];
            const std::int32_t expected = sent != PinState::NoChange ? sent : before.Pin(e, pin);
            if (readBack.Pin(e, pin) != expected)
                notHeld.push_back({e, pin, readBack.Pin(e, pin), expected});
        }
    }
    auto wasWritten = [&written](const PinChange& c) {
        return written[static_cast<std::size_t>(c.entry)].pins[static_cast<std::size_t>(c.pin)] !=
               PinState::NoChange;
    };
    const std::optional<PowerSaveReply> powerAfter = status.PowerSave();
    const bool powerNotHeld = powerTarget && powerAfter != powerTarget;
    if (notHeld.empty() && !powerNotHeld) {
        out << kMsgVerified << "\n";
        return true;
    }
    out << kMsgNotHeld << "\n";
    for (const auto& c : notHeld)
        out << "  MSW " << SwitchNumberOf(c.entry) << " pin " << c.pin << ": "
            << (wasWritten(c) ? "wrote " : "not written, was ") << StateWord(c.to) << ", printer holds "
            << StateWord(c.from) << "  " << PinTextOf(c.entry, c.pin).label << "\n";
    if (powerNotHeld)
        out << "  " << kGroupPowerSave << ": wrote " << PowerSaveText(powerTarget) << ", printer holds "
            << PowerSaveText(powerAfter) << "\n";
    out << kMsgRestoreHint << rollback << "\n";
    return failAt(kStageVerify, kMsgNotHeldShort);
}

}  // namespace zorvik
