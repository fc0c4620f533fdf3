#pragma once
// Texts, list contents and command bytes of the "Printer Status" dialog, its two
// pages, status files and the font download, letter for letter.
#include <array>
#include <cstddef>
#include <cstdint>

#include "resources/CodePages.h"
#include "resources/CommonTexts.h"
#include "resources/SwitchNumbers.h"

namespace zorvik {

// ---- Messages -------------------------------------------------------------------
inline constexpr char kMsgOtherCompany[] = "Don't use this program for other company product.";
inline constexpr char kMsgRestartPrinter[] = "Can't connect printer. Please restart printer.";
inline constexpr char kMsgModelMismatch[] = "This printer don't match our printer name.";
inline constexpr char kMsgGetStatusOk[] = "Success to get status of printer.";
inline constexpr char kMsgSetStatusOk[] = "Success to set status of printer";
inline constexpr char kMsgEntranceRange[] = "Enterance time should be from 6 to 255.";
inline constexpr char kMsgFirmwareChanged[] = "Success to Change the Firmware,\n And Now Start Font "
                                              "Download!\r\nWhen download is finished, Zorvik is closed.";
inline constexpr char kMsgFontLastBlockError[] = "Font Download Error at less than 4096";
inline constexpr char kMsgFontDownloadOk[] = "Success to Download Font!, And Reboot Printer";
inline constexpr char kMsgFontDownloadFailed[] = "Fail to download Font!";
inline constexpr char kMsgWrongFormat[] = "Wrong format files loaded.";
// Status file failures: kMsgCantOpenFile, kMsgCantReadFile and kMsgCantWriteFile (CommonTexts.h).
// Why the command line refuses a file as a full status file.
inline constexpr char kMsgStatusFileNotRegular[] = "not a regular file, so no status file";
inline constexpr char kMsgStatusFileHolds[] = "the file holds ";
inline constexpr char kMsgStatusFileSize[] = " bytes; a status file holds exactly ";
inline constexpr char kMsgBytes[] = " bytes";

inline constexpr char kWaitBoxText[] = "Please wait...... During Initializing";

// ---- Status files -----------------------------------------------------------------
inline constexpr char kSaveStatusTitle[] = "Save current status";
inline constexpr char kLoadStatusTitle[] = "Load saved status";
inline constexpr char kStatusProposedName[] = "Noname.sts";
inline constexpr char kStatusOpenPattern[] = "*.sts";
inline constexpr char kStatusExtension[] = "sts";
inline constexpr char kStatusFilter[] = "Status Files (*.sts)|*.sts|";

// ---- Dialog captions --------------------------------------------------------------
inline constexpr char kStatusDialogTitle[] = "Printer Status";
inline constexpr char kTabMemorySwitch[] = "Memory switch";
inline constexpr char kTabPrinterSetting[] = "Printer Setting";
inline constexpr char kButtonPrintStatus[] = "Print Status";
inline constexpr char kButtonPrintCodepage[] = "Print Codepage";
inline constexpr char kButtonGetStatus[] = "Get Status";
inline constexpr char kButtonSetStatus[] = "Set Status";
inline constexpr char kButtonSaveStatus[] = "Save Status";
inline constexpr char kButtonLoadStatus[] = "Load Status";
inline constexpr char kButtonInitializeStatus[] = "Initialize Status";
inline constexpr char kButtonExit[] = "Exit";
inline constexpr char kGroupSetupStatus[] = "Setup Status";
inline constexpr char kGroupUserStatus[] = "User Status Setting";
inline constexpr char kProgressLabel[] = "Progess :";

// Printer setting page captions.
inline constexpr char kLabelModel[] = "Printer Model :";
inline constexpr char kLabelFirmware[] = "Firmware Version :";
inline constexpr char kLabelLanguage[] = "Language :";
inline constexpr char kGroupDoubleFont[] = "Double byte Font selection";
inline constexpr char kGroupEmulation[] = "Emulation";
inline constexpr char kGroupCodePage[] = "Default Code Page";
inline constexpr char kGroupSingleFont[] = "Single Byte Font Selection";
inline constexpr char kGroupPrintSpeed[] = "Print Speed";
inline constexpr char kGroupPowerSave[] = "Power Save Mode";
inline constexpr char kPowerSaveDisable[] = "Disable";
inline constexpr char kPowerSaveEnable[] = "Enable";
inline constexpr char kLabelEntranceTime[] = "Enterance time(sec) :";

// Memory switch page captions.
inline constexpr char kLabelMsw[] = "MSW :";
inline constexpr char kButtonBack[] = "< &Back";
inline constexpr char kButtonNext[] = "&Next >";

// ---- Printer setting page lists ------------------------------------------------------
inline constexpr std::array<const char*, 4> kPrintSpeedItems = {"No Change", "Print speed 3 [Default]",
                                                                "Print speed 2", "Print speed 1"};

inline constexpr std::array<const char*, 6> kEmulationItems = {
    "No Change", "Emulation 1 [Default]", "Emulation 2", "Emulation 3", "Emulation 4", "Emulation 5"};

inline constexpr std::array<const char*, 4> kSingleFontItems = {"No Chnage", "Font A (12x24)",
                                                                "Font B (9x17)", "Font C (9x24)"};

// Double-byte font list: item, font value (-1 none), font image resource id (0 none).
struct DoubleFontItem {
    const char* text;
    int fontValue;
    int resourceId;
};
inline constexpr std::array<DoubleFontItem, 7> kDoubleFontItems = {{
    {"No Change", -1, 0},
    {"[Single Byte Font]", 0, 0},
    {"KS5601(Korean)", 1, 144},
    {"GB2312(Simplified Chinese)", 2, 142},
    {"BIG5(Traditional Chinese)", 2, 141},
    {"SHIFT-JIS(Japanese)", 3, 143},
    {"WPC1257_KARVO", 4, 155},
}};

// Code page list: index 0 "No Change", index i stands for code page value i - 1.
inline constexpr auto kCodePageItems = [] {
    std::array<const char*, kCodePages.size() + 1> items{"No Change"};
    for (std::size_t i = 0; i < kCodePages.size(); ++i)
        items[i + 1] = kCodePages[i].name;
    return items;
}();

// ---- Memory switch page --------------------------------------------------------------
enum class SwitchOptionList { Standard, Reversed, Destination, FontBSize, BuzzerCount };

// The three entries of each option list: state 0 (no change), 1 (on), 2 (off).
inline constexpr std::array<std::array<const char*, 3>, 5> kSwitchOptionItems = {{
    {"No Change", "Enable", "Disable"},
    {"No Change", "Disable", "Enable"},
    {"No Change", "Double byte Country", "Single byte Country"},
    {"No Change", "Font B(9x24)", "Font B(9x17)"},
    {"No Change", "1 time", "3 times"},
}};

inline constexpr std::array<const char*, 8> kReservedPinLabels = {
    "[PIN 1] Reserved", "[PIN 2] Reserved", "[PIN 3] Reserved", "[PIN 4] Reserved",
    "[PIN 5] Reserved", "[PIN 6] Reserved", "[PIN 7] Reserved", "[PIN 8] Reserved"};

// Pages 1 to 7 show switches kSwitchNumbers[0..6], captioned with their numbers.

// Every row that differs from "reserved, standard list, enabled".
struct SwitchLabelRow {
    int page;  // 1..7
    int pin;   // 1..8
    const char* label;
    SwitchOptionList list;
    bool enabled;
};
inline constexpr std::array<SwitchLabelRow, 22> kSwitchLabelRows = {{
    {1, 1, "Print Speed (Set in Printer Setting Tab)", SwitchOptionList::Standard, false},
    {1, 2, "Print Speed (Set in Printer Setting Tab)", SwitchOptionList::Standard, false},
    {2, 1, "[PIN 1] Specification for Destination", SwitchOptionList::Destination, false},
    {2, 3, "Codepage(Set in Printer Setting Tab)", SwitchOptionList::Standard, false},
    {2, 4, "Codepage(Set in Printer Setting Tab)", SwitchOptionList::Standard, false},
    {2, 5, "Codepage(Set in Printer Setting Tab)", SwitchOptionList::Standard, false},
    {2, 6, "Codepage(Set in Printer Setting Tab)", SwitchOptionList::Standard, false},
    {2, 7, "Codepage(Set in Printer Setting Tab)", SwitchOptionList::Standard, false},
    {2, 8, "Codepage(Set in Printer Setting Tab)", SwitchOptionList::Standard, false},
    {3, 1, "Select Emulation (Set in Printer Setting Tab)", SwitchOptionList::Standard, false},
    {3, 2, "Select Emulation (Set in Printer Setting Tab)", SwitchOptionList::Standard, false},
    {3, 3, "Select Emulation (Set in Printer Setting Tab)", SwitchOptionList::Standard, false},
    {4, 1, "Swap font B and C", SwitchOptionList::FontBSize, true},
    {4, 3, "Single byte Font election(Set in Printer Setting Tab)", SwitchOptionList::Standard, false},
    {4, 4, "Single byte Font election(Set in Printer Setting Tab)", SwitchOptionList::Standard, false},
    {5, 3, "[PIN 3] Two-Color Support", SwitchOptionList::Standard, true},
    {6, 1, "[PIN 1] Auto generate pulse to internal Buzzer", SwitchOptionList::Standard, true},
    {6, 2, "[PIN 2] Auto Internal buzzer control", SwitchOptionList::BuzzerCount, true},
    {6, 4, "[PIN 4] Auto external buzzer after cutting", SwitchOptionList::Standard, true},
    {7, 6, "[PIN 6] Reserved", SwitchOptionList::Reversed, true},
    {7, 7, "[PIN 7] Reserved", SwitchOptionList::Reversed, true},
    {7, 8, "[PIN 8] Reserved", SwitchOptionList::Reversed, true},
}};

// ---- Command bytes ---------------------------------------------------------------------
// GS ( E user-setting functions.
inline constexpr std::uint8_t kCmdUserModeEnter[] = {0x1D, 0x28, 0x45, 0x03,
                                                     0x00, 0x01, 0x49, 0x4E};  // fn 1 "IN"
inline constexpr std::uint8_t kCmdUserModeEnd[] = {0x1D, 0x28, 0x45, 0x04, 0x00,
                                                   0x02, 0x4F, 0x55, 0x54};  // fn 2 "OUT"
// fn 3: switch number at index 6, characters for pins 8..1 at indexes 7..14.
inline constexpr std::uint8_t kCmdSwitchWriteTemplate[] = {0x1D, 0x28, 0x45, 0x0A, 0x00, 0x03, 0x00, '2',
                                                           '2',  '2',  '2',  '2',  '2',  '2',  '2'};
// fn 4: switch number at index 6.
inline constexpr std::uint8_t kCmdSwitchReadTemplate[] = {0x1D, 0x28, 0x45, 0x02, 0x00, 0x04, 0x00};
inline constexpr std::size_t kSwitchNumberIndex = 6;
inline constexpr std::size_t kSwitchCharsIndex = 7;

inline constexpr std::uint8_t kSwitchReplyHeader = 0x37;  // first byte of an fn 4 reply
inline constexpr std::uint8_t kSwitchReplySecond = 0x21;
inline constexpr std::uint8_t kSwitchReplyEnd = 0x00;  // after the eight characters

// Vendor commands.
inline constexpr std::uint8_t kCmdPowerSaveQuery[] = {0x08, 0x5E, 0x50, 0x31};
// Enable flag at index 4, entrance time at index 5.
inline constexpr std::uint8_t kCmdPowerSaveSetTemplate[] = {0x08, 0x5E, 0x50, 0x30, 0x00, 0x00};
inline constexpr std::size_t kPowerSaveFlagIndex = 4;
inline constexpr std::size_t kPowerSaveTimeIndex = 5;
inline constexpr std::uint8_t kCmdPrintStatusPage[] = {0x08, 0x39, 0x01, 0x00};
inline constexpr std::uint8_t kCmdPrintCodepage[] = {0x08, 0x39, 0x02, 0x00};

// Part of the model name every supported printer reports.
inline constexpr char kModelFamily[] = "LXT-";

}  // namespace zorvik
