// Arguments and printer-free subcommands: usage errors, status files in words.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "cli/CliApp.h"
#include "link/DeviceNames.h"
#include "settings/FullStatusFile.h"
#include "support/FileKinds.h"
#include "support/RowName.h"
#include "support/TempDir.h"
#include "tests/cli/CliHarness.h"

namespace zorvik {
namespace {

using test::RunCliForTest;
using ::testing::HasSubstr;

struct UsageRow {
    const char* name;
    friend void PrintTo(const UsageRow& row, std::ostream* os) { *os << row.name; }
    std::vector<std::string> args;
    const char* says;
};

const UsageRow kUsageRows[] = {
    {"NoSubcommand", {}, "subcommand"},
    {"UnknownSubcommand", {"frobnicate"}, "frobnicate"},
    {"UnknownOption", {"get", "--bogus", "-p", "COM1"}, "--bogus"},
    {"NoPrinter", {"get"}, "--port, --targets or --queue"},
    {"UnknownQueue", {"--queue", "Nowhere", "check"}, "--queue Nowhere: no such printer queue"},
    {"EmptyQueue", {"--queue", "", "check"}, "--queue : no such printer queue"},
    {"QueueOnAFile",
     {"--queue", "File", "check"},
     "--queue File: no such printer queue, or its port is none"},
    {"QueueOnUsb", {"--queue", "Usb", "check"}, "--queue Usb: \"USB001\" is neither a port name"},
    {"OwnQueueWithoutSettings", {"--queue", "Custom_HXR-615deltaV", "check"}, "no such printer queue"},
    {"NotAPrinter", {"check", "-p", "printer.local"}, "neither a port name nor an IPv4 address"},
    {"TcpPortTooLarge", {"check", "-p", "127.0.0.1:70000"}, "1 to 65535"},
    {"BadBaud", {"check", "--baud", "1234", "-p", "COM1"}, "--baud"},
    {"BadPin", {"set", "--pin", "7.1=on", "-p", "127.0.0.1:9"}, "1, 2, 3, 4, 5, 6, 11 or 12"},
    {"BadPinState", {"set", "--pin", "2.1=maybe", "-p", "127.0.0.1:9"}, "on, off or keep"},
    {"EntranceTooShort", {"set", "--entrance-time", "5", "-p", "127.0.0.1:9"}, "--entrance-time"},
    {"UnknownCodePage", {"set", "--code-page", "Klingon", "-p", "127.0.0.1:9"}, "no such entry"},
    {"CodePageFixedByFont",
     {"set", "--double-font", "6", "--code-page", "1", "-p", "127.0.0.1:9"},
     "fixes the code page"},
    {"NothingToSet", {"set", "-p", "127.0.0.1:9"}, "say what to write"},
    {"StateWithPin",
     {"set", "--state", "s.json", "--pin", "2.1=on", "-p", "127.0.0.1:9"},
     "--state names the whole change"},
    {"StateMissing", {"set", "--state", "/nonexistent/s.json", "-p", "127.0.0.1:9"}, "--state"},
    {"PinOnAndOff",
     {"set", "--pin", "1.3=on", "--pin", "1.3=off", "-p", "127.0.0.1:9"},
     "--pin 1.3=on and --pin 1.3=off contradict each other"},
    {"PinInsideANamedSetting",
     {"set", "--pin", "2.3=on", "--code-page", "0", "-p", "127.0.0.1:9"},
     "--pin 2.3=on and --code-page 0 both set MSW 2 pin 3"},
    {"ImpossibleAddress", {"check", "-p", "999.999.999.999"}, "0 to 255"},
    {"ThreeNumberAddress", {"check", "-p", "1.2.3"}, "neither a port name nor an IPv4 address"},
    {"SamePrinterTwice", {"check", "-p", "127.0.0.1:9", "-p", "127.0.0.1:9"}, "name the same printer"},
    {"SamePrinterOnTheDefaultTcpPort",
     {"check", "-p", "127.0.0.1:9100", "-p", "127.0.0.1"},
     "\"127.0.0.1:9100\" and \"127.0.0.1\" name the same printer"},
    {"NoJobs", {"check", "--jobs", "0", "-p", "127.0.0.1:9"}, "--jobs"},
    {"TooManyJobs", {"check", "--jobs", "65", "-p", "127.0.0.1:9"}, "--jobs"},
    {"WrongStatusFileName", {"set", "--from", "x.STS", "-p", "127.0.0.1:9"}, "Wrong format files loaded."},
    {"BadHexPair", {"send", "1b 4g", "-p", "127.0.0.1:9"}, "not a hexadecimal pair"},
    {"HexAndFile", {"send", "1b", "--file", "a.bin", "-p", "127.0.0.1:9"}, "excludes"},
    {"StsDiffOneFile", {"sts", "diff", "a.sts"}, "new"},
    {"CompletionForAnotherShell", {"completion", "zsh"}, "zsh"},
    {"CompletionWithoutShell", {"completion"}, "shell"},
};

class CliUsageTest : public ::testing::TestWithParam<UsageRow> {};

TEST_P(CliUsageTest, GivesUsageAndStatusTwo)
{
    const auto r = RunCliForTest(GetParam().args);
    EXPECT_EQ(r.status, 2);
    EXPECT_THAT(r.err, HasSubstr(GetParam().says));
    EXPECT_THAT(r.err, HasSubstr("Usage:"));
    EXPECT_EQ(r.out, "");
}

INSTANTIATE_TEST_SUITE_P(Arguments, CliUsageTest, ::testing::ValuesIn(kUsageRows), test::RowName());

// Desired-state files that name no possible change are refused before any printer is touched.
struct StateRow {
    const char* name;
    friend void PrintTo(const StateRow& row, std::ostream* os) { *os << row.name; }
    const char* text;
    const char* says;
};

const StateRow kStateRows[] = {
    {"NotJson", "{\"settings\": ", "not a JSON object"},
    {"AnArray", "[{\"settings\": {}}]", "not a JSON object"},
    {"UnknownSetting", R"({"settings": {"paperWidth": "80 mm"}})", "no setting \"paperWidth\""},
    {"UnknownEntry", R"({"settings": {"emulation": "Emulation 9"}})", "no such entry"},
    {"IndexPastTheList", R"({"settings": {"printSpeed": 4}})", "no such entry"},
    {"SettingNotText", R"({"settings": {"codePage": true}})", "no such entry"},
    {"PowerSaveWord", R"({"powerSave": {"enabled": "yes"}})", "true or false"},
    {"EntranceTooShort", R"({"powerSave": {"entranceTime": 5}})", "6 to 255"},
    {"NoSuchSwitch", R"({"switches": [{"switch": 7, "pins": [{"pin": 1, "state": "on"}]}]})",
     "1, 2, 3, 4, 5, 6, 11 or 12"},
    {"NoSuchPin", R"({"switches": [{"switch": 2, "pins": [{"pin": 9, "state": "on"}]}]})", "1 to 8"},
    {"PinWord", R"({"switches": [{"switch": 2, "pins": [{"pin": 1, "state": "yes"}]}]})", "on, off or keep"},
    {"SwitchWithoutNumber", R"({"switches": [{"pins": []}]})", "\"switch\""},
    {"PinTwice",
     R"({"switches": [{"switch": 5, "pins": [{"pin": 3, "state": "on"}, {"pin": 3, "state": "off"}]}]})",
     "contradict each other"},
    {"PinAgainstSetting",
     R"json({"settings": {"codePage": "WPC1250 (Czech)"},
             "switches": [{"switch": 2, "pins": [{"pin": 3, "state": "off"}]}]})json",
     "--pin 2.3=off contradicts a setting of the same state, which sets it on"},
};

