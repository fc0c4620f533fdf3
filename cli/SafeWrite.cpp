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

std::string PowerSaveText(int powerSave, int entranceTime)
{
    if (powerSave < 0)
        return kUnknownValue;
    return std::string(powerSave ? kPowerSaveEnable : kPowerSaveDisable) + ", " +
           std::to_string(entranceTime) + " s";
}

bool PowerSaveWritten(const PrinterSettingModel& page)
{
    return page.powerSave == 0 || page.powerSave == 1;
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
    PrinterStatus status(printer);
    if (!status.Read()) {
        printer.SetFailure(kMsgReadFailed);
        return false;
    }
    const SettingsRecord before = status.Record();
    const PrinterFacts factsBefore = status.Facts();

    // The target: what the printer holds, then the file, then the edits.
    SettingsRecord& target = status.Record();
    if (request.fromFile) {
        const auto result = FullStatusFile::Load(*request.fromFile, target);
        if (result != StatusFile::Result::Ok) {
            printer.SetFailure(StatusFile::Message(result, *request.fromFile));
            out << printer.Failure() << "\n";
            return false;
        }
    }
    PrinterSettingModel& page = status.Page();
    request.edits.Apply(page, target);

    const auto changes = PendingChanges(before, target);
    const bool powerChange =
        PowerSaveWritten(page) && factsBefore.powerSave >= 0 &&
        (page.powerSave != factsBefore.powerSave || page.entranceTime != factsBefore.entranceTime);
    const int fontIndex = page.doubleFontIndex;
    const bool fontDownload = fontIndex >= 2 && fontIndex < static_cast<int>(kDoubleFontItems.size());

    out << ChangeLines(changes);
    if (powerChange)
        out << kGroupPowerSave << ": " << PowerSaveText(factsBefore.powerSave, factsBefore.entranceTime)
            << " -> " << PowerSaveText(page.powerSave, page.entranceTime) << "\n";
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
    if (FullStatusFile::Save(rollback, before) != StatusFile::Result::Ok) {
        printer.SetFailure(kMsgRollbackFailed + rollback);
        out << printer.Failure() << "\n";
        return false;
    }
    out << kMsgRollbackSaved << rollback << (powerChange ? std::string(" ") + kMsgPowerSaveNotKept : "")
        << "\n";

    const bool powerWritten = PowerSaveWritten(page);
    const int wantedPowerSave = page.powerSave;
    const int wantedEntrance = page.entranceTime;
    if (!status.Write()) {
        printer.SetFailure(fontDownload ? kMsgFontDownloadFailedCli : printer.Failure());
        return false;
    }

    // Set Status has already waited for the printer's restart; read back and compare.
    if (!status.Read()) {
        printer.SetFailure(kMsgReadBackFailed);
        out << kMsgReadBackFailed << "\n" << kMsgRestoreHint << rollback << "\n";
        return false;
    }
    std::vector<PinChange> notHeld;
    const SettingsRecord& readBack = status.Record();
    for (const auto& c : changes)
        if (readBack.Pin(c.entry, c.pin) != c.to)
            notHeld.push_back({c.entry, c.pin, readBack.Pin(c.entry, c.pin), c.to});
    const PrinterFacts factsAfter = status.Facts();
    const bool powerNotHeld =
        powerWritten && factsAfter.powerSave >= 0 &&
        (factsAfter.powerSave != wantedPowerSave || factsAfter.entranceTime != wantedEntrance);
    if (notHeld.empty() && !powerNotHeld) {
        out << kMsgVerified << "\n";
        return true;
    }
    out << kMsgNotHeld << "\n";
    for (const auto& c : notHeld)
        out << "  MSW " << SwitchNumberOf(c.entry) << " pin " << c.pin << ": wrote " << StateWord(c.to)
            << ", printer holds " << StateWord(c.from) << "  " << PinTextOf(c.entry, c.pin).label << "\n";
    if (powerNotHeld)
        out << "  " << kGroupPowerSave << ": wrote " << PowerSaveText(wantedPowerSave, wantedEntrance)
            << ", printer holds " << PowerSaveText(factsAfter.powerSave, factsAfter.entranceTime) << "\n";
    out << kMsgRestoreHint << rollback << "\n";
    printer.SetFailure(kMsgNotHeldShort);
    return false;
}

}  // namespace zorvik
