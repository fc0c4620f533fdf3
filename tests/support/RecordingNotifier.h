#pragma once
#include <string>
#include <vector>

#include "base/Notifier.h"

namespace zorvik::test {

struct ShownMessage {
    std::string text;
    std::string title;
    MessageIcon icon;
    friend bool operator==(const ShownMessage&, const ShownMessage&) = default;
};

class RecordingNotifier final : public Notifier {
public:
    void Show(std::string_view text, std::string_view title, MessageIcon icon) override
    {
        messages.push_back({std::string(text), std::string(title), icon});
    }
    std::vector<ShownMessage> messages;
};

}  // namespace zorvik::test
