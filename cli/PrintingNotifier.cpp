#include "cli/PrintingNotifier.h"

namespace zorvik {

std::string PrintingNotifier::OneLine(std::string_view text)
{
    std::string line;
    bool pendingBreak = false;
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n') {
            pendingBreak = true;
            continue;
        }
        if (pendingBreak && !line.empty())
            line += "; ";
        pendingBreak = false;
        line += c;
    }
    return line;
}

void PrintingNotifier::Show(std::string_view text, std::string_view title, MessageIcon icon)
{
    last_ = OneLine(text);
    if (icon != MessageIcon::Information)
        lastWarning_ = last_;
    std::string line;
    if (!prefix_.empty())
        line += prefix_ + ": ";
    line += std::string(title) + ": " + last_ + "\n";
    if (sink_)
        sink_(line);
}

}  // namespace zorvik
