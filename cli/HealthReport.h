#pragma once
// The printer's health as the tool prints it: a table of its four status bytes in
// words, a JSON object, and the time-stamped lines of a watch.
//   printer        offline
//   offline cause  cover open
//   error cause    none
//   paper          adequate
//   health         cover open
#include <chrono>
#include <nlohmann/json.hpp>
#include <string>

#include "settings/PrinterHealth.h"

namespace zorvik {

std::string HealthTable(const PrinterHealth& health);
// {"health": word, "ready": bool, "statusBytes": [four numbers], one key per state};
// an unknown printer has only "health": "unknown" and "ready": false.
nlohmann::json HealthJson(const PrinterHealth& health);
// Local time to the second, "2026-12-07T12:04:31".
std::string HealthStamp(std::chrono::system_clock::time_point when);
// One line of a watch: "<stamp>  <summary>".
std::string HealthWatchLine(std::chrono::system_clock::time_point when, const PrinterHealth& health);

}  // namespace zorvik
