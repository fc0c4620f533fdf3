#pragma once
// Titles shared by every message box of the program.
namespace zorvik {

inline constexpr char kAppName[] = "Zorvik";  // title of application-titled boxes
inline constexpr char kTitleInformation[] = "Information";
inline constexpr char kTitleWarning[] = "Warning";

}  // namespace zorvik