class CliStateFileTest : public ::testing::TestWithParam<StateRow> {};

TEST_P(CliStateFileTest, IsRefusedWithStatusTwo)
{
    test::TempDir dir;
    const std::string path = dir.File("state.json");
    std::ofstream(path) << GetParam().text;
    const auto r = RunCliForTest({"set", "--json", "--state", path, "-p", "127.0.0.1:9"});
    EXPECT_EQ(r.status, 2);
    EXPECT_THAT(r.err, HasSubstr(GetParam().says));
    EXPECT_EQ(r.out, "");
}

INSTANTIATE_TEST_SUITE_P(States, CliStateFileTest, ::testing::ValuesIn(kStateRows), test::RowName());

TEST(CliTest, HelpAndVersionSucceed)
{
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"},
                                                 {"--version"},
                                                 {"set", "--help"},
                                                 {"sts", "diff", "--help"},
                                                 {"set", "--list"}}) {
        const auto r = RunCliForTest(args);
        EXPECT_EQ(r.status, 0) << args.front();
        EXPECT_FALSE(r.out.empty()) << args.front();
    }
    EXPECT_THAT(RunCliForTest({"--version"}).out, HasSubstr("zorvik-cli "));
    EXPECT_THAT(RunCliForTest({"set", "--list"}).out, HasSubstr("  37  WPC1250 (Czech)"));
}

