#pragma once
// Parses the text forms zorvik-sim accepts for switch values and byte strings.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zorvik {

// "N=bits": a memory switch number and its value, the value written as eight "0"/"1"
// characters pin 8 first (as the printer reports it), or as 0xHH. No value: malformed.
std::optional<std::pair<int, std::uint8_t>> ParseSwitchAssignment(const std::string& text);

// Hex byte text such as "1b 40" or "1B40". No value: malformed.
std::optional<std::vector<std::uint8_t>> ParseHexBytes(const std::string& text);

// A comma list of reply kinds (id, text, switch, power, usermode, status, stray, all) as
// a SimReply mask. No value: an unknown or empty name.
std::optional<unsigned> ParseReplyKinds(const std::string& text);

// A comma list of printer conditions (ready, offline, cover-open, paper-near-end,
// paper-end, cutter-error, recoverable-error, unrecoverable-error,
// auto-recoverable-error, feed-button) as SimCondition bits; "ready" adds none. No
// value: an unknown or empty name.
std::optional<unsigned> ParseConditions(const std::string& text);
// The names of the conditions set, comma-separated; "ready" for none.
std::string ConditionNames(unsigned conditions);

}  // namespace zorvik
