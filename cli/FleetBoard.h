#pragma once
// The progress of several printers on standard error, one line per printer. On a
// terminal the lines are redrawn in place; elsewhere a line is printed whenever a
// printer enters a new phase.
#include <mutex>
#include <string>
#include <vector>

#include "cli/Console.h"

namespace zorvik {

class FleetBoard {
public:
    // Taller boards are not redrawn: the rows above the screen cannot be reached.
    static constexpr std::size_t kMaxRedrawnRows = 20;

    FleetBoard(Console& console, std::vector<std::string> names, bool redraw);
    void Update(std::size_t index, const std::string& phase, int percent);

    // One board line: the name padded to width, the phase and the percentage.
    static std::string Line(const std::string& name, std::size_t width, const std::string& phase,
                            int percent);

private:
    void Draw();
    struct Row {
        std::string phase = "waiting";
        int percent = -1;
    };
    Console& console_;
    std::vector<std::string> names_;
    std::vector<Row> rows_;
    std::size_t width_ = 0;
    bool redraw_;
    bool drawn_ = false;
    std::mutex mutex_;
};

}  // namespace zorvik
