// zorvik-cli against the virtual printer over loopback TCP (one case over its
// pseudo-terminal): what reaches the printer and what the tool reports.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>

#include "cli/FullStatusFile.h"
#include "cli/StatusReport.h"
#include "cli/Target.h"
#include "cmdtest/CommandEditor.h"
#include "support/FileKinds.h"
#include "support/TempDir.h"
#include "tests/cli/CliHarness.h"

namespace zorvik {
namespace {

using test::RunCliForTest;
using test::TcpTarget;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr int kSwitches[] = {1, 2, 3, 4, 5, 6, 11, 12};

class CliEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.Start({false, true, 0})) << server.Error(); }

    void SetSwitches(const std::vector<std::pair<int, std::uint8_t>>& values)
    {
        server.WithPrinter([&](VirtualPrinter& p) {
            for (auto [n, bits] : values)
                p.SetSwitch(n, bits);
        });
    }
    std::uint8_t Switch(int n)
    {
        return server.WithPrinter([n](VirtualPrinter& p) { return p.Switch(n); });
    }
    int SwitchWrites()
    {
        return server.WithPrinter([](VirtualPrinter& p) {
            return static_cast<int>(std::count_if(p.Log().begin(), p.Log().end(), [](const SimCommand& c) {
                return c.name.rfind("GS ( E fn 3", 0) == 0;
            }));
        });
    }

    SimServer server;
    test::TempDir dir;
};

std::string Bits(std::uint8_t value)
{
    std::string bits;
    for (int pin = 8; pin >= 1; --pin)
        bits += (value >> (pin - 1)) & 1 ? '1' : '0';
    return bits;
}

TEST_F(CliEndToEndTest, GetJsonMatchesThePrintersSwitches)
{
    const std::vector<std::pair<int, std::uint8_t>> values = {{1, 0x01}, {2, 0x24}, {3, 0x05},  {4, 0x04},
                                                              {5, 0x80}, {6, 0x0B}, {11, 0xE0}, {12, 0x04}};
    SetSwitches(values);
    server.WithPrinter([](VirtualPrinter& p) { p.SetPowerSave(true, 42); });
    const auto r = RunCliForTest({"get", "--json", "-p", TcpTarget(server)});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto json = nlohmann::json::parse(r.out);
    ASSERT_EQ(json["switches"].size(), 8u);
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(json["switches"][i]["switch"], values[i].first);
        EXPECT_EQ(json["switches"][i]["bits"], Bits(values[i].second)) << "MSW " << values[i].first;
    }
    EXPECT_EQ(json["model"], "LXT-640IV");
    EXPECT_EQ(json["powerSave"]["enabled"], true);
    EXPECT_EQ(json["powerSave"]["entranceTime"], 42);
    EXPECT_EQ(json["settings"]["doubleFont"], "WPC1257_KARVO");
    // Switch 2 holds 0x24: pins 3 and 6 on, so code page 32 + 4.
    EXPECT_EQ(json["settings"]["codePage"], "WPC1250 (Czech)");
}

