#include "sim/SimOptions.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "sim/VirtualPrinter.h"

namespace zorvik {

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// A name on the command line and the bits it stands for.
struct NamedBits {
    std::string_view name;
    unsigned bits;
};

constexpr NamedBits kReplyKindNames[] = {
    {"id", kSimReplyId},           {"text", kSimReplyText},         {"switch", kSimReplySwitch},
    {"power", kSimReplyPowerSave}, {"usermode", kSimReplyUserMode}, {"status", kSimReplyStatus},
    {"stray", kSimReplyStray},     {"all", kSimReplyAll},
};

constexpr NamedBits kConditionNames[] = {
    {"ready", 0},
    {"offline", kSimOffline},
    {"cover-open", kSimCoverOpen},
    {"paper-near-end", kSimPaperNearEnd},
    {"paper-end", kSimPaperEnd},
    {"cutter-error", kSimCutterError},
    {"recoverable-error", kSimRecoverableError},
    {"unrecoverable-error", kSimUnrecoverableError},
    {"auto-recoverable-error", kSimAutoRecoverableError},
    {"feed-button", kSimFeedButton},
};

// The bits of a comma list of names from the table; no value for an unknown or empty name.
template <std::size_t N>
std::optional<unsigned> ParseNames(const std::string& text, const NamedBits (&table)[N])
{
    unsigned bits = 0;
    std::string_view rest = text;
    for (;;) {
        const auto comma = rest.find(',');
        const std::string_view name = rest.substr(0, comma);
        const auto* known = std::find_if(std::begin(table), std::end(table),
                                         [name](const NamedBits& k) { return k.name == name; });
        if (known == std::end(table))
            return std::nullopt;
        bits |= known->bits;
        if (comma == std::string_view::npos)
            return bits;
        rest.remove_prefix(comma + 1);
    }
}

}  // namespace

std::optional<std::pair<int, std::uint8_t>> ParseSwitchAssignment(const std::string& text)
{
    const auto eq = text.find('=');
    if (eq == std::string::npos || eq == 0 || eq > 2)
        return std::nullopt;
    int number = 0;
    for (std::size_t i = 0; i < eq; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return std::nullopt;
        number = number * 10 + (text[i] - '0');
    }
    if (!VirtualPrinter::IsSwitchNumber(number))
        return std::nullopt;
    const std::string value = text.substr(eq + 1);
    if (value.size() == 8 && value.find_first_not_of("01") == std::string::npos) {
        std::uint8_t bits = 0;
        for (char c : value)
            bits = static_cast<std::uint8_t>((bits << 1) | (c == '1'));
        return std::make_pair(number, bits);
    }
    if (value.size() == 4 && (value.starts_with("0x") || value.starts_with("0X"))) {
        const int hi = HexDigit(value[2]);
        const int lo = HexDigit(value[3]);
        if (hi >= 0 && lo >= 0)
            return std::make_pair(number, static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ParseHexBytes(const std::string& text)
{
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (high >= 0)
                return std::nullopt;  // a lone digit before a space
            continue;
        }
        const int d = HexDigit(c);
        if (d < 0)
            return std::nullopt;
        if (high < 0) {
            high = d;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + d));
            high = -1;
        }
    }
    if (high >= 0)
        return std::nullopt;  // odd digit count: never pad, never shift
    return bytes;
}

std::optional<unsigned> ParseReplyKinds(const std::string& text)
{
    return ParseNames(text, kReplyKindNames);
}

std::optional<unsigned> ParseConditions(const std::string& text)
{
    return ParseNames(text, kConditionNames);
}

std::vector<ControlLine> TakeControlLines(std::string& pending)
{
    constexpr std::string_view kState = "state ";
    std::vector<ControlLine> lines;
    for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
        std::string text = pending.substr(0, end);
        pending.erase(0, end + 1);
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        if (text.empty())
            continue;
        const auto conditions =
            text.starts_with(kState) ? ParseConditions(text.substr(kState.size())) : std::nullopt;
        lines.push_back({std::move(text), conditions});
    }
    return lines;
}

std::string ConditionNames(unsigned conditions)
{
    std::string names;
    for (const NamedBits& c : kConditionNames) {
        if (c.bits != 0 && (conditions & c.bits) == c.bits)
            names += (names.empty() ? "" : ",") + std::string(c.name);
    }
    return names.empty() ? "ready" : names;
}

}  // namespace zorvik
