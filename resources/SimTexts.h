#pragma once
// What the virtual printer answers with, and the lead bytes it recognises.
#include <cstdint>

#include "resources/SwitchNumbers.h"

namespace zorvik {

// Identity texts of a healthy printer (maker and model live in LinkTexts.h).
inline constexpr char kSimFirmware[] = "V1.00 LXT";
inline constexpr char kSimLanguage[] = "ENGLISH";

// GS ( E fn 1 (enter user setting mode) is answered with these three bytes.
inline constexpr std::uint8_t kSimUserModeReply[] = {0x37, 0x20, 0x00};
// GS ( E fn 4 answer: header, then c8..c1, then this terminator.
inline constexpr std::uint8_t kSimSwitchReplyHeader[] = {0x37, 0x21};
inline constexpr std::uint8_t kSimSwitchReplyEnd = 0x00;
// Power-save query answer: byte 0 echoes the command's letter "P", byte 1 the enable
// flag, byte 2 the seconds, byte 3 a terminating 00.
inline constexpr std::uint8_t kSimPowerSaveReplyLead = 0x50;

// Parameters that name user setting mode's enter and leave functions.
inline constexpr char kSimUserModeIn[] = "IN";
inline constexpr char kSimUserModeOut[] = "OUT";

// zorvik-sim where the system has no pseudo-terminals (Windows): the help of --pty,
// and the error when it is asked for anyway.
inline constexpr char kSimPtyUnavailableHelp[] = "not available on Windows (no pseudo-terminals); use --tcp";
inline constexpr char kSimPtyUnavailable[] =
    "--pty: pseudo-terminals are not available on Windows; serve a loopback TCP port with --tcp [PORT]";

}  // namespace zorvik