TEST_F(CliEndToEndTest, SetFromAStatusFileChangesExactlyTheSwitchesThatDiffer)
{
    SetSwitches({{1, 0x00}, {2, 0x00}, {3, 0x00}, {4, 0x00}, {5, 0x04}, {6, 0x00}, {11, 0x00}, {12, 0x00}});
    // The file asks for switch 2 and 5 to change and repeats the rest as they are.
    SettingsRecord wanted;
    for (int e = 0; e < kSwitchCount; ++e)
        for (int pin = 1; pin <= kPinCount; ++pin)
            wanted.Pin(e, pin) = PinOff;
    wanted.Pin(kEntrySwitch2, 4) = PinOn;  // code page 1
    wanted.Pin(4, 3) = PinOff;             // MSW 5 pin 3 off again
    wanted.Pin(4, 8) = PinOn;
    const std::string file = dir.File("wanted.sts");
    ASSERT_EQ(FullStatusFile::Save(file, wanted), StatusFile::Result::Ok);
    const std::string rollback = dir.File("old.sts");

    const auto r = RunCliForTest({"set", "--from", file, "--rollback", rollback, "-p", TcpTarget(server)});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find("Previous")),
              ChangeLines({{kEntrySwitch2, 4, PinOff, PinOn}, {4, 3, PinOn, PinOff}, {4, 8, PinOff, PinOn}}));
    EXPECT_THAT(r.out, HasSubstr("holds every written setting"));
    const std::map<int, std::uint8_t> expected = {{1, 0x00}, {2, 0x08}, {3, 0x00},  {4, 0x00},
                                                  {5, 0x80}, {6, 0x00}, {11, 0x00}, {12, 0x00}};
    for (auto [n, bits] : expected)
        EXPECT_EQ(Switch(n), bits) << "MSW " << n;

    // The rollback file holds the old state of every switch, 3 to 6 included.
    SettingsRecord old;
    ASSERT_EQ(FullStatusFile::Load(rollback, old), StatusFile::Result::Ok);
    EXPECT_EQ(old.Pin(4, 3), PinOn);
    EXPECT_EQ(old.Pin(kEntrySwitch2, 4), PinOff);
}

// A file the window saved leaves switches 3 to 6 out: the printer keeps them.
TEST_F(CliEndToEndTest, SetFromAWindowStatusFileLeavesSwitchesThreeToSix)
{
    SetSwitches({{3, 0x05}, {4, 0x0C}, {5, 0x04}, {6, 0x0B}, {12, 0x00}});
    SettingsRecord wanted;
    for (int e = 0; e < kSwitchCount; ++e)
        for (int pin = 1; pin <= kPinCount; ++pin)
            wanted.Pin(e, pin) = PinOff;
    wanted.Pin(kEntrySwitch12, 2) = PinOn;
    const std::string file = dir.File("window.sts");
    ASSERT_EQ(StatusFile::Save(file, wanted), StatusFile::Result::Ok);
    const auto r =
        RunCliForTest({"set", "--from", file, "--rollback", dir.File("rb.sts"), "-p", TcpTarget(server)});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(Switch(12), 0x02);
    EXPECT_EQ(Switch(3), 0x05);
    EXPECT_EQ(Switch(4), 0x0C);
    EXPECT_EQ(Switch(5), 0x04);
    EXPECT_EQ(Switch(6), 0x0B);
}

TEST_F(CliEndToEndTest, FleetSavesOneStatusFilePerPrinter)
{
    SimServer second;
    ASSERT_TRUE(second.Start({false, true, 0}));
    second.WithPrinter([](VirtualPrinter& p) { p.SetSwitch(11, 0x80); });
    const auto r = RunCliForTest(
        {"get", "--save", dir.File("shop.sts"), "-p", TcpTarget(server), "-p", TcpTarget(second)});
    ASSERT_EQ(r.status, 0) << r.err;
    SettingsRecord saved;
    ASSERT_EQ(
        FullStatusFile::Load(dir.File("shop-127.0.0.1_" + std::to_string(second.TcpPort()) + ".sts"), saved),
        StatusFile::Result::Ok);
    EXPECT_EQ(SwitchBits(saved, 6), "10000000");
    EXPECT_TRUE(
        std::filesystem::exists(dir.File("shop-127.0.0.1_" + std::to_string(server.TcpPort()) + ".sts")));
}

TEST_F(CliEndToEndTest, ReadBackCatchesASwitchThePrinterIgnores)
{
    server.WithPrinter([](VirtualPrinter& p) { p.Faults().ignoredSwitchWrite = 5; });
    const auto r = RunCliForTest({"set", "--pin", "5.3=on", "--pin", "6.1=on", "--rollback",
                                  dir.File("rb.sts"), "-p", TcpTarget(server)});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.out, HasSubstr("WRITE NOT HELD"));
    EXPECT_THAT(r.out, HasSubstr("MSW 5 pin 3: wrote on, printer holds off"));
    EXPECT_THAT(r.out, Not(HasSubstr("MSW 6 pin 1: wrote")));
    EXPECT_THAT(r.out, HasSubstr("set --from " + dir.File("rb.sts")));
    EXPECT_EQ(Switch(6), 0x01);
}

