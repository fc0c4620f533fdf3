#pragma once
// A tool launcher that records each opening instead of showing a dialog.
#include <string>
#include <vector>

#include "app/ToolLauncher.h"

namespace zorvik::test {

class RecordingLauncher : public ToolLauncher {
public:
    bool statusResult = false;  // what the "Printer Status" dialog ends with
    std::vector<std::string> runs;
    bool RunStatusDialog(PrinterLink&, InterfaceType type) override
    {
        runs.push_back("status " + std::to_string(CodeNumber(type)));
        return statusResult;
    }
    void RunCommandEditor(PrinterLink&, InterfaceType type) override
    {
        runs.push_back("editor " + std::to_string(CodeNumber(type)));
    }
};

}  // namespace zorvik::test
