#pragma once
// Messages of the command-line tool: notices on the output stream, warnings and
// errors on the error stream, the text as the window would show it.
#include <ostream>

#include "base/Notifier.h"

namespace zorvik {

class ConsoleNotifier final : public Notifier {
public:
    ConsoleNotifier(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}
    void Show(std::string_view text, std::string_view title, MessageIcon icon) override;

private:
    std::ostream& out_;
    std::ostream& err_;
};

}  // namespace zorvik