TEST_F(CliEndToEndTest, SafeWriteTouchesOnlyWhatWasAskedAndVerifiesEveryPin)
{
    SetSwitches({{2, 0x42}, {5, 0x01}, {12, 0x81}});
    auto fn3 = [this] {
        return server.WithPrinter([](VirtualPrinter& p) {
            std::vector<std::string> names;
            for (const auto& c : p.Log())
                if (c.name.rfind("GS ( E fn 3", 0) == 0)
                    names.push_back(c.name);
            return names;
        });
    };
    // Every pin not asked for goes out as "2": only switch 5 pin 3 is written.
    auto r = RunCliForTest({"set", "--pin", "5.3=on", "--pin", "2.2=on", "--rollback", dir.File("rb.sts"),
                            "-p", TcpTarget(server)});
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    const auto sent = fn3();
    ASSERT_EQ(sent.size(), 8u);
    for (const auto& name : sent)
        EXPECT_EQ(name.substr(name.find('=') + 2),
                  name.find("switch 5 ") != std::string::npos ? "22222122" : "22222222")
            << name;
    EXPECT_EQ(Switch(2), 0x42);
    EXPECT_EQ(Switch(5), 0x05);
    EXPECT_EQ(Switch(12), 0x81);

    // A printer that changes a pin nobody asked about while storing fails the read-back.
    VirtualPrinter* printer = server.WithPrinter([](VirtualPrinter& p) { return &p; });
    server.WithPrinter([printer](VirtualPrinter& p) {
        p.SetCommandObserver([printer](const SimCommand& c) {
            if (c.name.rfind("GS ( E fn 2", 0) == 0)
                printer->SetSwitch(11, 0x80);  // under the server's lock, inside the feed
        });
    });
    r = RunCliForTest({"set", "--pin", "6.1=on", "--rollback", dir.File("rb2.sts"), "-p", TcpTarget(server)});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.out, HasSubstr("MSW 11 pin 8: not written, was off, printer holds on"));
}

TEST_F(CliEndToEndTest, SetWritesNothingAfterAReadThatWasNotWhole)
{
    server.WithPrinter([](VirtualPrinter& p) { p.Faults().silentSwitch = 11; });
    const auto r =
        RunCliForTest({"set", "--pin", "5.3=on", "--rollback", dir.File("rb.sts"), "-p", TcpTarget(server)});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(SwitchWrites(), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("rb.sts")));
    EXPECT_THAT(r.err, HasSubstr("Can't connect printer. Please restart printer."));
    EXPECT_THAT(r.err + r.out, Not(HasSubstr("Success")));
}

TEST_F(CliEndToEndTest, EntranceTimeFromThePrinterOutsideItsRangeStopsBeforeAnythingIsSaved)
{
    server.WithPrinter([](VirtualPrinter& p) { p.SetPowerSave(true, 3); });
    auto r =
        RunCliForTest({"set", "--pin", "5.3=on", "--rollback", dir.File("rb.sts"), "-p", TcpTarget(server)});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.out, HasSubstr("entrance time of 3 s"));
    EXPECT_THAT(r.out, HasSubstr("--entrance-time"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("rb.sts")));
    EXPECT_EQ(SwitchWrites(), 0);
    // Naming a time in range writes it along.
    r = RunCliForTest({"set", "--pin", "5.3=on", "--entrance-time", "30", "--rollback", dir.File("rb.sts"),
                       "-p", TcpTarget(server)});
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_EQ(server.WithPrinter([](VirtualPrinter& p) { return p.PowerSaveSeconds(); }), 30);
}

