#include <gtest/gtest.h>

#include "app/PresetSettingsFile.h"
#include "support/FileKinds.h"
#include "support/TempDir.h"

namespace zorvik {
namespace {

TEST(PresetSettingsFile, FindValue)
{
    struct Row {
        const char* text;
        const char* name;
        std::optional<std::string> expected;
    };
    const Row rows[] = {
        {"Port=COM1\n", "Port", "COM1"},
        {"  Port = COM1 \r\n", "Port", "COM1"},
        {"PORT=COM1\n", "Port", "COM1"},
        {"[General]\nTcpIp=10.0.0.7\n", "TcpIp", "10.0.0.7"},
        {"[general]\nTcpIp=10.0.0.7\n", "TcpIp", "10.0.0.7"},
        {"[Other]\nTcpIp=10.0.0.7\n", "TcpIp", std::nullopt},
        {"[Other]\nPort=LPT1\n[General]\nPort=COM2\n", "Port", "COM2"},
        {"Port=COM1\nPort=COM2\n", "Port", "COM1"},
        {"; Port=COM9\n# Port=COM8\nPort=COM3\n", "Port", "COM3"},
        {"UsbdeviceName=\"my printer \\\"A\\\"\"\n", "UsbdeviceName", "my printer \"A\""},
        {"UsbdeviceName=\n", "UsbdeviceName", ""},
        {"Portx=COM1\nPort\n", "Port", std::nullopt},
        {"Port=a=b\n", "Port", "a=b"},
        {"", "Port", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(PresetSettingsFile::FindValue(row.text, row.name), row.expected);
    }
}

TEST(PresetSettingsFile, NumbersAreWholeDecimalsOfThirtyTwoBits)
{
    struct Row {
        const char* value;
        std::optional<std::uint32_t> expected;
    };
    const Row rows[] = {
        {"9100", 9100u},
        {"0", 0u},
        {"4294967295", 0xFFFFFFFFu},
        {"4294967296", std::nullopt},
        {"-1", std::nullopt},
        {"12ab", std::nullopt},
        {"", std::nullopt},
        {"99999999999", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        EXPECT_EQ(PresetSettingsFile::ParseNumber(row.value), row.expected);
    }
}

TEST(PresetSettingsFile, DefaultPathInTheSystemConfigurationFolder)
{
    EXPECT_EQ(PresetSettingsFile::DefaultPath(std::nullopt), "/etc/xdg/KARVO/LXT-640IV.conf");
    EXPECT_EQ(PresetSettingsFile::DefaultPath(""), "/etc/xdg/KARVO/LXT-640IV.conf");
    EXPECT_EQ(PresetSettingsFile::DefaultPath("/opt/conf/:/etc/xdg"), "/opt/conf/KARVO/LXT-640IV.conf");
    EXPECT_EQ(PresetSettingsFile::DefaultPath("relative:/etc/xdg"), "/etc/xdg/KARVO/LXT-640IV.conf");
}

TEST(PresetSettingsFile, MissingFileHasNoValues)
{
    const PresetSettingsFile file("/nonexistent-zorvik/KARVO/LXT-640IV.conf");
    EXPECT_FALSE(file.Text("Port").has_value());
    EXPECT_FALSE(file.Number("TcpPort").has_value());
}

// A folder, a named pipe, /dev/zero or a file over 1 MiB in place of the preset file
// gives no values, at once.
TEST(PresetSettingsFile, OnlyARegularFileWithinTheLimitGivesValues)
{
    test::TempDir dir;
    for (const test::FileKind kind : test::kAllFileKinds) {
        SCOPED_TRACE(test::FileKindName(kind));
        const PresetSettingsFile file(test::MakeFileOfKind(dir, kind, test::FileKindName(kind),
                                                           "Port=COM3\nTcpPort=9101\n",
                                                           PresetSettingsFile::kMaxFileBytes));
        const bool regular = kind == test::FileKind::Regular;
        EXPECT_EQ(file.Text("Port"), regular ? std::optional<std::string>("COM3") : std::nullopt);
        EXPECT_EQ(file.Number("TcpPort"), regular ? std::optional<std::uint32_t>(9101) : std::nullopt);
    }
}

}  // namespace
}  // namespace zorvik
