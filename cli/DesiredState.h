#pragma once
// A desired state for "set --state FILE.json", in the shape "get --json" prints:
//   {"settings": {"codePage": ..., "printSpeed": ..., "emulation": ..., "singleFont": ...,
//                 "doubleFont": ...},
//    "powerSave": {"enabled": true, "entranceTime": 60},
//    "switches": [{"switch": 2, "pins": [{"pin": 3, "state": "on"}]}]}
// A setting is a list entry (its text, case aside, or its index); null and the texts
// "get" prints for values no entry names leave it alone. A pin is "on", "off" or
// "keep". Every part may be left out, and what "get" prints besides (model, bits,
// labels, ...) is passed over, so a "get --json" document is a valid state.
#include <cstddef>
#include <string>

#include "cli/SettingEdits.h"

namespace zorvik {

inline constexpr std::size_t kMaxStateFileBytes = std::size_t{1} << 20;

// Reads the state into edits (pins that the named settings write folded in); the
// reason when the text is no such state, else empty.
std::string ParseDesiredState(const std::string& text, SettingEdits& edits);

}  // namespace zorvik
