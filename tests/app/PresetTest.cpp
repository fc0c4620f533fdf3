#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "app/Preset.h"
#include "app/PresetSettingsFile.h"
#include "support/FakeQueuePresets.h"
#include "support/LineCodes.h"
#include "support/PortSettingsPrint.h"
#include "support/TempDir.h"

namespace zorvik {
namespace {

// Hand-given queues and an own settings file in a temporary folder.
struct SourcesFixture {
    test::TempDir dir;
    std::string ownFile = dir.File("LXT-640IV.conf");
    test::FakeQueuePresets queues;
    PresetSettingsFile own{ownFile};

    void WriteOwn(const std::string& text) const { std::ofstream(ownFile) << text; }
    // The preset the argument names over base; base itself when there is none.
    std::optional<PortSettings> For(std::string_view argument, PortSettings& settings) const
    {
        auto preset = PresetFor(argument, settings, queues, own);
        if (preset)
            settings = *preset;
        return preset;
    }
};

// The settings of a window that has just opened, as a preset finds them.
PortSettings WindowDefaults()
{
    return PortSettings{.baudRate = 9600, .dataBits = 8, .tcpPort = 9100};
}

PortSettings Members(InterfaceType type, std::string port, std::uint32_t baud, std::int32_t bits,
                     std::int32_t parity, std::int32_t stop, std::int32_t flow)
{
    PortSettings m = test::WithLine(WindowDefaults(), baud, bits, parity, stop, flow);
    m.interfaceType = type;
    m.portName = std::move(port);
    return m;
}

TEST(Preset, SourceFromArgument)
{
    struct Row {
        const char* argument;
        PresetSource source;
    };
    const Row rows[] = {
        {"", PresetSource::None},
        {"Custom_HXR-615deltaV", PresetSource::Own},
        {"custom_hxr-615deltav", PresetSource::Queue},
        {"\"Custom_HXR-615deltaV\"", PresetSource::Queue},
        {"Custom_HXR-615deltaV ", PresetSource::Queue},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.argument);
        EXPECT_EQ(ChoosePresetSource(row.argument), row.source);
    }
}

TEST(Preset, QueueFromDeviceUri)
{
    struct Row {
        const char* uri;
        std::optional<PortSettings> expected;  // no value: the members stay as they were
        const char* portMap = "";              // the user's ports.conf
    };
    const Row rows[] = {
        {"serial:/dev/ttyS1?baud=9600+bits=8+parity=none+flow=none",
         Members(InterfaceType::Serial, "COM2", 9600, 8, 0, 0, 2)},
        {"serial:/dev/ttyS0?baud=19200+bits=7+parity=even+stop=2+flow=soft",
         Members(InterfaceType::Serial, "COM1", 19200, 7, 2, 2, 1)},
        {"serial:/dev/ttyS0?baud=38400&parity=odd&flow=rtscts",
         Members(InterfaceType::Serial, "COM1", 38400, 8, 1, 0, 0)},
        {"serial:/dev/ttyS9?baud=115200+parity=mark+bits=8",
         Members(InterfaceType::Serial, "COM10", 115200, 8, 3, 0, 2)},
        {"serial:/dev/ttyS2", Members(InterfaceType::Serial, "COM3", 9600, 8, 0, 0, 2)},
        {"serial:/dev/ttyS2?baud=fast+bits=9+parity=maybe+stop=3+flow=dtrdsr",
         Members(InterfaceType::Serial, "COM3", 9600, 8, 0, 0, 0)},
        {"serial:/dev/ttyUSB0?baud=9600", Members(InterfaceType::Serial, "/dev/ttyUSB0", 9600, 8, 0, 0, 2)},
        {"serial:/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A6008isP-if00-port0?baud=19200+flow=hard",
         Members(InterfaceType::Serial, "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A6008isP-if00-port0",
                 19200, 8, 0, 0, 0)},
        {"serial:///dev/ttyACM0", Members(InterfaceType::Serial, "/dev/ttyACM0", 9600, 8, 0, 0, 2)},
        {"serial:/dev/ttyUSB0?baud=19200", Members(InterfaceType::Serial, "COM3", 19200, 8, 0, 0, 2),
         "COM3=/dev/ttyUSB0\n"},
        {"serial:/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A6008isP-if00-port0",
         Members(InterfaceType::Serial, "COM12", 9600, 8, 0, 0, 2),
         "\\\\.\\COM12=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A6008isP-if00-port0\n"},
        {"serial:/dev/ttyS1", Members(InterfaceType::Serial, "/dev/ttyS1", 9600, 8, 0, 0, 2),
         "COM2=/dev/ttyUSB0\n"},  // COM2 stands for another device now
        {"serial:/dev/ttyS1", Members(InterfaceType::Serial, "COM2", 9600, 8, 0, 0, 2), "COM7=/dev/ttyS1\n"},
        {"serial:/dev/ttyUSB1", Members(InterfaceType::Serial, "/dev/ttyUSB1", 9600, 8, 0, 0, 2),
         "COM3=/dev/ttyUSB0\n"},
        {"serial:/dev/../etc/shadow?baud=9600", std::nullopt},
        {"serial:/dev/", std::nullopt},
        {"serial:/dev/tty USB0", std::nullopt},
        {"serial:/home/user/ttyUSB0", std::nullopt},
        {"serial:ttyUSB0?baud=9600", std::nullopt},
        {"/dev/ttyUSB0", std::nullopt},
        {"/DEV/ttyS0", std::nullopt},
        {"parallel:/dev/lp0", Members(InterfaceType::Parallel, "LPT1", 9600, 8, 0, 0, 0)},
        {"parallel:/dev/lp2", Members(InterfaceType::Parallel, "LPT3", 9600, 8, 0, 0, 0)},
        {"parallel:/dev/parport0", std::nullopt},
        {"usb://KARVO/LXT-640IV?serial=00001", Members(InterfaceType::Usb, "USB001", 9600, 8, 0, 0, 0)},
        {"socket://10.0.0.5:9100", Members(InterfaceType::Ethernet, "10.0.0.5", 9100, 8, 0, 0, 0)},
        {"socket://10.0.0.5:4000/", Members(InterfaceType::Ethernet, "10.0.0.5", 4000, 8, 0, 0, 0)},
        {"socket://10.0.0.5", Members(InterfaceType::Ethernet, "10.0.0.5", 9100, 8, 0, 0, 0)},
        {"socket://10.0.0.5:0", std::nullopt},
        {"socket://printer.example:9100", std::nullopt},
        {"socket://[::1]:9100", std::nullopt},
        {"file:/dev/null", std::nullopt},
        {"FILE:", std::nullopt},
        {"ipp://10.0.0.5/ipp/print", std::nullopt},
        {"IPP://10.0.0.5/ipp/print", std::nullopt},
        {"", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.uri) + " " + row.portMap);
        SourcesFixture f;
        f.queues.names.LoadText(row.portMap);
        f.queues.Set("Receipt", row.uri);
        const PortSettings before = WindowDefaults();
        PortSettings m = WindowDefaults();
        EXPECT_EQ(f.For("Receipt", m).has_value(), row.expected.has_value());
        EXPECT_EQ(m, row.expected.value_or(before));
    }
}

