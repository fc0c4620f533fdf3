#pragma once
// File dialogs. The save dialog asks before an existing file is replaced. Tests
// queue the answers (a path, or none for Cancel) and see every dialog asked for.
#include <QPointer>
#include <QString>
#include <QWidget>
#include <deque>
#include <optional>
#include <vector>

#include "base/FileChooser.h"

namespace zorvik {

class QtFileChooser final : public FileChooser {
public:
    explicit QtFileChooser(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }
    std::optional<std::string> ChooseSave(const FileDialogRequest& request) override;
    std::optional<std::string> ChooseOpen(const FileDialogRequest& request) override;

    // "Status Files (*.sts)|*.sts|" -> "Status Files (*.sts)"; pairs joined with ";;".
    static QString QtFilter(const std::string& windowsFilter);

    struct Script {
        std::deque<std::optional<std::string>> answers;
        std::vector<FileDialogRequest> asked;
    };
    // While set, dialogs are not shown: answers come from the script, front first
    // (none left means Cancel).
    static void SetTestScript(Script* script);

private:
    QPointer<QWidget> owner_;
};

}  // namespace zorvik
