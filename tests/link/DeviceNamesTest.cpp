#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "link/DeviceNames.h"
#include "link/SystemDevices.h"
#include "support/FileKinds.h"
#include "support/TempDir.h"

namespace zorvik {
namespace {

namespace fs = std::filesystem;

void WriteText(const fs::path& file, const std::string& text)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

TEST(DeviceNames, DefaultsAndPaths)
{
    const DeviceNames names;
    const std::pair<const char*, const char*> rows[] = {
        {"COM1", "/dev/ttyS0"},
        {"COM9", "/dev/ttyS8"},
        {"\\\\.\\COM10", "/dev/ttyS9"},
        {"\\\\.\\COM14", "/dev/ttyS13"},
        {"LPT1", "/dev/lp0"},
        {"LPT3", "/dev/lp2"},
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},  // a path is its own device
        {"COM", ""},
        {"COM0", ""},
        {"COM1x", ""},
        {"COM99999999999", ""},
        {"10.0.0.5", ""},
        {"", ""},
    };
    for (const auto& [name, path] : rows)
        EXPECT_EQ(names.DevicePath(name), path) << name;
}

TEST(DeviceNames, PortsAmongTheSystemsDeviceNames)
{
    struct Row {
        std::vector<std::string> deviceNames;
        std::vector<int> com;
        std::vector<int> lpt;
    };
    const Row rows[] = {
        {{}, {}, {}},
        {{"COM10", "C:", "COM2", "LPT1", "Global", "NUL", "COM1"}, {1, 2, 10}, {1}},
        {{"com3", "COM3", "\\\\.\\COM3", "lpt2"}, {3}, {2}},  // one port, however spelt
        {{"COM0", "COM256", "COM", "COM1A", "LPT", "CONIN$", "COM255"}, {255}, {}},
    };
    for (const auto& row : rows) {
        std::vector<std::string> com, lpt;
        for (int n : row.com)
            com.push_back(SerialDeviceFile(n));
        for (int n : row.lpt)
            lpt.push_back(ParallelDeviceFile(n));
        const auto ports = PortsAmongDeviceNames(row.deviceNames);
        EXPECT_EQ(ports.serial, com) << ::testing::PrintToString(row.deviceNames);
        EXPECT_EQ(ports.parallel, lpt) << ::testing::PrintToString(row.deviceNames);
    }
}

TEST(DeviceNames, MapTextOverridesAndSkipsWhatItCannotUse)
{
    DeviceNames names;
    const int skipped = names.LoadText("# adapters\n"
                                       "\n"
                                       "COM1=/dev/ttyUSB0\n"
                                       "  \"COM2\" = \"/dev/ttyACM0\"  \n"
                                       "com3=/dev/pts/7\n"
                                       "\\\\.\\COM12=/dev/ttyUSB3\r\n"
                                       "LPT1=relative/path\n"
                                       "no equals sign\n"
                                       "=/dev/null\n");
    EXPECT_EQ(skipped, 3);
    EXPECT_EQ(names.SkippedLines(), (std::vector<int>{7, 8, 9}));
    const std::pair<const char*, const char*> rows[] = {
        {"COM1", "/dev/ttyUSB0"},         {"COM2", "/dev/ttyACM0"},  {"COM3", "/dev/pts/7"},
        {"\\\\.\\COM12", "/dev/ttyUSB3"}, {"COM12", "/dev/ttyUSB3"}, {"LPT1", "/dev/lp0"},
        {"COM4", "/dev/ttyS3"},
    };
    for (const auto& [name, path] : rows)
        EXPECT_EQ(names.DevicePath(name), path) << name;
}

TEST(DeviceNames, EnvironmentChoosesTheMapFile)
{
    test::TempDir dir;
    WriteText(dir.Path() / "own.conf", "COM1=/dev/own\n");
    WriteText(dir.Path() / "xdg/zorvik/ports.conf", "COM1=/dev/xdg\n");
    WriteText(dir.Path() / "home/.config/zorvik/ports.conf", "COM1=/dev/home\n");
    const std::string own = (dir.Path() / "own.conf").string();
    const std::string xdg = (dir.Path() / "xdg").string();
    const std::string home = (dir.Path() / "home").string();
    struct Row {
        std::optional<std::string> portMap, xdg, home;
        const char* expected;
    };
    const Row rows[] = {
        {own, xdg, home, "/dev/own"},
        {std::nullopt, xdg, home, "/dev/xdg"},
        {std::string(), std::string(), home, "/dev/home"},
        {std::nullopt, std::nullopt, std::nullopt, "/dev/ttyS0"},
        {(dir.Path() / "missing.conf").string(), xdg, home, "/dev/ttyS0"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DeviceNames::FromEnvironment(row.portMap, row.xdg, row.home).DevicePath("COM1"),
                  row.expected);
}

// A map file that is a folder, a named pipe, /dev/zero or over 1 MiB is left out at once
// and the reason kept; the built-in names stay. A missing one is no problem at all.
TEST(DeviceNames, MapFileIsARegularFileWithinTheLimit)
{
    test::TempDir dir;
    for (const test::FileKind kind : test::kAllFileKinds) {
        SCOPED_TRACE(test::FileKindName(kind));
        const std::string path = test::MakeFileOfKind(dir, kind, test::FileKindName(kind),
                                                      "COM1=/dev/ttyUSB7\n", DeviceNames::kMaxMapFileBytes);
        const std::string refusal = test::RefusalOf(kind, DeviceNames::kMaxMapFileBytes);
        const DeviceNames names = DeviceNames::FromEnvironment(path, std::nullopt, std::nullopt);
        if (refusal.empty()) {
            EXPECT_EQ(names.DevicePath("COM1"), "/dev/ttyUSB7");
            EXPECT_EQ(names.LoadProblem(), "");
        } else {
            EXPECT_EQ(names.DevicePath("COM1"), "/dev/ttyS0");
            EXPECT_EQ(names.LoadProblem(), "Can't read the file: " + path + " (" + refusal + ")");
        }
    }
    DeviceNames names;
    EXPECT_FALSE(names.LoadFile(dir.Path() / "missing.conf"));
    EXPECT_EQ(names.LoadProblem(), "");
}

TEST(DeviceNames, ListsRealSerialAndParallelDevices)
{
    test::TempDir dir;
    const fs::path sys = dir.Path();
    const fs::path drivers = sys / "bus/drivers";
    fs::create_directories(drivers / "serial8250");
    fs::create_directories(drivers / "serial");
    fs::create_directories(drivers / "ftdi_sio");
    auto tty = [&](const std::string& name, const char* driver) {
        const fs::path device = sys / "class/tty" / name / "device";
        fs::create_directories(device);
        if (driver)
            fs::create_directory_symlink(drivers / driver, device / "driver");
    };
    tty("ttyS0", "serial");      // a real UART on its bus
    tty("ttyS1", "serial8250");  // a placeholder
    tty("ttyS10", "serial");
    tty("ttyS2", "serial");
    tty("ttyUSB0", "ftdi_sio");
    tty("tty1", nullptr);  // a virtual terminal
    fs::create_directories(sys / "class/printer/lp0");
    fs::create_directories(sys / "class/printer/lp1");

    EXPECT_EQ(ListSerialDevices(sys),
              (std::vector<std::string>{"/dev/ttyS0", "/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB0"}));
    EXPECT_EQ(ListParallelDevices(sys), (std::vector<std::string>{"/dev/lp0", "/dev/lp1"}));
    EXPECT_TRUE(ListSerialDevices(sys / "nowhere").empty());

    // Adapters with a stable name are listed by it, in the order of their kernel names;
    // of two links to one adapter the first in order is taken.
    tty("ttyACM0", "ftdi_sio");
    tty("ttyUSB1", "ftdi_sio");
    const fs::path dev = dir.Path() / "dev";
    const fs::path byId = dev / "serial/by-id";
    fs::create_directories(byId);
    fs::create_symlink("../../ttyUSB0", byId / "usb-FTDI_FT232R_USB_UART_A6008isP-if00-port0");
    fs::create_symlink("../../ttyACM0", byId / "usb-Arduino_Uno_7573-if00");
    fs::create_symlink("../../ttyACM0", byId / "usb-Arduino_Uno_7573-if00-b");
    EXPECT_EQ(
        ListSerialDevices(sys, dev),
        (std::vector<std::string>{(byId / "usb-Arduino_Uno_7573-if00").string(), (dev / "ttyS0").string(),
                                  (dev / "ttyS2").string(), (dev / "ttyS10").string(),
                                  (byId / "usb-FTDI_FT232R_USB_UART_A6008isP-if00-port0").string(),
                                  (dev / "ttyUSB1").string()}));
}

}  // namespace
}  // namespace zorvik
