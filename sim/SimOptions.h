#pragma once
// Parses the text forms zorvik-sim accepts for switch values and byte strings.
#include <cstddef>
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

// One line given to the running printer on standard input: "state LIST".
struct ControlLine {
    std::string text;                    // as given, without its line end
    std::optional<unsigned> conditions;  // no value: not a control line
};
inline constexpr std::size_t kMaxControlLine = 4096;
// Takes the whole lines (ending in LF, or CR LF) from the front of `pending`, empty
// ones skipped; what follows the last line end stays for the next read.
std::vector<ControlLine> TakeControlLines(std::string& pending);

}  // namespace zorvik
