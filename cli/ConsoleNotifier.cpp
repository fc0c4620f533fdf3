#include "cli/ConsoleNotifier.h"

#include <string>

namespace zorvik {

void ConsoleNotifier::Show(std::string_view text, std::string_view, MessageIcon icon)
{
    // Message-box texts break lines with CR LF; a terminal wants LF alone.
    std::string line;
    for (char c : text)
        if (c != '\r')
            line += c;
    std::ostream& stream = icon == MessageIcon::Information ? out_ : err_;
    stream << line << '\n' << std::flush;
}

}  // namespace zorvik
