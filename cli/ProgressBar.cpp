#include "cli/ProgressBar.h"

#include <algorithm>

namespace zorvik {

std::string ProgressBar::Render(const std::string& label, int percent, int width)
{
    percent = std::clamp(percent, 0, 100);
    const int filled = percent * width / 100;
    return label + " [" + std::string(static_cast<std::size_t>(filled), '#') +
           std::string(static_cast<std::size_t>(width - filled), '.') + "] " + std::to_string(percent) + "%";
}

void ProgressBar::Show(const std::string& label, int percent)
{
    if (percent < 0 || percent == lastShown_)
        return;
    if (console_.ErrIsTerminal()) {
        console_.Err("\r" + Render(label, percent));
        open_ = true;
    } else if (percent / 10 != lastShown_ / 10 || lastShown_ < 0) {
        console_.Err(Render(label, percent) + "\n");
    }
    lastShown_ = percent;
}

void ProgressBar::Finish()
{
    if (open_)
        console_.Err("\n");
    open_ = false;
}

}  // namespace zorvik
