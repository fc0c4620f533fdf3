#pragma once
// Texts of the command-line tool: help, headings, change lists and outcomes.
namespace zorvik {

inline constexpr char kCliName[] = "zorvik-cli";
inline constexpr char kCliDescription[] =
    "Configures the KARVO LXT-640IV thermal receipt printer from the command line.";

// Exit statuses: 0 success, 1 a printer action or check failed, 2 bad arguments.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Switch 12 has no page in the window; it carries the double-byte font value.
inline constexpr char kSwitch12PinLabel[] = "Double byte Font (Set in Printer Setting Tab)";

inline constexpr char kUnknownValue[] = "(not read)";
inline constexpr char kNotInList[] = "(value not in the list)";
inline constexpr char kGb2312OrBig5[] = "GB2312(Simplified Chinese) / BIG5(Traditional Chinese)";

inline constexpr char kMsgNothingToChange[] = "The printer already holds these settings; nothing written.";
inline constexpr char kMsgDryRun[] = "Dry run: nothing written.";
inline constexpr char kMsgRollbackSaved[] = "Previous settings kept in ";
inline constexpr char kMsgRollbackFailed[] = "Can't keep the previous settings, nothing written: ";
inline constexpr char kMsgReadBackFailed[] = "The printer did not answer the read-back after the write.";
inline constexpr char kMsgNotHeld[] = "WRITE NOT HELD: the printer does not hold what was written:";
inline constexpr char kMsgNotHeldShort[] = "write not held";
inline constexpr char kMsgVerified[] = "Read back: the printer holds every written setting.";
inline constexpr char kMsgRestoreHint[] = "Restore the previous settings with: zorvik-cli set --from ";
inline constexpr char kMsgPowerSaveNotKept[] = "(power save is not kept in status files)";
inline constexpr char kMsgReadFailed[] = "The printer stopped answering while its settings were read.";
inline constexpr char kMsgFontDownloadFailedCli[] = "The font download did not finish.";
inline constexpr char kMsgWriteFailed[] = "The printer went away before it took every setting.";
inline constexpr char kMsgEntranceFromPrinter[] = "The printer reports a power-save entrance time of ";
inline constexpr char kMsgEntranceFromPrinterHint[] =
    " s, outside 6 to 255; nothing was written. Give --entrance-time 6..255 to write power save.";
inline constexpr char kMsgPowerSaveUnknown[] =
    "The printer's power save could not be read; give both --power-save and --entrance-time to write it.";
inline constexpr char kMsgPowerSaveNotRead[] = "Power save could not be read back after the write.";
inline constexpr char kCliQueueOption[] =
    "Printer queue of the system whose port to use when no --port or --targets is given; "
    "the serial line options given override its line settings";
inline constexpr char kMsgQueueNoPort[] = "no such printer queue, or its port is none zorvik-cli can use";
inline constexpr char kMsgSamePrinter[] = "name the same printer; name each printer once";
inline constexpr char kMsgSendStalled[] = "The printer stopped taking bytes (none for 10 s); ";
inline constexpr char kMsgEditsContradict[] = " contradict each other; name each pin once";
inline constexpr char kMsgBothSet[] = " both set MSW ";
inline constexpr char kMsgLeaveOneOut[] = "; leave one out";
inline constexpr char kMsgContradictsSetting[] = " contradicts a setting of the same state, which sets it ";
inline constexpr char kMsgActionStopped[] = "The action stopped on an unexpected error: ";
inline constexpr char kMsgUnknownException[] = "an error of unknown kind";

// The step a "set --json" names when it fails.
inline constexpr char kStageConnect[] = "connect";
inline constexpr char kStageIdentify[] = "identify";
inline constexpr char kStageRead[] = "read";
inline constexpr char kStageWrite[] = "write";
inline constexpr char kStageVerify[] = "verify";
inline constexpr char kStageFontDownload[] = "font download";

// Progress phases that get a bar when there is one printer.
inline constexpr char kPhaseFontDownload[] = "font download";
inline constexpr char kPhaseSending[] = "sending";

}  // namespace zorvik
