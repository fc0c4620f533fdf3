#pragma once
// Names and messages of the printer link, letter for letter.
namespace zorvik {

inline constexpr char kMakerName[] = "KARVO";
inline constexpr char kModelName[] = "LXT-640IV";
// Port-list entries for USB printers: this prefix followed by the device path.
inline constexpr char kUsbPortPrefix[] = "LXT-640IV:";

inline constexpr char kNetErrorTitle[] = "Error";
inline constexpr char kNetSocketCreateFailed[] = "Error : Failed to Create socket!";
inline constexpr char kNetConnectFailed[] =
    "Error : Failed to connected \r\nPlease, check IP port configuration in printer control pannel \"PORT\"";

}  // namespace zorvik
