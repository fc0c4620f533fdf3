#pragma once
// Messages of the shared exchange code, printed on standard error as
// "<printer>: <title>: <text>" instead of shown in a box. The last warning is kept
// for the closing table of a fleet.
#include <functional>
#include <string>

#include "base/Notifier.h"

namespace zorvik {

class PrintingNotifier final : public Notifier {
public:
    using Sink = std::function<void(std::string_view line)>;
    PrintingNotifier(Sink sink, std::string prefix) : sink_(std::move(sink)), prefix_(std::move(prefix)) {}
    void Show(std::string_view text, std::string_view title, MessageIcon icon) override;

    // The message text on one line: line breaks become "; ", carriage returns go.
    static std::string OneLine(std::string_view text);

    const std::string& LastMessage() const { return last_; }
    const std::string& LastWarning() const { return lastWarning_; }

private:
    Sink sink_;
    std::string prefix_;
    std::string last_;
    std::string lastWarning_;
};

}  // namespace zorvik