TEST_F(CliEndToEndTest, DryRunPrintsTheChangeAndWritesNothing)
{
    const auto r = RunCliForTest({"set", "--dry-run", "--pin", "11.2=on", "--code-page", "WPC1250 (Czech)",
                                  "--rollback", dir.File("rb.sts"), "-p", TcpTarget(server)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("MSW 11 pin 2: off  -> on"));
    EXPECT_THAT(r.out, HasSubstr("MSW 2  pin 3: off  -> on"));
    EXPECT_THAT(r.out, HasSubstr("Dry run"));
    EXPECT_EQ(SwitchWrites(), 0);
    EXPECT_EQ(server.WithPrinter([](VirtualPrinter& p) { return p.Restarts(); }), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("rb.sts")));
}

TEST_F(CliEndToEndTest, NothingToChangeWritesNothing)
{
    SetSwitches({{11, 0x02}});
    const auto r = RunCliForTest({"set", "--pin", "11.2=on", "-p", TcpTarget(server)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("nothing written"));
    EXPECT_EQ(SwitchWrites(), 0);
}

TEST_F(CliEndToEndTest, DoubleByteFontRunsTheFontDownload)
{
    const auto r = RunCliForTest({"set", "--double-font", "KS5601(Korean)", "--rollback", dir.File("rb.sts"),
                                  "-p", TcpTarget(server)});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_THAT(r.err, HasSubstr("Success to Download Font!"));
    EXPECT_THAT(r.err, HasSubstr("font download ["));
    EXPECT_TRUE(server.WithPrinter([](VirtualPrinter& p) { return p.FontComplete(); }));
    EXPECT_EQ(Switch(12), 0x01);
}

TEST_F(CliEndToEndTest, FleetOfThreeWithOneSilentPrinter)
{
    SimServer second;
    SimServer silent;
    ASSERT_TRUE(second.Start({false, true, 0}));
    ASSERT_TRUE(silent.Start({false, true, 0}));
    silent.WithPrinter([](VirtualPrinter& p) { p.Faults().silent = true; });
    SetSwitches({{11, 0x01}});
    second.WithPrinter([](VirtualPrinter& p) { p.SetSwitch(11, 0x02); });

    const auto r = RunCliForTest(
        {"get", "-p", TcpTarget(server), "-p", TcpTarget(silent), "-p", TcpTarget(second), "--json"});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("2 of 3 printers succeeded"));
    EXPECT_THAT(r.err, HasSubstr(TcpTarget(silent) + "  FAILED  Fail to get printer ID."));
    EXPECT_THAT(r.err, HasSubstr(TcpTarget(server) + "  ok"));
    EXPECT_THAT(r.err, HasSubstr(TcpTarget(second) + "  ok"));
    // Each printer's own answer, in the order named.
    const auto first = r.out.find("== " + TcpTarget(server));
    const auto last = r.out.find("== " + TcpTarget(second));
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(last, std::string::npos);
    EXPECT_LT(first, last);
    EXPECT_EQ(r.out.find("== " + TcpTarget(silent)), std::string::npos);
    EXPECT_THAT(r.out.substr(first, last - first), HasSubstr("\"bits\": \"00000001\""));
    EXPECT_THAT(r.out.substr(last), HasSubstr("\"bits\": \"00000010\""));
}

TEST_F(CliEndToEndTest, FleetFromATargetsFileAllSucceeding)
{
    SimServer second;
    ASSERT_TRUE(second.Start({false, true, 0}));
    const std::string list = dir.File("printers.txt");
    std::ofstream(list) << "# shop floor\n"
                        << TcpTarget(server) << "  front desk\n\n"
                        << TcpTarget(second) << "\n";
    const auto r = RunCliForTest({"check", "--targets", list});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.err, HasSubstr("2 of 2 printers succeeded"));
}

