#pragma once
// Numeric control ids of the "Printer Status" dialog (template 130), its two pages
// (templates 131 and 105) and the wait box (template 101). The widgets keep them as
// their controlId property.
#include <array>

namespace zorvik {

// "Printer Status".
inline constexpr int kStatusDialogTemplate = 130;
inline constexpr int kIdStatusProgress = 10;
inline constexpr int kIdStatusGet = 1002;
inline constexpr int kIdStatusSet = 1003;
inline constexpr int kIdStatusSave = 1004;
inline constexpr int kIdStatusLoad = 1005;
inline constexpr int kIdStatusInitialize = 1006;
inline constexpr int kIdStatusExit = 1007;
inline constexpr int kIdStatusPrintCodepage = 1009;
inline constexpr int kIdStatusTabs = 1010;
inline constexpr int kIdStatusPrintStatus = 1011;

// "Printer Setting" page.
inline constexpr int kPrinterSettingTemplate = 131;
inline constexpr int kIdSettingCodePage = 11;
inline constexpr int kIdSettingDoubleFont = 12;
inline constexpr int kIdSettingPrintSpeed = 1018;
inline constexpr int kIdSettingEmulation = 1020;
inline constexpr int kIdSettingSingleFont = 1021;
inline constexpr int kIdSettingPowerSaveDisable = 1033;
inline constexpr int kIdSettingPowerSaveEnable = 1034;
inline constexpr int kIdSettingEntranceTime = 1035;
inline constexpr int kIdSettingFirmware = 1059;
inline constexpr int kIdSettingLanguage = 1060;
inline constexpr int kIdSettingModel = 1061;

// "Memory switch" page.
inline constexpr int kMemorySwitchTemplate = 105;
inline constexpr int kIdSwitchCaption = 1000;
inline constexpr int kIdSwitchStatusLine = 1001;
inline constexpr int kIdSwitchBack = 1009;
inline constexpr int kIdSwitchNext = 1010;
// Pins 1 to 8.
inline constexpr std::array<int, 8> kIdSwitchPinLabels = {1063, 1064, 1065, 1066, 1067, 1068, 1069, 1070};
inline constexpr std::array<int, 8> kIdSwitchPinLists = {1017, 1026, 1027, 1028, 1029, 1030, 1031, 1032};

}  // namespace zorvik
