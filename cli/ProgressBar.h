#pragma once
// A progress bar on standard error for one long action (the font download):
// redrawn in place on a terminal, a line per tenth elsewhere.
#include <string>

#include "cli/Console.h"

namespace zorvik {

class ProgressBar {
public:
    explicit ProgressBar(Console& console) : console_(console) {}
    void Show(const std::string& label, int percent);
    // Ends the bar's line if one was drawn.
    void Finish();

    static std::string Render(const std::string& label, int percent, int width = 40);

private:
    Console& console_;
    int lastShown_ = -1;
    bool open_ = false;
};

}  // namespace zorvik
