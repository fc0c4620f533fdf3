#pragma once
// "set" with a safety net: read the switches, print what will change, keep the old
// state in a rollback status file, write, read back after the printer's restart and
// fail loudly when the printer does not hold what was written.
#include <optional>
#include <ostream>
#include <string>

#include "cli/PrinterSession.h"
#include "cli/SettingEdits.h"

namespace zorvik {

struct SetRequest {
    std::optional<std::string> fromFile;  // a status file to start from
    SettingEdits edits;
    bool dryRun = false;
    // Where the old state goes; empty: zorvik-rollback-<printer>-<time>.sts here.
    std::string rollbackPath;
};

// The default rollback file name for a printer.
std::string DefaultRollbackPath(const std::string& targetText);

// Runs the whole safe write on a connected printer; true on success (a dry run and
// a printer that already holds everything succeed too).
bool SafeWrite(PrinterSession& printer, const SetRequest& request, std::ostream& out);

}  // namespace zorvik
