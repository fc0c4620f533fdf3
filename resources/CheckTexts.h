#pragma once
// Messages and command bytes of the connection check, letter for letter.
#include <cstdint>

namespace zorvik {

inline constexpr char kMsgPortConfigError[] = "Port Configuration Set Error!";
inline constexpr char kMsgCantOpenPort[] = "Can't open port and Printer is disconnected";
inline constexpr char kMsgPortError[] = "Port error! Check printer's port, please.";
inline constexpr char kMsgNoPrinterId[] = "Fail to get printer ID.\r\n\r\nPlease retry connect";
inline constexpr char kMsgWrongMaker[] = "This printer don't match our company name.";
inline constexpr char kMsgWrongModel[] = "The connected printer has different Model name.";
inline constexpr char kMsgConnected[] = "Printer is connected.";

inline constexpr std::uint8_t kCmdInitialize[] = {0x1B, 0x40};                              // ESC @
inline constexpr std::uint8_t kCmdSelectPeripheral[] = {0x1B, 0x3D, 0x01};                  // ESC = 1
inline constexpr std::uint8_t kCmdAutoStatusOff[] = {0x1D, 0x61, 0x00};                     // GS a 0
inline constexpr std::uint8_t kCmdPrinterId3[] = {0x1D, 0x49, 0x03};                        // GS I 3
inline constexpr std::uint8_t kCmdMakerName[] = {0x1D, 0x49, 0x42};                         // GS I 66
inline constexpr std::uint8_t kCmdModelName[] = {0x1D, 0x49, 0x43};                         // GS I 67
inline constexpr std::uint8_t kCmdFirmwareVersion[] = {0x1D, 0x49, 0x41};                   // GS I 65
inline constexpr std::uint8_t kCmdLanguage[] = {0x1D, 0x49, 0x45};                          // GS I 69
inline constexpr std::uint8_t kCmdSelfTest[] = {0x1D, 0x28, 0x41, 0x02, 0x00, 0x01, 0x02};  // GS ( A

inline constexpr std::uint8_t kPrinterIdReply = 0x6F;  // "o"
inline constexpr std::uint8_t kTextHeader = 0x5F;      // "_"

}  // namespace zorvik
