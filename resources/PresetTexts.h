#pragma once
// Names the port presets read: the program's own settings file with its value
// names, and the starts of port texts. The own queue's name and the key paths are
// the main window's (MainTexts.h).
namespace zorvik {

// The program's own settings file, relative to the system configuration folder.
inline constexpr char kOwnPresetOrganization[] = "KARVO";
inline constexpr char kOwnPresetApplication[] = "LXT-640IV";
inline constexpr char kOwnPresetFileSuffix[] = ".conf";
inline constexpr char kSystemConfigFolder[] = "/etc/xdg";  // when XDG_CONFIG_DIRS is unset

// Value names of the own preset.
inline constexpr char kValuePort[] = "Port";
inline constexpr char kValueUsbdeviceName[] = "UsbdeviceName";
inline constexpr char kValueTcpIp[] = "TcpIp";
inline constexpr char kValueTcpPort[] = "TcpPort";
inline constexpr char kValueBaudRate[] = "BaudRate";
inline constexpr char kValueDataBits[] = "DataBits";
inline constexpr char kValueFlowControl[] = "FlowControl";
inline constexpr char kValueParity[] = "Parity";
inline constexpr char kValueStopBits[] = "StopBits";

// Where Windows keeps a serial port's line settings and a standard TCP/IP port's
// number, under HKEY_LOCAL_MACHINE (the queue and own keys are in MainTexts.h).
inline constexpr char kPortsKeyPath[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
inline constexpr char kTcpIpPortsKeyPrefix[] =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports\\";
inline constexpr char kValuePortNumber[] = "PortNumber";
// The port a queue is switched to while the program holds its printer's port.
inline constexpr char kSpoolerFilePort[] = "FILE:";

// Starts of a port text and what they stand for.
inline constexpr char kPortStartSerial[] = "COM";
inline constexpr char kPortStartParallel[] = "LPT";
inline constexpr char kPortStartUsb[] = "USB";
inline constexpr char kPortStartTcpIp[] = "IP";    // a standard TCP/IP port, "IP_10.0.0.5"
inline constexpr char kPortTcpIpPrefix[] = "IP_";  // cut off to leave the address
inline constexpr char kPortStartNet[] = "NET";     // the own preset's Ethernet
// A serial device named by its path ("/dev/ttyUSB0", "/dev/serial/by-id/usb-…").
inline constexpr char kPortStartSerialDevice[] = "/dev/";

// Port texts made from a queue's device URI.
inline constexpr char kUsbQueuePort[] = "USB001";
inline constexpr unsigned kDefaultSocketPort = 9100;  // a socket:// URI without a port

}  // namespace zorvik
