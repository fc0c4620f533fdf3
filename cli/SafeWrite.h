#pragma once
// "set" with a safety net: read the switches, print what will change, keep the old
// state in a rollback status file, write, read back after the printer's restart and
// fail loudly when the printer does not hold what was written.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/PrinterSession.h"
#include "cli/SettingEdits.h"
#include "cli/StatusReport.h"
#include "settings/PrinterExchange.h"

namespace zorvik {

struct SetRequest {
    std::optional<std::string> fromFile;  // a status file to start from
    SettingEdits edits;
    bool dryRun = false;
    // Where the old state goes; empty: zorvik-rollback-<printer>-<time>.sts here.
    std::string rollbackPath;
    // A double-byte font the printer already holds (by its font value) is neither
    // written nor downloaded again, so a desired state applied twice writes nothing.
    bool skipHeldFont = false;
};

// What one safe write did, for machine-readable output. The stage is empty on
// success, else the step that failed: read, write, font download or verify (the
// connection and identification stages come before the write runs).
struct SetReport {
    std::string stage;
    std::string message;   // why it failed
    bool changed = false;  // the printer's settings were (on a dry run: would be) changed
    bool dryRun = false;
    bool read = false;  // before holds a whole read
    SettingsRecord before;
    std::optional<PowerSaveReply> powerBefore;
    bool readBack = false;  // after holds the read-back; else the target (dry run, nothing to change)
    SettingsRecord after;
    std::optional<PowerSaveReply> powerAfter;
    std::vector<PinChange> changes;
    std::string fontDownload;  // the double-byte font downloaded, or to be
    std::string rollback;      // the rollback status file written

    // {"changed", "dryRun", "before", "after", "changes", "powerSave", "fontDownload",
    // "rollback", and on failure "stage" and "error"}; before and after have the
    // shape of "get --json" (settings, powerSave, switches).
    nlohmann::json Json() const;
};

// The default rollback file name for a printer.
std::string DefaultRollbackPath(const std::string& targetText);

// Runs the whole safe write on a connected printer; true on success (a dry run and
// a printer that already holds everything succeed too).
// With report given, it is filled as the write goes.
bool SafeWrite(PrinterSession& printer, const SetRequest& request, std::ostream& out,
               SetReport* report = nullptr);

}  // namespace zorvik