TEST(Preset, QueueThatDoesNotExistChangesNothing)
{
    SourcesFixture f;
    f.queues.Set("Receipt", "serial:/dev/ttyS1?baud=19200");
    for (const char* argument : {"Other", "receipt", "\"Receipt\"", ""}) {
        SCOPED_TRACE(argument);
        PortSettings m = WindowDefaults();
        EXPECT_FALSE(f.For(argument, m));
        EXPECT_EQ(m, WindowDefaults());
    }
    // A quoted argument is looked up with its quotes.
    f.queues.Set("\"Receipt\"", "parallel:/dev/lp1");
    PortSettings m = WindowDefaults();
    EXPECT_TRUE(f.For("\"Receipt\"", m));
    EXPECT_EQ(m.portName, "LPT2");
}

TEST(Preset, OwnSettings)
{
    struct Row {
        const char* file;  // nullptr: no file at all
        std::optional<PortSettings> expected;
    };
    const Row rows[] = {
        {"Port=COM1\nBaudRate=38400\nDataBits=7\nParity=2\nStopBits=0\nFlowControl=1\n",
         Members(InterfaceType::Serial, "COM1", 38400, 7, 2, 0, 1)},
        {"[General]\nPort=COM1:\nBaudRate=19200\n",
         Members(InterfaceType::Serial, "COM1:", 19200, 8, 0, 0, 0)},
        {"Port=NET\nTcpIp=10.0.0.7\nTcpPort=9100\n",
         Members(InterfaceType::Ethernet, "10.0.0.7", 9100, 8, 0, 0, 0)},
        {"Port=NET\nTcpIp=10.0.0.7\nTcpPort=4000\nBaudRate=115200\n",
         Members(InterfaceType::Ethernet, "10.0.0.7", 4000, 8, 0, 0, 0)},
        {"Port=NET\n",
         Members(InterfaceType::Ethernet, "", 9100, 8, 0, 0, 0)},  // keeps the window's TCP port
        {"Port=USB\nUsbdeviceName=001\n", Members(InterfaceType::Usb, "USB001", 9600, 8, 0, 0, 0)},
        {"Port=USB\n", Members(InterfaceType::Usb, "USB", 9600, 8, 0, 0, 0)},
        {"Port=LPT2\nTcpPort=1234\nBaudRate=38400\n",
         Members(InterfaceType::Parallel, "LPT2", 1234, 8, 0, 0, 0)},
        {"Port=COM3\nBaudRate=fast\nDataBits=-7\nParity=\nStopBits=4294967295\nFlowControl=9\n",
         Members(InterfaceType::Serial, "COM3", 9600, 8, 0, -1, 9)},
        {"port=COM4\nbaudrate=4800\n", Members(InterfaceType::Serial, "COM4", 4800, 8, 0, 0, 0)},
        {"[Other]\nPort=COM1\n", std::nullopt},
        {"Port=FILE:\nBaudRate=38400\n", std::nullopt},
        {"Port=IP_10.0.0.5\n", std::nullopt},
        {"BaudRate=38400\n", std::nullopt},
        {"", std::nullopt},
        {nullptr, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file ? row.file : "(no file)");
        SourcesFixture f;
        if (row.file)
            f.WriteOwn(row.file);
        // The own queue's name is never looked up among the system's queues.
        f.queues.Set("Custom_HXR-615deltaV", "parallel:/dev/lp0");
        PortSettings m = WindowDefaults();
        EXPECT_EQ(f.For("Custom_HXR-615deltaV", m).has_value(), row.expected.has_value());
        EXPECT_EQ(m, row.expected.value_or(WindowDefaults()));
    }
}

