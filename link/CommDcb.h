#pragma once
// The serial control block fields a Windows COM line is configured with, as plain
// values, and the mapping from SerialLine to them. Kept apart from the device so the
// mapping is checked without Windows; the Windows device copies these into its DCB.
#include <cstdint>
#include <optional>

#include "link/SerialDevice.h"

namespace zorvik {

// The system's codes for the DCB's byte fields.
inline constexpr std::uint8_t kDcbOneStopBit = 0;
inline constexpr std::uint8_t kDcbOne5StopBits = 1;
inline constexpr std::uint8_t kDcbTwoStopBits = 2;
inline constexpr std::uint8_t kDcbNoParity = 0;
inline constexpr std::uint8_t kDcbOddParity = 1;
inline constexpr std::uint8_t kDcbEvenParity = 2;
inline constexpr std::uint8_t kDcbMarkParity = 3;
inline constexpr std::uint8_t kDcbSpaceParity = 4;
inline constexpr std::uint8_t kDcbDtrControlDisable = 0;
inline constexpr std::uint8_t kDcbDtrControlEnable = 1;
inline constexpr std::uint8_t kDcbRtsControlDisable = 0;
inline constexpr std::uint8_t kDcbRtsControlEnable = 1;

struct CommDcb {
    std::uint32_t baudRate = 0;
    std::uint8_t byteSize = 8;
    std::uint8_t parity = kDcbNoParity;
    std::uint8_t stopBits = kDcbOneStopBit;
    bool fParity = false;
    bool fOutxCtsFlow = false;
    bool fOutxDsrFlow = false;
    std::uint8_t fDtrControl = kDcbDtrControlDisable;
    std::uint8_t fRtsControl = kDcbRtsControlDisable;
    bool fDsrSensitivity = false;
    bool fTXContinueOnXoff = false;
    bool fOutX = false;
    bool fInX = false;
    bool fNull = false;

    friend bool operator==(const CommDcb&, const CommDcb&) = default;
};

// The control block for a line, starting from the current one (fields the line does
// not decide keep their values). CTS and DSR both hold output when the line asks for
// hardware handshaking. One and a half stop bits exist on a UART only for 5-bit
// characters; with longer ones the line sends two, as the UART itself does.
// No value for a rate, size or stop-bit count the line cannot carry.
std::optional<CommDcb> CommDcbFor(const SerialLine& line, CommDcb current);

// The line a control block describes.
SerialLine SerialLineOf(const CommDcb& dcb);

}  // namespace zorvik