class StsCommandTest : public ::testing::Test {
protected:
    std::string Save(const std::string& name, const SettingsRecord& record)
    {
        const std::string path = dir.File(name);
        EXPECT_EQ(FullStatusFile::Save(path, record), StatusFile::Result::Ok);
        return path;
    }
    test::TempDir dir;
};

TEST_F(StsCommandTest, DiffListsThePinsAndSettingsThatDiffer)
{
    SettingsRecord a;
    for (int e = 0; e < kSwitchCount; ++e)
        for (int pin = 1; pin <= kPinCount; ++pin)
            a.Pin(e, pin) = SlotOf(PinState::Off);
    SettingsRecord b = a;
    b.Pin(kEntrySwitch2, 3) = SlotOf(PinState::On);  // code page 0 -> 32
    b.Pin(6, 7) = SlotOf(PinState::NoChange);
    b.fontChoice = 3;
    const auto r = RunCliForTest({"sts", "diff", Save("a.sts", a), Save("b.sts", b)});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "MSW 2  pin 3: off  -> on    Codepage(Set in Printer Setting Tab)\n"
                     "MSW 11 pin 7: off  -> keep  [PIN 7] Reserved\n"
                     "Code page: PC437 (USA: Standard Europe) -> PC852 (MSAN)\n"
                     "fontChoice: 0 -> 3\n");
    const auto same = RunCliForTest({"sts", "diff", Save("c.sts", a), dir.File("a.sts")});
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "");
}

TEST_F(StsCommandTest, ShowAndJsonReadAFileWithoutAPrinter)
{
    SettingsRecord r;
    r.Pin(kEntrySwitch12, 3) = SlotOf(PinState::On);
    r.Pin(3, 1) = SlotOf(PinState::On);  // MSW 4, kept in the room the window leaves empty
    const std::string file = Save("s.sts", r);
    const auto shown = RunCliForTest({"sts", "show", file});
    EXPECT_EQ(shown.status, 0);
    EXPECT_THAT(shown.out,
                HasSubstr("MSW 4  ???????1\n  pin 1  on   Font B(9x24)         Swap font B and C"));
    const auto json = RunCliForTest({"sts", "json", file});
    EXPECT_EQ(json.status, 0);
    EXPECT_THAT(json.out, HasSubstr("\"bits\": \"?????1??\""));
    const auto missing = RunCliForTest({"sts", "show", dir.File("missing.sts")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_THAT(missing.err, HasSubstr("Can't open the file: "));
}

// The port map named by ZORVIK_PORT_MAP: a regular file remaps the names; a folder, a
// named pipe, /dev/zero or a file over 1 MiB is named with the reason on standard
// error, and the built-in names are listed.
TEST(PortsCommandTest, PortMapIsARegularFileWithinTheLimit)
{
    test::TempDir dir;
    CliEnv env;
    env.sysfsRoot = dir.Path().string();
    env.usb = {dir.Path().string(), dir.Path().string()};
    for (const test::FileKind kind : test::kAllFileKinds) {
        SCOPED_TRACE(test::FileKindName(kind));
        const std::string path = test::MakeFileOfKind(dir, kind, test::FileKindName(kind),
                                                      "COM1=/dev/ttyUSB7\n", DeviceNames::kMaxMapFileBytes);
        const std::string refusal = test::RefusalOf(kind, DeviceNames::kMaxMapFileBytes);
        ::setenv("ZORVIK_PORT_MAP", path.c_str(), 1);
        std::ostringstream out, err;
        const int status = RunCli({"ports"}, env, out, err);
        ::unsetenv("ZORVIK_PORT_MAP");
        EXPECT_EQ(status, 0);
        if (refusal.empty()) {
            EXPECT_THAT(out.str(), HasSubstr("  COM1          /dev/ttyUSB7\n"));
            EXPECT_EQ(err.str(), "");
        } else {
            EXPECT_THAT(out.str(), HasSubstr("  COM1          /dev/ttyS0\n"));
            EXPECT_EQ(err.str(), "Can't read the file: " + path + " (" + refusal + ")\n");
        }
    }
}

}  // namespace
}  // namespace zorvik