TEST_F(CliEndToEndTest, TraceShowsEveryWriteAndReadWithATimestamp)
{
    const auto r = RunCliForTest({"send", "--trace", "1b 40 0a", "-p", TcpTarget(server)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.err, ::testing::ContainsRegex(
                           "[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3} 127\\.0\\.0\\.1:[0-9]+ > 1d 49 03"));
    EXPECT_THAT(r.err, ::testing::ContainsRegex("< 6f"));
    EXPECT_THAT(r.err, ::testing::ContainsRegex("> 1b 40 0a\n"));
    EXPECT_EQ(r.out, "3 of 3 bytes sent\n");
    EXPECT_TRUE(
        server.WaitFor([](VirtualPrinter& p) { return p.PrintData() == VirtualPrinter::Bytes{0x0a}; }));
}

TEST_F(CliEndToEndTest, PrintActionsReachThePrinter)
{
    for (const char* action : {"selftest", "print-status", "print-codepage"})
        EXPECT_EQ(RunCliForTest({action, "-p", TcpTarget(server)}).status, 0) << action;
    // The last action waits for no reply, so its bytes may still be on their way.
    EXPECT_TRUE(server.WaitFor([](VirtualPrinter& p) { return p.CodePagePrints() == 1; }));
    server.WithPrinter([](VirtualPrinter& p) {
        EXPECT_EQ(p.SelfTests(), 1);
        EXPECT_EQ(p.StatusPrints(), 1);
    });
}

TEST_F(CliEndToEndTest, RefusedConnectionFailsWithStatusOne)
{
    const std::string target = TcpTarget(server);
    server.Stop();
    const auto r = RunCliForTest({"check", "-p", target});
    EXPECT_EQ(r.status, 1);
}

// Every file the tool reads, handed each kind of file: a regular file is used; a folder,
// a named pipe, /dev/zero or a file over the reader's limit is refused at once, naming
// the file and the reason.
TEST_F(CliEndToEndTest, EveryFileItReadsIsARegularFileWithinItsLimit)
{
    struct Reader {
        const char* name;
        std::size_t limit;
        std::string content;
        std::function<std::vector<std::string>(const std::string& path)> args;
        int refusedStatus;
    };
    const std::string target = TcpTarget(server);
    const auto image = FullStatusFile::Encode(SettingsRecord{});
    const Reader readers[] = {
        {"sts-show.sts", StatusFile::kReadLimit, std::string(image.begin(), image.end()),
         [](const std::string& path) {
             return std::vector<std::string>{"sts", "show", path};
         },
         2},
        {"set-from.sts", StatusFile::kReadLimit, std::string(image.begin(), image.end()),
         [&](const std::string& path) {
             return std::vector<std::string>{"set", "--from", path, "--dry-run", "-p", target};
         },
         1},
        {"send.bin", kMaxCommandFileBytes, "\x0a",
         [&](const std::string& path) {
             return std::vector<std::string>{"send", "--file", path, "-p", target};
         },
         2},
        {"targets.txt", kMaxTargetsFileBytes, target + "\n",
         [](const std::string& path) {
             return std::vector<std::string>{"check", "--targets", path};
         },
         2},
    };
    for (const Reader& reader : readers)
        for (const test::FileKind kind : test::kAllFileKinds) {
            SCOPED_TRACE(std::string(reader.name) + " " + test::FileKindName(kind));
            test::TempDir files;
            const std::string path =
                test::MakeFileOfKind(files, kind, reader.name, reader.content, reader.limit);
            const std::string refusal = test::RefusalOf(kind, reader.limit);
            const auto r = RunCliForTest(reader.args(path));
            if (refusal.empty()) {
                EXPECT_EQ(r.status, 0) << r.err;
            } else {
                EXPECT_EQ(r.status, reader.refusedStatus);
                EXPECT_THAT(r.out + r.err, HasSubstr("Can't read the file: " + path + " (" + refusal + ")"));
            }
        }
}

// The serial reading style, byte by byte over the pseudo-terminal (slow by nature: one case).
TEST(CliOverPtyTest, GetOverASerialLine)
{
    SimServer server;
    ASSERT_TRUE(server.Start({true, false, 0})) << server.Error();
    server.WithPrinter([](VirtualPrinter& p) { p.SetSwitch(6, 0x0B); });
    const auto r = RunCliForTest({"get", "--json", "--flow", "none", "-p", server.PtyPath()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out)["switches"][5]["bits"], "00001011");
}

}  // namespace
}  // namespace zorvik
