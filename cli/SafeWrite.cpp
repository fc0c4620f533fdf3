#include "cli/SafeWrite.h"

#include <cstdio>
#include <ctime>

#include "cli/FullStatusFile.h"
#include "cli/PrinterStatus.h"
#include "cli/StatusReport.h"
#include "cli/Target.h"
#include "resources/CliTexts.h"
#include "resources/SettingsTexts.h"

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
            if (target.Pin(e, pin) != PinNoChange && target.Pin(e, pin) != before.Pin(e, pin))
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

bool SafeWrite(PrinterSession& printer, const SetRequest& request, std::ostream& out)
{
    auto fail = [&printer, &out](const std::string& why) {
        printer.SetFailure(why);
        out << why << "\n";
        return false;
    };
    PrinterStatus status(printer);
    if (!status.Read()) {
        printer.SetFailure(kMsgReadFailed);
        return false;
    }
    const SettingsRecord before = status.Record();
    const std::optional<PowerSaveReply> powerBefore = status.PowerSave();

    // The target: what the printer holds, then the file, then the edits.
    SettingsRecord target = before;
    if (request.fromFile) {
        SettingsRecord file;
        std::string reason;
        const auto result = FullStatusFile::Load(*request.fromFile, file, &reason);
        if (result != StatusFile::Result::Ok)
            return fail(StatusFile::Message(result, *request.fromFile, reason));
        // A pin the file leaves at "no change" keeps what the printer holds.
        for (int e = 0; e < kSwitchCount; ++e)
            for (int pin = 1; pin <= kPinCount; ++pin)
                if (file.Pin(e, pin) != PinNoChange)
                    target.Pin(e, pin) = file.Pin(e, pin);
        target.fontChoice = file.fontChoice;
    }
    // The named settings are encoded by the setting page's own handlers.
    PrinterSettingModel page;
    page.SetRecord(&target);
    page.Initialize();
    page.recordLoaded = 1;
    page.Refresh(true);
    const SettingEdits& edits = request.edits;
    edits.Apply(page, target);

    // Power save is written when asked, or as read when the printer reported it.
    std::optional<PowerSaveReply> powerTarget = powerBefore;
    if (edits.powerSave || edits.entranceTime) {
        if (!powerBefore && !(edits.powerSave && edits.entranceTime))
            return fail(kMsgPowerSaveUnknown);
        PowerSaveReply wanted = powerBefore.value_or(PowerSaveReply{});
        if (edits.powerSave)
            wanted.enabled = *edits.powerSave;
        if (edits.entranceTime)
            wanted.seconds = *edits.entranceTime;
        powerTarget = wanted;
    }
    if (powerTarget && (powerTarget->seconds < kEntranceTimeMin || powerTarget->seconds > kEntranceTimeMax))
        return fail(kMsgEntranceFromPrinter + std::to_string(powerTarget->seconds) +
                    kMsgEntranceFromPrinterHint);

    const auto changes = PendingChanges(before, target);
    const bool powerChange = powerTarget && powerBefore && !(*powerTarget == *powerBefore);
    const int fontIndex = page.doubleFontIndex;
    const bool fontDownload = fontIndex >= 2 && fontIndex < static_cast<int>(kDoubleFontItems.size());

    out << ChangeLines(changes);
    if (powerChange)
        out << kGroupPowerSave << ": " << PowerSaveText(powerBefore) << " -> " << PowerSaveText(powerTarget)
            << "\n";
    if (fontDownload)
        out << "Font download: " << kDoubleFontItems[static_cast<std::size_t>(fontIndex)].text << "\n";
    if (changes.empty() && !powerChange && !fontDownload) {
        out << kMsgNothingToChange << "\n";
        return true;
    }
    if (request.dryRun) {
        out << kMsgDryRun << "\n";
        return true;
    }

    const std::string rollback =
        request.rollbackPath.empty() ? DefaultRollbackPath(printer.GetTarget().text) : request.rollbackPath;
    if (FullStatusFile::Save(rollback, before) != StatusFile::Result::Ok)
        return fail(kMsgRollbackFailed + rollback);
    out << kMsgRollbackSaved << rollback << (powerChange ? std::string(" ") + kMsgPowerSaveNotKept : "")
        << "\n";

    const auto written = SwitchesToWrite(before, target);
    if (!status.Write(written, powerTarget, fontDownload ? fontIndex : 0)) {
        printer.SetFailure(fontDownload ? kMsgFontDownloadFailedCli : kMsgWriteFailed);
        out << printer.Failure() << "\n" << kMsgRestoreHint << rollback << "\n";
        return false;
    }

    // The write has already waited for the printer's restart; read everything back:
    // the written pins must hold what was written, every other pin what was read before.
    if (!status.Read()) {
        printer.SetFailure(kMsgReadBackFailed);
        out << kMsgReadBackFailed << "\n" << kMsgRestoreHint << rollback << "\n";
        return false;
    }
    std::vector<PinChange> notHeld;
    const SettingsRecord& readBack = status.Record();
    for (int e = 0; e < kSwitchCount; ++e) {
        for (int pin = 1; pin <= kPinCount; ++pin) {
            const std::int32_t sent =
                written[static_cast<std::size_t>(e)].pins[static_cast<std::size_t>(pin)];
            const std::int32_t expected = sent != PinNoChange ? sent : before.Pin(e, pin);
            if (readBack.Pin(e, pin) != expected)
                notHeld.push_back({e, pin, readBack.Pin(e, pin), expected});
        }
    }
    auto wasWritten = [&written](const PinChange& c) {
        return written[static_cast<std::size_t>(c.entry)].pins[static_cast<std::size_t>(c.pin)] !=
               PinNoChange;
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
    printer.SetFailure(kMsgNotHeldShort);
    return false;
}

}  // namespace zorvik
