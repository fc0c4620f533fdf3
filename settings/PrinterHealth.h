#pragma once
// What the printer's four real-time status bytes (DLE EOT 1..4) say, as named
// states and one word that sums them up. A printer whose bytes were not all read
// is in an unknown state, never a ready one.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "resources/HealthTexts.h"

namespace zorvik {

class PrinterHealth {
public:
    static constexpr int kRequests = 4;
    using StatusBytes = std::array<std::uint8_t, kRequests>;

    // Unknown.
    PrinterHealth() = default;
    // From the bytes answered to requests 1..4, in that order.
    explicit PrinterHealth(const StatusBytes& bytes) : bytes_(bytes) {}

    bool Known() const { return bytes_.has_value(); }
    const std::optional<StatusBytes>& Bytes() const { return bytes_; }
    bool Has(HealthState state) const;
    // The states shown, in report order; empty when unknown or when none is.
    std::vector<HealthState> States() const;
    // The states one request's byte shows (request 1..4).
    std::vector<HealthState> StatesOf(int request) const;
    HealthWord Word() const;
    // Ready when known and showing nothing; a printer that needs a person otherwise
    // (paper, cover, error, offline). Unknown is neither.
    bool Ready() const { return Word() == HealthWord::Ready; }
    bool NeedsAttention() const { return Known() && !Ready(); }

    static const char* Text(HealthState state);
    static const char* Key(HealthState state);
    static const char* Text(HealthWord word);
    // "paper low: paper near end", or just the word when no state is shown.
    std::string Summary() const;

    friend bool operator==(const PrinterHealth&, const PrinterHealth&) = default;

private:
    std::optional<StatusBytes> bytes_;
};

}  // namespace zorvik
