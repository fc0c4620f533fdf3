#pragma once
// The printer's real-time status: the request bytes, the names of the states its four
// status bytes carry and the words that sum them up.
#include <cstdint>

namespace zorvik {

// DLE EOT n: the request number n (1..4) at index 2.
inline constexpr std::uint8_t kCmdStatusRequestTemplate[] = {0x10, 0x04, 0x00};
inline constexpr std::size_t kStatusRequestIndex = 2;

// The states the status bytes carry, in the order they are reported.
enum class HealthState {
    Offline,
    WaitingForRecovery,
    FeedButtonPressed,
    CoverOpen,
    PaperFedByButton,
    StoppedByPaperEnd,
    ErrorOccurred,
    RecoverableError,
    CutterError,
    UnrecoverableError,
    AutoRecoverableError,
    PaperNearEnd,
    PaperEnd,
};
inline constexpr int kHealthStateCount = 13;

// One state: the request whose byte carries it, the bits that show it (any of them set),
// its words for people and its key in JSON.
struct HealthStateBits {
    HealthState state;
    int request;
    std::uint8_t bits;
    const char* text;
    const char* key;
};

inline constexpr HealthStateBits kHealthStateBits[kHealthStateCount] = {
    {HealthState::Offline, 1, 0x08, "offline", "offline"},
    {HealthState::WaitingForRecovery, 1, 0x20, "waiting for online recovery", "waitingForRecovery"},
    {HealthState::FeedButtonPressed, 1, 0x40, "feed button pressed", "feedButtonPressed"},
    {HealthState::CoverOpen, 2, 0x04, "cover open", "coverOpen"},
    {HealthState::PaperFedByButton, 2, 0x08, "paper being fed by the feed button", "paperFedByButton"},
    {HealthState::StoppedByPaperEnd, 2, 0x20, "printing stopped by paper end", "stoppedByPaperEnd"},
    {HealthState::ErrorOccurred, 2, 0x40, "error", "errorOccurred"},
    {HealthState::RecoverableError, 3, 0x04, "recoverable error", "recoverableError"},
    {HealthState::CutterError, 3, 0x08, "cutter error", "cutterError"},
    {HealthState::UnrecoverableError, 3, 0x20, "unrecoverable error", "unrecoverableError"},
    {HealthState::AutoRecoverableError, 3, 0x40, "auto-recoverable error", "autoRecoverableError"},
    {HealthState::PaperNearEnd, 4, 0x0C, "paper near end", "paperNearEnd"},
    {HealthState::PaperEnd, 4, 0x60, "paper end", "paperEnd"},
};

// What each status byte is about, and what it says when it carries no state.
struct HealthGroupText {
    const char* label;
    const char* none;
};
inline constexpr HealthGroupText kHealthGroups[4] = {
    {"printer", "online"},
    {"offline cause", "none"},
    {"error cause", "none"},
    {"paper", "adequate"},
};

// The one word that matters most, worst first.
enum class HealthWord { Unknown, Error, CoverOpen, PaperOut, Offline, PaperLow, Ready };
inline constexpr const char* kHealthWords[] = {"unknown", "error",     "cover open", "paper out",
                                               "offline", "paper low", "ready"};

// The exit status of "health" when a printer answered but needs a person.
inline constexpr int kExitNeedsAttention = 3;

inline constexpr char kHealthLabel[] = "health";
// The main window's health line and its refresh button.
inline constexpr char kHealthLinePrefix[] = "Printer state: ";
inline constexpr char kHealthRefreshText[] = "Refresh";
inline constexpr char kHealthRefreshTip[] = "Ask the printer for its state again";

inline constexpr char kMsgHealthNotRead[] = "The printer did not answer the status request.";
inline constexpr char kMsgWatchOnePrinter[] = "--watch follows one printer; name only one";

}  // namespace zorvik
