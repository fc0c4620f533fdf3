#pragma once
// Titles and file messages shared by every part of the program.
namespace zorvik {

inline constexpr char kAppName[] = "Zorvik";  // title of application-titled boxes
inline constexpr char kTitleInformation[] = "Information";
inline constexpr char kTitleWarning[] = "Warning";

// A file that could not be used: the file name follows the text, then the reason in brackets.
inline constexpr char kMsgCantOpenFile[] = "Can't open the file: ";
inline constexpr char kMsgCantReadFile[] = "Can't read the file: ";
inline constexpr char kMsgCantWriteFile[] = "Can't write the file: ";
// Reasons a file is refused before it is read.
inline constexpr char kReasonNotRegularFile[] = "not a regular file";
inline constexpr char kReasonLargerThan[] = "larger than ";

}  // namespace zorvik
