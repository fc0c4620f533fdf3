#include "cli/HealthReport.h"

#include <ctime>

namespace zorvik {

namespace {

std::string Row(const std::string& label, const std::string& text)
{
    constexpr std::size_t kLabelWidth = 15;
    std::string line = label;
    line.append(label.size() < kLabelWidth ? kLabelWidth - label.size() : 1, ' ');
    return line + text + "\n";
}

}  // namespace

std::string HealthTable(const PrinterHealth& health)
{
    std::string text;
    for (int request = 1; request <= PrinterHealth::kRequests; ++request) {
        const HealthGroupText& group = kHealthGroups[request - 1];
        std::string states;
        if (!health.Known()) {
            states = PrinterHealth::Text(HealthWord::Unknown);
        } else {
            for (HealthState state : health.StatesOf(request))
                states += (states.empty() ? "" : ", ") + std::string(PrinterHealth::Text(state));
            if (states.empty())
                states = group.none;
        }
        text += Row(group.label, states);
    }
    return text + Row(kHealthLabel, PrinterHealth::Text(health.Word()));
}

nlohmann::json HealthJson(const PrinterHealth& health)
{
    nlohmann::json json;
    json[kHealthLabel] = PrinterHealth::Text(health.Word());
    json["ready"] = health.Ready();
    if (!health.Known())
        return json;
    json["statusBytes"] = *health.Bytes();
    for (const HealthStateBits& bits : kHealthStateBits)
        json[bits.key] = health.Has(bits.state);
    return json;
}

std::string HealthStamp(std::chrono::system_clock::time_point when)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
    return stamp;
}

std::string HealthWatchLine(std::chrono::system_clock::time_point when, const PrinterHealth& health)
{
    return HealthStamp(when) + "  " + health.Summary() + "\n";
}

}  // namespace zorvik
