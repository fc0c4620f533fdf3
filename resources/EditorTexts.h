#pragma once
// Captions, messages, canned command texts and command bytes of the command
// editor and its pickers, letter for letter.
#include <cstddef>
#include <cstdint>

#include "resources/CodePages.h"

namespace zorvik {

inline constexpr char kEditorCaption[] = "Command Test Editor";

// Canned commands: lowercase hexadecimal pairs, each followed by one space.
inline constexpr char kTextFontA[] = "1b 21 00 ";            // ESC ! 0
inline constexpr char kTextFontB[] = "1b 21 01 ";            // ESC ! 1
inline constexpr char kTextBoldOn[] = "1b 45 01 ";           // ESC E 1
inline constexpr char kTextBoldOff[] = "1b 45 00 ";          // ESC E 0
inline constexpr char kTextUnderlineOn[] = "1b 2d 01 ";      // ESC - 1
inline constexpr char kTextUnderlineOff[] = "1b 2d 00 ";     // ESC - 0
inline constexpr char kTextAlignLeft[] = "1b 61 00 ";        // ESC a 0
inline constexpr char kTextAlignCenter[] = "1b 61 01 ";      // ESC a 1
inline constexpr char kTextAlignRight[] = "1b 61 02 ";       // ESC a 2
inline constexpr char kTextPaperCut[] = "0a 1d 56 42 00 ";   // LF, GS V 66 0
inline constexpr char kTextFeed[] = "0a ";                   // LF
inline constexpr char kTextDrawer1[] = "1b 70 00 19 ff ";    // ESC p 0 25 255: pin 2, 50 ms
inline constexpr char kTextDrawer2[] = "1b 70 01 19 ff ";    // ESC p 1 25 255: pin 5, 50 ms
inline constexpr char kTextSelectCodepage[] = "1b 74 ";      // ESC t, then n
inline constexpr char kTextDefaultLineSpacing[] = "1b 32 ";  // ESC 2
inline constexpr char kTextLineSpacing[] = "1b 33 ";         // ESC 3, then n
inline constexpr char kTextNvImage[] = "1c 70 ";             // FS p, then n
inline constexpr char kTextNvImageMode[] = " 00 ";           // m = 0, normal mode

// "Print Test String": the text, then ESC J 255 (print and feed 255 motion units).
inline constexpr char kTestString[] = "Command Test String Line1\r\nCommand Test String Line2";
inline constexpr std::uint8_t kCmdTestStringFeed[] = {0x1B, 0x4A, 0xFF};

// Command files.
inline constexpr char kCommandFileSaveTitle[] = "Save As";
inline constexpr char kCommandFileOpenTitle[] = "Open";
inline constexpr char kCommandFileSaveName[] = "command.bin";
inline constexpr char kCommandFileOpenName[] = "*.bin";
inline constexpr char kCommandFileExtension[] = "bin";
inline constexpr char kCommandFileFilter[] = "Binary files(*.bin)|*.bin|All files(*.*)|*.*||";
// Long command files show this many pairs per line.
inline constexpr std::size_t kLoadedPairsPerLine = 16;

inline constexpr char kMsgNoDataToWrite[] = "No data to write";
inline constexpr char kMsgNoSaveFile[] = "Don't select save file";
inline constexpr char kMsgNoLoadFile[] = "Don't select load file";
inline constexpr char kTitleLoadWarning[] = "warning";  // lower case, as it has always been
// printf formats: the pair, its line and its column.
inline constexpr char kMsgBadPairNotSent[] =
    "\"%s\" at line %zu, column %zu is not a hexadecimal byte.\r\nNothing was sent to the printer.";
inline constexpr char kMsgBadPairNotSaved[] =
    "\"%s\" at line %zu, column %zu is not a hexadecimal byte.\r\nNothing was written.";
// printf formats: the file name, then the system's reason.
inline constexpr char kMsgCantSaveFile[] = "Can't save the command file\r\n%s\r\n(%s)";
inline constexpr char kMsgCantLoadFile[] = "Can't read the command file\r\n%s\r\n(%s)";

// Pickers.
inline constexpr char kCodepageCaption[] = "Select Codepage";
inline constexpr char kLineSpacingCaption[] = "Select Range(0~255)";
inline constexpr char kAddressCaption[] = "Select Address";

// The picker's code tables: kCodePages (CodePages.h).

inline constexpr int kLineSpacingMax = 255;
// Control id of the line spacing picker's value box.
inline constexpr int kIdLineSpacingValue = 1009;

inline constexpr std::size_t kNvImageAddressCount = 5;
extern const char* const kNvImageAddresses[kNvImageAddressCount];

}  // namespace zorvik
