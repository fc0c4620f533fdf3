#pragma once
// Messages to the user. The windows show them as message boxes with an OK button,
// the command-line tool prints them, tests record them.
#include <string>
#include <string_view>

namespace zorvik {

enum class MessageIcon { Information, Exclamation, Error };

class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void Show(std::string_view text, std::string_view title, MessageIcon icon) = 0;
};

// Drops every message; for callers that report outcomes some other way.
class SilentNotifier final : public Notifier {
public:
    void Show(std::string_view, std::string_view, MessageIcon) override {}
};

}  // namespace zorvik