TEST(Preset, Selections)
{
    PresetLists lists;
    lists.port = {"COM1",         "COM2",         "COM3",         "COM4",        "COM5",
                  "COM6",         "COM7",         "COM8",         "COM9",        "\\\\.\\COM10",
                  "\\\\.\\COM11", "\\\\.\\COM12", "\\\\.\\COM13", "\\\\.\\COM14"};
    lists.baudRate = {"2400", "4800", "9600", "19200", "38400", "57600", "115200"};
    PresetLists parallel;
    parallel.port = {"LPT1", "LPT2", "LPT3"};

    const auto serial = [](int port, int baud, int bits, int parity, int stop, int flow) {
        PresetSelections s;
        s.port = port;
        s.baudRate = baud;
        s.dataBits = bits;
        s.parity = parity;
        s.stopBits = stop;
        s.flowControl = flow;
        return s;
    };
    struct Row {
        PortSettings members;
        const PresetLists* lists;
        PresetSelections expected;
    };
    const Row rows[] = {
        {Members(InterfaceType::Serial, "COM2", 9600, 8, 0, 0, 2), &lists, serial(1, 2, 0, 0, 0, 2)},
        {Members(InterfaceType::Serial, "COM1", 38400, 7, 2, 0, 1), &lists, serial(0, 4, 1, 2, 0, 1)},
        {Members(InterfaceType::Serial, "COM10", 19200, 5, 4, 2, 0), &lists, serial(-1, 3, 1, 4, 2, 0)},
        {Members(InterfaceType::Serial, "COM1:", 9100, 8, 5, 3, -1), &lists, serial(-1, -1, 0, -1, -1, -1)},
        {Members(InterfaceType::Parallel, "LPT1", 9600, 8, 0, 0, 0), &parallel,
         [] {
             PresetSelections s;
             s.port = 0;
             return s;
         }()},
        {Members(InterfaceType::Parallel, "LPT4", 9600, 8, 0, 0, 0), &parallel,
         [] {
             PresetSelections s;
             s.port = -1;
             return s;
         }()},
        {Members(InterfaceType::Usb, "USB001", 9600, 8, 0, 0, 0), &lists, PresetSelections()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.members.portName);
        PortSettings m = row.members;
        EXPECT_EQ(ApplyPresetSelections(m, *row.lists), row.expected);
        EXPECT_EQ(m, row.members);  // serial and parallel change no member
    }
}

TEST(Preset, EthernetSelectionsSplitTheAddressOnce)
{
    PortSettings m = Members(InterfaceType::Ethernet, "10.0.0.5", 4000, 8, 0, 0, 0);
    PresetSelections s = ApplyPresetSelections(m, PresetLists());
    EXPECT_EQ(s.ipOctets, (std::array<std::uint8_t, 4>{10, 0, 0, 5}));
    EXPECT_FALSE(s.port.has_value());
    EXPECT_EQ(m.tcpPort, 4000u);
    EXPECT_EQ(m.portName, "5");

    // Applied again after the next fill: no dot is left, so the IP field and TCP port stay.
    m.baudRate = 1;
    s = ApplyPresetSelections(m, PresetLists());
    EXPECT_FALSE(s.ipOctets.has_value());
    EXPECT_EQ(m.tcpPort, 4000u);

    // Fewer than three dots: the field and the TCP port stay, the name loses what was read.
    m = Members(InterfaceType::Ethernet, "10.0.5", 4000, 8, 0, 0, 0);
    s = ApplyPresetSelections(m, PresetLists());
    EXPECT_FALSE(s.ipOctets.has_value());
    EXPECT_EQ(m.tcpPort, 9100u);
    EXPECT_EQ(m.portName, "5");
}

TEST(Preset, OnlyASchedulerOnThisMachineIsAsked)
{
    for (const char* local : {"/run/cups/cups.sock", "localhost", "127.0.0.1", "::1", "[::1]"})
        EXPECT_TRUE(IsLocalPrintServer(local)) << local;
    for (const char* remote : {"", "10.0.0.5", "printserver.example", "localhost.example", "127.0.0.2:631"})
        EXPECT_FALSE(IsLocalPrintServer(remote)) << remote;
}

}  // namespace
}  // namespace zorvik
