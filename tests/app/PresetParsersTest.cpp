#include <gtest/gtest.h>

#include "app/PresetParsers.h"
#include "support/LineCodes.h"
#include "support/PortSettingsPrint.h"

namespace zorvik {
namespace {

// The line a window starts with: 9600, 8, none, one, hardware.
const PortSettings kWindowStart{.baudRate = 9600, .dataBits = 8};

// Baud rate, data bits, parity, stop-bit and flow codes.
PortSettings Line(std::uint32_t baud, std::int32_t bits, std::int32_t parity, std::int32_t stop,
                  std::int32_t flow)
{
    return test::WithLine(kWindowStart, baud, bits, parity, stop, flow);
}

struct LineRow {
    const char* text;
    PortSettings expected;  // starting from the window's defaults 9600, 8, none, one, hardware
};

TEST(PresetParsers, SerialLineSettings)
{
    const LineRow rows[] = {
        {"9600,n,8,1", Line(9600, 8, 0, 0, 2)},
        {"19200,e,7,1.5,x", Line(19200, 7, 2, 1, 1)},
        {"9600,n,8,2,p", Line(9600, 8, 0, 2, 0)},
        {"9600,n,8,2", Line(9600, 8, 0, 2, 2)},
        {"9600,n,8,1,x", Line(9600, 8, 0, 0, 1)},
        {"115200,o,8,1,p", Line(115200, 8, 1, 0, 0)},
        {"4800,m,7,1,q", Line(4800, 7, 3, 0, 0)},  // unknown flow letter keeps the flow
        {"4800,s,8,1.5", Line(4800, 8, 4, 1, 0)},  // flow letter beyond the end keeps it
        {"2400,z,x,3", Line(2400, 8, 0, 0, 2)},    // unknown parity, data bits and stop bits keep theirs
        {"38400", Line(9600, 4, 0, 0, 2)},  // no comma: no baud text, the digits are read at their places
        {"38400,", Line(38400, 8, 0, 0, 2)},
        {"", Line(9600, 8, 0, 0, 2)},        // a port without line settings
        {",e,7,2", Line(9600, 7, 2, 2, 2)},  // empty baud keeps the rate instead of 0
        {"99999999999,n,8,1", Line(0xFFFFFFFFu, 8, 0, 0, 2)},
    };
    for (const LineRow& row : rows) {
        SCOPED_TRACE(row.text);
        PortSettings line = kWindowStart;
        ParseSerialLineSettings(row.text, line);
        EXPECT_EQ(line, row.expected);
    }
}

TEST(PresetParsers, PortKinds)
{
    struct Row {
        const char* port;
        PresetPortKind queue;
        PresetPortKind own;
    };
    const Row rows[] = {
        {"COM1:", PresetPortKind::Serial, PresetPortKind::Serial},
        {"COM10:", PresetPortKind::Serial, PresetPortKind::Serial},
        {"LPT1:", PresetPortKind::Parallel, PresetPortKind::Parallel},
        {"USB001", PresetPortKind::Usb, PresetPortKind::Usb},
        {"IP_10.0.0.5", PresetPortKind::TcpIp, PresetPortKind::Other},
        {"NET", PresetPortKind::Other, PresetPortKind::Net},
        {"FILE:", PresetPortKind::Other, PresetPortKind::Other},
        {"com1:", PresetPortKind::Other, PresetPortKind::Other},  // case-sensitive
        {"CO", PresetPortKind::Other, PresetPortKind::Other},
        {"", PresetPortKind::Other, PresetPortKind::Other},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.port);
        EXPECT_EQ(ClassifyQueuePort(row.port), row.queue);
        EXPECT_EQ(ClassifyOwnPort(row.port), row.own);
    }
}

TEST(PresetParsers, EntrySearchByPrefix)
{
    const std::vector<std::string> com = {
        "COM1", "COM2", "COM3",         "COM4",         "COM5",         "COM6",         "COM7",
        "COM8", "COM9", "\\\\.\\COM10", "\\\\.\\COM11", "\\\\.\\COM12", "\\\\.\\COM13", "\\\\.\\COM14"};
    const std::vector<std::string> baud = {"2400", "4800", "9600", "19200", "38400", "57600", "115200"};
    struct Row {
        const std::vector<std::string>* entries;
        const char* text;
        int expected;
    };
    const Row rows[] = {
        {&com, "COM2", 1},   {&com, "COM1", 0},  // the first entry is searched last and still found
        {&com, "com9", 8},                       // case ignored
        {&com, "COM", 1},                        // the search starts at the second entry
        {&com, "COM10", -1},                     // "\\.\COM10" does not begin with it
        {&com, "COM1:", -1}, {&com, "\\\\.\\com12", 11}, {&baud, "9600", 2},
        {&baud, "1", 3},  // "19200" before "115200"
        {&baud, "38400", 4}, {&baud, "0", -1},           {&baud, "9100", -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(FindEntryByPrefix(*row.entries, row.text), row.expected);
    }
    EXPECT_EQ(FindEntryByPrefix({}, "COM1"), -1);
    EXPECT_EQ(FindEntryByPrefix({"LPT1"}, "lpt"), 0);
}

TEST(PresetParsers, SelectionForCode)
{
    EXPECT_EQ(SelectionForCode(5, 0), 0);
    EXPECT_EQ(SelectionForCode(5, 4), 4);
    EXPECT_EQ(SelectionForCode(5, 5), -1);
    EXPECT_EQ(SelectionForCode(3, -1), -1);
    EXPECT_EQ(SelectionForCode(0, 0), -1);
}

TEST(PresetParsers, DottedAddress)
{
    using Octets = std::array<std::uint8_t, 4>;
    struct Row {
        const char* text;
        std::optional<Octets> octets;
        const char* rest;
    };
    const Row rows[] = {
        {"10.0.0.5", Octets{10, 0, 0, 5}, "5"},
        {"192.168.1.200", Octets{192, 168, 1, 200}, "200"},
        {"300.256.511.1000", Octets{44, 0, 255, 232}, "1000"},  // each octet modulo 256
        {"1.2.3", std::nullopt, "3"},                           // two dots: the field stays
        {"10", std::nullopt, "10"},
        {"", std::nullopt, ""},
        {"a.b.c.d", Octets{0, 0, 0, 0}, "d"},
        {"1.2.3.4.5", Octets{1, 2, 3, 4}, "4.5"},
        {"99999999999999999999.1.1.1", Octets{255, 1, 1, 1}, "1"},  // 10^20 - 1 mod 256, no overflow
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const DottedAddress address = SplitDottedAddress(row.text);
        EXPECT_EQ(address.octets, row.octets);
        EXPECT_EQ(address.rest, row.rest);
    }
}

}  // namespace
}  // namespace zorvik
