#pragma once
// Captions, list entries, messages and control ids of the main window, letter for letter.
#include <array>
#include <cstdint>

#include "resources/Version.h"

namespace zorvik {

inline constexpr char kMainCaption[] = "KARVO LXT-640IV";
// The caption while the window runs against the built-in virtual printer (--demo).
inline constexpr char kMainCaptionDemo[] = "KARVO LXT-640IV (virtual printer)";
inline constexpr char kAboutMenuEntry[] = "&About Zorvik...";
inline constexpr char kAboutCaption[] = "About Zorvik";
inline constexpr char kAboutText[] =
    "Zorvik\n\nConfiguration tool for the KARVO LXT-640IV thermal receipt printer.\n"
    "Version " ZORVIK_VERSION;

inline constexpr char kMsgUsbNotConnected[] =
    "Printer is not connected by USB.\nPlease, turn on the printer!!";
// The command line: "zorvik [options] [queue]", its help and its failures.
inline constexpr char kUsageDescription[] =
    "Configures the KARVO LXT-640IV thermal receipt printer: interface, memory switches, status "
    "files, command bytes and font downloads.";
inline constexpr char kUsageQueueName[] = "queue";
inline constexpr char kUsageQueueSyntax[] = "[queue]";
inline constexpr char kUsageQueueHelp[] =
    "A printer queue of the system whose device presets the interface and line settings; "
    "Custom_HXR-615deltaV reads the program's own preset file.";
inline constexpr char kUsageDemoHelp[] =
    "Run against the built-in virtual printer on a free loopback TCP port.";
inline constexpr char kMsgBadArguments[] = "zorvik: %s (see zorvik --help)";
inline constexpr char kMsgNoDisplay[] =
    "zorvik: no display to open the window on: DISPLAY and WAYLAND_DISPLAY are not set "
    "(QT_QPA_PLATFORM=offscreen runs without one; zorvik-cli needs none)";
inline constexpr char kMsgWindowCannotStart[] = "zorvik: the window system could not be started";

// Start-up message when the socket layer cannot be prepared: the socket layer's and
// the system's last error codes.
inline constexpr char kMsgSocketCreateError[] = "Soket Create Error! : %d, %d";

inline constexpr std::array<const char*, 4> kInterfaceNames = {"SERIAL", "PARALLEL", "USB", "Ethernet"};
inline constexpr std::array<const char*, 14> kSerialPortNames = {
    "COM1", "COM2", "COM3",         "COM4",         "COM5",         "COM6",         "COM7",
    "COM8", "COM9", "\\\\.\\COM10", "\\\\.\\COM11", "\\\\.\\COM12", "\\\\.\\COM13", "\\\\.\\COM14"};
// Between a port name and the device file behind it, in the Port list's tooltips:
// "COM3 → /dev/ttyUSB0".
inline constexpr char kPortDeviceArrow[] = " \u2192 ";
inline constexpr std::array<const char*, 3> kParallelPortNames = {"LPT1", "LPT2", "LPT3"};
inline constexpr std::array<const char*, 7> kBaudRates = {"2400",  "4800",  "9600",  "19200",
                                                          "38400", "57600", "115200"};
inline constexpr std::array<const char*, 2> kDataBits = {"8", "7"};
inline constexpr std::array<const char*, 5> kParities = {"None", "Odd", "Even", "Mark", "Space"};
inline constexpr std::array<const char*, 3> kStopBits = {"1", "1.5", "2"};
inline constexpr std::array<const char*, 3> kFlowControls = {"Hardware", "Xon/Xoff", "None"};

// The port name the serial choice sets before the check takes the selected entry.
inline constexpr char kSerialDefaultPortName[] = "COM1:";
inline constexpr char kParallelDefaultPortName[] = "LPT1";

// The "IP" field's default: a private address nothing ever connects to on its own.
inline constexpr std::array<std::uint8_t, 4> kDefaultIpAddress = {192, 168, 1, 100};
inline constexpr std::uint32_t kDefaultTcpPort = 9100;

// Time the printer needs for the self-test print before it takes commands again.
inline constexpr std::uint32_t kSelfTestWaitMs = 4300;

// Start selections: the window opens at 9600 baud, choosing "SERIAL" selects 19200.
inline constexpr int kOpeningBaudIndex = 2;
inline constexpr int kSerialChoiceBaudIndex = 3;

// Control ids of the main window, kept as the "controlId" property of each widget.
enum MainControlId : int {
    kIdExit = 2,
    kIdInterfaceGroup = 1000,
    kIdRadioSerial = 1001,
    kIdRadioParallel = 1002,
    kIdRadioUsb = 1003,
    kIdRadioEthernet = 1004,
    kIdSettingGroup = 1010,
    kIdPortList = 1011,
    kIdBaudList = 1012,
    kIdDataBitsList = 1013,
    kIdParityList = 1014,
    kIdStopBitsList = 1015,
    kIdFlowList = 1016,
    kIdIpAddress = 1020,
    kIdTcpPort = 1021,
    kIdCheck = 1030,
    kIdSelfTest = 1031,
    kIdRunManager = 1032,
    kIdCommandEditor = 1033,
    kIdAboutButton = 1040,
};

}  // namespace zorvik

namespace zorvik {

// The command-line argument that names the product's own queue, and the key paths
// the preset reads for it and for any other queue (the queue name follows).
inline constexpr char kOwnQueueName[] = "Custom_HXR-615deltaV";
inline constexpr char kOwnKeyPath[] = "SOFTWARE\\KARVO\\LXT-640IV";
inline constexpr char kQueueKeyPrefix[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";

}  // namespace zorvik
