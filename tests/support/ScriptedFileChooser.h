#pragma once
// File choosing for tests: queued answers are taken front first; with none queued,
// `answer` answers every dialog (none: the user cancelled). Every dialog asked for
// is recorded, all of them in order and by kind.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "base/FileChooser.h"

namespace zorvik::test {

class ScriptedFileChooser final : public FileChooser {
public:
    std::optional<std::string> ChooseSave(const FileDialogRequest& request) override
    {
        saveAsked.push_back(request);
        return Next(request);
    }
    std::optional<std::string> ChooseOpen(const FileDialogRequest& request) override
    {
        openAsked.push_back(request);
        return Next(request);
    }

    std::deque<std::optional<std::string>> answers;
    std::optional<std::string> answer;
    std::vector<FileDialogRequest> asked, saveAsked, openAsked;

private:
    std::optional<std::string> Next(const FileDialogRequest& request)
    {
        asked.push_back(request);
        if (answers.empty())
            return answer;
        auto next = answers.front();
        answers.pop_front();
        return next;
    }
};

}  // namespace zorvik::test
