#include "cli/FleetBoard.h"

#include <algorithm>

namespace zorvik {

FleetBoard::FleetBoard(Console& console, std::vector<std::string> names, bool redraw)
    : console_(console), names_(std::move(names)), rows_(names_.size()), redraw_(redraw)
{
    for (const auto& name : names_)
        width_ = std::max(width_, name.size());
}

std::string FleetBoard::Line(const std::string& name, std::size_t width, const std::string& phase,
                             int percent)
{
    std::string line = name;
    line.append(width > name.size() ? width - name.size() : 0, ' ');
    line += "  " + phase;
    if (percent >= 0)
        line += " " + std::to_string(percent) + "%";
    return line;
}

void FleetBoard::Update(std::size_t index, const std::string& phase, int percent)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (index >= rows_.size())
        return;
    Row& row = rows_[index];
    const bool newPhase = row.phase != phase;
    if (!newPhase && row.percent == percent)
        return;
    row.phase = phase;
    row.percent = percent;
    if (redraw_)
        Draw();
    else if (newPhase)
        console_.Err(Line(names_[index], width_, phase, -1) + "\n");
}

void FleetBoard::Draw()
{
    std::string text;
    if (drawn_)
        text += "\x1b[" + std::to_string(rows_.size()) + "A";
    for (std::size_t i = 0; i < rows_.size(); ++i)
        text += "\r\x1b[2K" + Line(names_[i], width_, rows_[i].phase, rows_[i].percent) + "\n";
    drawn_ = true;
    console_.Err(text);
}

}  // namespace zorvik
