#pragma once
// File choosing behind an interface: the windows show file dialogs, tests script
// the answers, the command-line tool takes paths from its arguments.
#include <optional>
#include <string>

namespace zorvik {

struct FileDialogRequest {
    std::string title;             // caption of the dialog
    std::string proposedName;      // file name shown at first, e.g. "Noname.sts"
    std::string defaultExtension;  // without the dot, e.g. "sts"
    std::string filter;            // the Windows-style filter text, e.g. "Status Files (*.sts)|*.sts|"
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // Empty result: the user cancelled. A save chooser asks before replacing a file.
    virtual std::optional<std::string> ChooseSave(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> ChooseOpen(const FileDialogRequest& request) = 0;
};

}  // namespace zorvik
