// zorvik-cli against the virtual printer over loopback TCP (one case over its
// pseudo-terminal): what reaches the printer and what the tool reports.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/DesiredState.h"
#include "cli/Fleet.h"
#include "cli/StatusReport.h"
#include "cli/Target.h"
#include "cmdtest/CommandEditor.h"
#include "link/SystemPortFactory.h"
#include "settings/FullStatusFile.h"
#include "support/FileKinds.h"
#include "support/RowName.h"
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

// Printer texts are bytes: what is not UTF-8 reaches the JSON as U+FFFD, alone or in a fleet.
TEST_F(CliEndToEndTest, GetJsonCarriesPrinterTextsThatAreNotUtf8)
{
    struct Row {
        std::string firmware;
        std::string language;
        std::string firmwareJson;
        std::string languageJson;
    };
    const Row rows[] = {
        {"V1.00\xcf", "EN", "V1.00\xef\xbf\xbd", "EN"},
        {"\x80V2", "\xff\xfe", "\xef\xbf\xbdV2", "\xef\xbf\xbd\xef\xbf\xbd"},
        {"V1.\xc3\xa9", "\xe2\x82", "V1.\xc3\xa9", "\xef\xbf\xbd"},  // whole UTF-8 passes as it is
    };
    for (const Row& row : rows) {
        server.WithPrinter([&row](VirtualPrinter& p) {
            p.Identity().firmware = row.firmware;
            p.Identity().language = row.language;
        });
        const auto r = RunCliForTest({"get", "--json", "-p", TcpTarget(server)});
        ASSERT_EQ(r.status, 0) << r.err;
        const auto json = nlohmann::json::parse(r.out);
        EXPECT_EQ(json["firmware"], row.firmwareJson);
        EXPECT_EQ(json["language"], row.languageJson);
        EXPECT_EQ(json["printer"], TcpTarget(server));
    }

    SimServer second;
    SimServer third;
    ASSERT_TRUE(second.Start({false, true, 0}));
    ASSERT_TRUE(third.Start({false, true, 0}));
    server.WithPrinter([](VirtualPrinter& p) { p.Identity().firmware = "V1.00\xcf"; });
    const auto r = RunCliForTest(
        {"get", "--json", "-p", TcpTarget(second), "-p", TcpTarget(server), "-p", TcpTarget(third)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.err, HasSubstr("3 of 3 printers succeeded"));
    const auto json = nlohmann::json::parse(r.out);
    ASSERT_TRUE(json.is_array());
    ASSERT_EQ(json.size(), 3u);
    EXPECT_EQ(json[0]["printer"], TcpTarget(second));
    EXPECT_EQ(json[1]["printer"], TcpTarget(server));
    EXPECT_EQ(json[1]["firmware"], "V1.00\xef\xbf\xbd");
    EXPECT_EQ(json[2]["firmware"], json[0]["firmware"]);
}

// A status file of any other size than 292 bytes, or no regular file at all, is refused
// before any printer is touched: a short file would load as zeros and match anything.
struct SizeRow {
    const char* name;
    friend void PrintTo(const SizeRow& row, std::ostream* os) { *os << row.name; }
    std::uintmax_t size;
    bool directory;
};

const SizeRow kSizeRows[] = {
    {"Empty", 0, false},         {"OneByteShort", 291, false},
    {"OneByteLong", 293, false}, {"TenMegabytes", 10u << 20, false},
    {"Directory", 0, true},
};

class CliStatusFileSizeTest : public CliEndToEndTest, public ::testing::WithParamInterface<SizeRow> {};

TEST_P(CliStatusFileSizeTest, IsRefusedByEveryCommandNamingItsSize)
{
    const SizeRow& row = GetParam();
    const std::string odd = dir.File("odd.sts");
    if (row.directory) {
        std::filesystem::create_directory(odd);
    } else {
        std::ofstream(odd, std::ios::binary) << std::string(std::min<std::uintmax_t>(row.size, 291), '\x01');
        std::filesystem::resize_file(odd, row.size);
    }
    const std::string good = dir.File("good.sts");
    ASSERT_EQ(FullStatusFile::Save(good, SettingsRecord{}), StatusFile::Result::Ok);
    const std::string says = row.directory ? std::string("not a regular file")
                                           : "the file holds " + std::to_string(row.size) +
                                                 " bytes; a status file holds exactly 292";
    const std::vector<std::vector<std::string>> runs = {
        {"set", "--from", odd, "--rollback", dir.File("rb.sts"), "-p", TcpTarget(server)},
        {"sts", "show", odd},
        {"sts", "json", odd},
        {"sts", "diff", good, odd},
        {"sts", "diff", odd, good},
    };
    for (const auto& args : runs) {
        const auto r = RunCliForTest(args);
        EXPECT_EQ(r.status, 2) << args[0] << " " << args[1];
        EXPECT_THAT(r.err, HasSubstr(odd + ": " + says)) << args[0] << " " << args[1];
        EXPECT_EQ(r.out, "") << args[0] << " " << args[1];
    }
    EXPECT_TRUE(server.WithPrinter([](VirtualPrinter& p) { return p.Log().empty(); }));
    EXPECT_FALSE(std::filesystem::exists(dir.File("rb.sts")));
}

INSTANTIATE_TEST_SUITE_P(Sizes, CliStatusFileSizeTest, ::testing::ValuesIn(kSizeRows), test::RowName());

// Whatever a printer's action throws stays that printer's failure; the others still finish.
TEST_F(CliEndToEndTest, AThrowingActionFailsOnlyItsPrinter)
{
    SimServer second;
    SimServer third;
    ASSERT_TRUE(second.Start({false, true, 0}));
    ASSERT_TRUE(third.Start({false, true, 0}));
    const std::string bad = TcpTarget(second);
    const PrinterAction action = [&bad](PrinterSession& printer, std::ostream& out) -> bool {
        if (printer.GetTarget().text == bad)
            throw std::runtime_error("texts unreadable");
        out << "fine\n";
        return true;
    };
    LineOptions line;
    std::vector<Target> targets;
    for (const auto& text : {TcpTarget(server), bad, TcpTarget(third)})
        targets.push_back(*ParseTarget(text, line));
    CliEnv env;
    env.makePacer = [] { return std::make_unique<VirtualPacer>(); };
    std::ostringstream out;
    std::ostringstream err;
    Console console(out, err);
    // The printer alone, then in a fleet of three.
    for (const std::vector<Target>& run : {std::vector<Target>{targets[1]}, targets}) {
        Fleet fleet(env, console, false);
        EXPECT_FALSE(fleet.Run(run, action));
        ASSERT_EQ(fleet.Outcomes().size(), run.size());
        for (const auto& o : fleet.Outcomes()) {
            EXPECT_EQ(o.ok, o.target != bad) << o.target;
            if (o.target == bad) {
                EXPECT_THAT(o.detail, HasSubstr("texts unreadable"));
            }
        }
    }
    EXPECT_THAT(err.str(), HasSubstr("2 of 3 printers succeeded"));
}

TEST_F(CliEndToEndTest, SetFromAStatusFileChangesExactlyTheSwitchesThatDiffer)
{
    SetSwitches({{1, 0x00}, {2, 0x00}, {3, 0x00}, {4, 0x00}, {5, 0x04}, {6, 0x00}, {11, 0x00}, {12, 0x00}});
    // The file asks for switch 2 and 5 to change and repeats the rest as they are.
    SettingsRecord wanted;
    for (int e = 0; e < kSwitchCount; ++e)
        for (int pin = 1; pin <= kPinCount; ++pin)
            wanted.Pin(e, pin) = SlotOf(PinState::Off);
    wanted.Pin(kEntrySwitch2, 4) = SlotOf(PinState::On);  // code page 1
    wanted.Pin(4, 3) = SlotOf(PinState::Off);             // MSW 5 pin 3 off again
    wanted.Pin(4, 8) = SlotOf(PinState::On);
    const std::string file = dir.File("wanted.sts");
    ASSERT_EQ(FullStatusFile::Save(file, wanted), StatusFile::Result::Ok);
    const std::string rollback = dir.File("old.sts");

    const auto r = RunCliForTest({"set", "--from", file, "--rollback", rollback, "-p", TcpTarget(server)});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find("Previous")),
              ChangeLines({{kEntrySwitch2, 4, SlotOf(PinState::Off), SlotOf(PinState::On)},
                           {4, 3, SlotOf(PinState::On), SlotOf(PinState::Off)},
                           {4, 8, SlotOf(PinState::Off), SlotOf(PinState::On)}}));
    EXPECT_THAT(r.out, HasSubstr("holds every written setting"));
    const std::map<int, std::uint8_t> expected = {{1, 0x00}, {2, 0x08}, {3, 0x00},  {4, 0x00},
                                                  {5, 0x80}, {6, 0x00}, {11, 0x00}, {12, 0x00}};
    for (auto [n, bits] : expected)
        EXPECT_EQ(Switch(n), bits) << "MSW " << n;

    // The rollback file holds the old state of every switch, 3 to 6 included.
    SettingsRecord old;
    ASSERT_EQ(FullStatusFile::Load(rollback, old), StatusFile::Result::Ok);
    EXPECT_EQ(old.Pin(4, 3), PinState::On);
    EXPECT_EQ(old.Pin(kEntrySwitch2, 4), PinState::Off);
}

// A file the window saved leaves switches 3 to 6 out: the printer keeps them.
TEST_F(CliEndToEndTest, SetFromAWindowStatusFileLeavesSwitchesThreeToSix)
{
    SetSwitches({{3, 0x05}, {4, 0x0C}, {5, 0x04}, {6, 0x0B}, {12, 0x00}});
    SettingsRecord wanted;
    for (int e = 0; e < kSwitchCount; ++e)
        for (int pin = 1; pin <= kPinCount; ++pin)
            wanted.Pin(e, pin) = SlotOf(PinState::Off);
    wanted.Pin(kEntrySwitch12, 2) = SlotOf(PinState::On);
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

TEST_F(CliEndToEndTest, GetSavesNothingWhenThePrinterHangsUpOrBabblesMidRead)
{
    for (bool babble : {false, true}) {
        SimServer printer;
        ASSERT_TRUE(printer.Start({false, true, 0}));
        printer.WithPrinter([babble](VirtualPrinter& p) {
            p.Faults().faultReplies = kSimReplySwitch;
            (babble ? p.Faults().babbleAfterReplies : p.Faults().hangUpAfterReplies) = 3;
        });
        const std::string file = dir.File(babble ? "babble.sts" : "hangup.sts");
        const auto r = RunCliForTest({"get", "--save", file, "-p", TcpTarget(printer)});
        EXPECT_EQ(r.status, 1) << babble;
        EXPECT_FALSE(std::filesystem::exists(file)) << babble;
        EXPECT_THAT(r.err + r.out, Not(HasSubstr("Success"))) << babble;
        EXPECT_THAT(r.err, HasSubstr("Can't connect printer. Please restart printer.")) << babble;
    }
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

// A port that takes no more than a set number of bytes in all, as a line that goes
// dead in the middle of a long transfer.
class CappedPort final : public Port {
public:
    CappedPort(std::unique_ptr<Port> port, std::size_t cap) : port_(std::move(port)), left_(cap) {}
    int Configure(const PortSettings& settings) override { return port_->Configure(settings); }
    int Open() override { return port_->Open(); }
    int Write(const std::uint8_t* b, std::uint32_t n) override
    {
        const auto taken = static_cast<std::uint32_t>(std::min<std::size_t>(n, left_));
        left_ -= taken;
        return taken == 0 ? 0 : port_->Write(b, taken);
    }
    int Read(std::uint8_t* b, std::uint32_t n, std::uint32_t ms) override { return port_->Read(b, n, ms); }
    void Close() override { port_->Close(); }

private:
    std::unique_ptr<Port> port_;
    std::size_t left_;
};

class CappedFactory final : public PortFactory {
public:
    CappedFactory(Pacer& pacer, Notifier& notifier, std::size_t cap)
        : system_(MakeSystemPortFactory(pacer, notifier)), cap_(cap)
    {
    }
    std::unique_ptr<Port> Make(InterfaceType type) override
    {
        return std::make_unique<CappedPort>(system_->Make(type), cap_);
    }

private:
    std::unique_ptr<PortFactory> system_;
    std::size_t cap_;
};

// "set --json": one document per printer, parsed back for every outcome.
struct SetJsonRow {
    const char* name;
    friend void PrintTo(const SetJsonRow& row, std::ostream* os) { *os << row.name; }
    std::function<void(SimServer&)> setUp;
    std::vector<std::string> args;
    int status;
    const char* stage;  // nullptr: success
    bool changed;
    bool rollback;             // a rollback file was written and named
    std::size_t writeCap = 0;  // > 0: the line takes no more bytes than this
};

const SetJsonRow kSetJsonRows[] = {
    {"Changes", [](SimServer&) {}, {"--pin", "5.3=on"}, 0, nullptr, true, true},
    {"NothingToChange",
     [](SimServer& s) { s.WithPrinter([](VirtualPrinter& p) { p.SetSwitch(11, 0x02); }); },
     {"--pin", "11.2=on"},
     0,
     nullptr,
     false,
     false},
    {"DryRun", [](SimServer&) {}, {"--dry-run", "--pin", "5.3=on"}, 0, nullptr, true, false},
    {"Connect", [](SimServer& s) { s.Stop(); }, {"--pin", "5.3=on"}, 1, "connect", false, false},
    {"Identify",
     [](SimServer& s) { s.WithPrinter([](VirtualPrinter& p) { p.Faults().noIdReply = true; }); },
     {"--pin", "5.3=on"},
     1,
     "identify",
     false,
     false},
    {"Read",
     [](SimServer& s) { s.WithPrinter([](VirtualPrinter& p) { p.Faults().silentSwitch = 11; }); },
     {"--pin", "5.3=on"},
     1,
     "read",
     false,
     false},
    {"Write",
     [](SimServer& s) {
         s.WithPrinter([](VirtualPrinter& p) {
             p.Faults().faultReplies = kSimReplyUserMode;
             p.Faults().hangUpAfterReplies = 1;
         });
     },
     {"--pin", "5.3=on"},
     1,
     "write",
     true,
     true},
    {"Verify",
     [](SimServer& s) { s.WithPrinter([](VirtualPrinter& p) { p.Faults().ignoredSwitchWrite = 5; }); },
     {"--pin", "5.3=on"},
     1,
     "verify",
     true,
     true},
    {"FontDownload",
     [](SimServer&) {},
     {"--double-font", "KS5601(Korean)"},
     1,
     "font download",
     true,
     true,
     20000},
};

class CliSetJsonTest : public CliEndToEndTest, public ::testing::WithParamInterface<SetJsonRow> {};

TEST_P(CliSetJsonTest, ReportsTheOutcomeAsOneDocument)
{
    const SetJsonRow& row = GetParam();
    const std::string target = TcpTarget(server);
    row.setUp(server);
    std::vector<std::string> args = {"set", "--json", "--rollback", dir.File("rb.sts"), "-p", target};
    args.insert(args.end(), row.args.begin(), row.args.end());
    CliEnv env;
    if (row.writeCap > 0)
        env.makePortFactory = [cap = row.writeCap](Pacer& pacer, Notifier& notifier) {
            return std::unique_ptr<PortFactory>(std::make_unique<CappedFactory>(pacer, notifier, cap));
        };
    const auto r = RunCliForTest(args, env);
    EXPECT_EQ(r.status, row.status) << r.out << r.err;
    const auto json = nlohmann::json::parse(r.out, nullptr, false);
    ASSERT_TRUE(json.is_object()) << r.out;
    EXPECT_EQ(json.value("printer", ""), target);
    EXPECT_EQ(json.value("changed", false), row.changed);
    EXPECT_EQ(json.value("stage", ""), row.stage ? row.stage : "");
    EXPECT_EQ(json.contains("error"), row.stage != nullptr);
    if (row.stage) {
        EXPECT_FALSE(json["error"].get<std::string>().empty());
    }
    EXPECT_EQ(json.contains("rollback") && json["rollback"].is_string(), row.rollback) << r.out;
    EXPECT_EQ(std::filesystem::exists(dir.File("rb.sts")), row.rollback);
    const bool read = !row.stage || row.stage == std::string("write") || row.stage == std::string("verify") ||
                      row.stage == std::string("font download");
    ASSERT_EQ(json.contains("before") && json["before"].is_object(), read) << r.out;
    if (!read)
        return;
    // before and after have the shape of "get --json", so either feeds "set --state";
    // after a failed write only a whole read-back says what the printer holds.
    const bool after = !row.stage || row.stage == std::string("verify");
    ASSERT_EQ(json["after"].is_object(), after) << r.out;
    EXPECT_TRUE(json["before"]["settings"].contains("codePage"));
    EXPECT_EQ(json["before"]["switches"].size(), 8u);
    if (after && row.args.back() == "5.3=on") {
        const bool held = json["after"]["switches"][4]["pins"][2]["state"] == "on";
        EXPECT_EQ(held, row.changed && row.stage == nullptr) << r.out;
        EXPECT_EQ(json["changes"].size(), row.changed ? 1u : 0u);
    }
    EXPECT_EQ(json["fontDownload"].is_string(), row.args.front() == "--double-font");
    EXPECT_EQ(json.value("dryRun", false), row.args.front() == "--dry-run");
}

INSTANTIATE_TEST_SUITE_P(Outcomes, CliSetJsonTest, ::testing::ValuesIn(kSetJsonRows), test::RowName());

TEST_F(CliEndToEndTest, GetJsonFedBackAsDesiredStateCopiesAPrinterAndThenWritesNothing)
{
    SetSwitches({{1, 0x04}, {2, 0x24}, {5, 0x05}, {11, 0x80}});
    server.WithPrinter([](VirtualPrinter& p) { p.SetPowerSave(true, 90); });
    const auto got = RunCliForTest({"get", "--json", "-p", TcpTarget(server)});
    ASSERT_EQ(got.status, 0) << got.err;
    const std::string state = dir.File("state.json");
    std::ofstream(state) << got.out;

    SimServer other;
    ASSERT_TRUE(other.Start({false, true, 0}));
    auto set = [&] {
        return RunCliForTest(
            {"set", "--json", "--state", state, "--rollback", dir.File("copy.sts"), "-p", TcpTarget(other)});
    };
    auto r = set();
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(nlohmann::json::parse(r.out)["changed"].get<bool>());
    for (int n : kSwitches)
        EXPECT_EQ(other.WithPrinter([n](VirtualPrinter& p) { return p.Switch(n); }), Switch(n)) << n;
    EXPECT_EQ(other.WithPrinter([](VirtualPrinter& p) { return p.PowerSaveSeconds(); }), 90);

    const auto writes = other.WithPrinter([](VirtualPrinter& p) { return p.Log().size(); });
    r = set();
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const auto again = nlohmann::json::parse(r.out);
    EXPECT_FALSE(again["changed"].get<bool>());
    EXPECT_TRUE(again["changes"].empty());
    EXPECT_TRUE(again["rollback"].is_null());
    EXPECT_EQ(again["before"], again["after"]);
    const auto log = other.WithPrinter([](VirtualPrinter& p) { return p.Log(); });
    EXPECT_TRUE(std::none_of(log.begin() + static_cast<std::ptrdiff_t>(writes), log.end(),
                             [](const SimCommand& c) { return c.name.rfind("GS ( E fn 3", 0) == 0; }));
}

TEST_F(CliEndToEndTest, ADesiredDoubleByteFontIsDownloadedOnlyWhileThePrinterLacksIt)
{
    const std::string state = dir.File("font.json");
    std::ofstream(state)
        << R"json({"settings": {"doubleFont": "KS5601(Korean)", "codePage": "PC850 (Multilingual)"}})json";
    auto set = [&] {
        return RunCliForTest(
            {"set", "--json", "--state", state, "--rollback", dir.File("rb.sts"), "-p", TcpTarget(server)});
    };
    auto r = set();
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    auto json = nlohmann::json::parse(r.out);
    EXPECT_EQ(json["fontDownload"], "KS5601(Korean)");
    EXPECT_TRUE(json["changed"].get<bool>());
    EXPECT_TRUE(server.WithPrinter([](VirtualPrinter& p) { return p.FontComplete(); }));
    EXPECT_EQ(Switch(12), 0x01);

    r = set();
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    json = nlohmann::json::parse(r.out);
    EXPECT_TRUE(json["fontDownload"].is_null()) << r.out;
    EXPECT_FALSE(json["changed"].get<bool>()) << r.out;
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
    // One array: each printer's own answer in the order named, the silent one with its reason.
    const auto json = nlohmann::json::parse(r.out);
    ASSERT_EQ(json.size(), 3u);
    EXPECT_EQ(json[0]["printer"], TcpTarget(server));
    EXPECT_EQ(json[0]["switches"][6]["bits"], "00000001");
    EXPECT_EQ(json[1]["printer"], TcpTarget(silent));
    EXPECT_THAT(json[1]["error"].get<std::string>(), HasSubstr("Fail to get printer ID."));
    EXPECT_FALSE(json[1].contains("switches"));
    EXPECT_EQ(json[2]["printer"], TcpTarget(second));
    EXPECT_EQ(json[2]["switches"][6]["bits"], "00000010");
    EXPECT_FALSE(json[2].contains("error"));

    // Without --json: one line per printer that answered, in the order named.
    const auto lines = RunCliForTest(
        {"get", "-p", TcpTarget(server), "-p", TcpTarget(silent), "-p", TcpTarget(second), "--jobs", "1"});
    EXPECT_EQ(lines.status, 1);
    const std::size_t width =
        std::max({TcpTarget(server).size(), TcpTarget(silent).size(), TcpTarget(second).size()});
    auto padded = [width](std::string t) { return t + std::string(width - t.size(), ' '); };
    EXPECT_THAT(lines.out, ::testing::MatchesRegex(padded(TcpTarget(server)) +
                                                   "  LXT-640IV [^\n]*  MSW 11 00000001  MSW 12 [01]{8}\n" +
                                                   padded(TcpTarget(second)) +
                                                   "  LXT-640IV [^\n]*  MSW 11 00000010  MSW 12 [01]{8}\n"));
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

TEST_F(CliEndToEndTest, SendOfALargeFileGoesInPiecesWithProgress)
{
    VirtualPrinter::Bytes bytes(20000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>('A' + i % 26);
    const std::string file = dir.File("long.bin");
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const auto r = RunCliForTest({"send", "--file", file, "-p", TcpTarget(server)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "20000 of 20000 bytes sent\n");
    EXPECT_THAT(r.err, HasSubstr("sending [" + std::string(8, '#')));
    EXPECT_THAT(r.err, HasSubstr("] 100%"));
    EXPECT_TRUE(server.WaitFor([&bytes](VirtualPrinter& p) { return p.PrintData() == bytes; }));
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

// "health" for each condition of the printer: the states in words, the one word,
// the JSON and the exit status (0 ready, 3 needs attention).
TEST_F(CliEndToEndTest, HealthReportsEachConditionWithItsExitStatus)
{
    struct Row {
        unsigned conditions;
        int status;
        const char* word;
        const char* line;  // the line that shows the condition
    };
    const Row rows[] = {
        {0, 0, "ready", "printer        online\n"},
        {kSimPaperNearEnd, 3, "paper low", "paper          paper near end\n"},
        {kSimPaperEnd, 3, "paper out", "offline cause  printing stopped by paper end\n"},
        {kSimCoverOpen, 3, "cover open", "offline cause  cover open\n"},
        {kSimCutterError, 3, "error", "error cause    cutter error\n"},
        {kSimOffline, 3, "offline", "printer        offline\n"},
        {kSimFeedButton, 0, "ready", "printer        feed button pressed\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.word);
        server.WithPrinter([&row](VirtualPrinter& p) { p.SetConditions(row.conditions); });
        const auto r = RunCliForTest({"health", "-p", TcpTarget(server)});
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_THAT(r.out, HasSubstr(row.line));
        EXPECT_THAT(r.out, HasSubstr(std::string("health         ") + row.word + "\n"));
        const auto j = RunCliForTest({"health", "--json", "-p", TcpTarget(server)});
        EXPECT_EQ(j.status, row.status) << j.err;
        const auto json = nlohmann::json::parse(j.out);
        EXPECT_EQ(json["health"], row.word);
        EXPECT_EQ(json["ready"], row.status == 0);
        EXPECT_EQ(json["coverOpen"], row.conditions == kSimCoverOpen);
        EXPECT_EQ(json["cutterError"], row.conditions == kSimCutterError);
        EXPECT_EQ(json["paperNearEnd"], row.conditions == kSimPaperNearEnd || row.conditions == kSimPaperEnd);
        ASSERT_EQ(json["statusBytes"].size(), 4u);
    }
}

// A printer that cannot be asked is "unknown" with exit status 1, never ready.
TEST_F(CliEndToEndTest, HealthOfAPrinterThatDoesNotAnswerIsUnknown)
{
    struct Row {
        const char* name;
        std::function<void(SimFaults&)> fault;
    };
    const Row rows[] = {
        {"silent", [](SimFaults& f) { f.silent = true; }},
        {"status bytes not framed",
         [](SimFaults& f) {
             f.faultReplies = kSimReplyStatus;
             f.replaceHead = {0x13};
         }},
        {"hangs up after the second status byte",
         [](SimFaults& f) {
             f.faultReplies = kSimReplyStatus;
             f.hangUpAfterReplies = 2;
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        server.WithPrinter([&row](VirtualPrinter& p) {
            p.Faults() = SimFaults{};
            row.fault(p.Faults());
        });
        const auto r = RunCliForTest({"health", "-p", TcpTarget(server)});
        EXPECT_EQ(r.status, 1);
        EXPECT_THAT(r.out, HasSubstr("health         unknown\n"));
        EXPECT_THAT(r.out, Not(HasSubstr("ready")));
        const auto j = RunCliForTest({"health", "--json", "-p", TcpTarget(server)});
        EXPECT_EQ(j.status, 1);
        const auto json = nlohmann::json::parse(j.out);
        EXPECT_EQ(json["health"], "unknown");
        EXPECT_EQ(json["ready"], false);
        // Only a printer that never identified itself failed before it was asked.
        EXPECT_EQ(json.contains("stage"), std::string(row.name) == "silent");
    }
}

// Pauses as a VirtualPacer does; a pause of `ms` also runs the hook with its count.
class HookPacer final : public Pacer {
public:
    HookPacer(std::uint32_t ms, std::function<void(int)> hook) : ms_(ms), hook_(std::move(hook)) {}
    void Pause(std::uint32_t ms) override
    {
        if (ms == ms_)
            hook_(++count_);
    }

private:
    std::uint32_t ms_;
    std::function<void(int)> hook_;
    int count_ = 0;
};

// --watch asks again after each interval and prints the first state and each change,
// time-stamped; a request that brings the same state prints nothing.
TEST_F(CliEndToEndTest, HealthWatchPrintsEachChangeWithATimeStamp)
{
    const std::vector<unsigned> after = {kSimCoverOpen, kSimCoverOpen, 0, kSimPaperNearEnd};
    CliEnv env;
    env.makePacer = [&] {
        return std::make_unique<HookPacer>(7000, [&](int n) {
            server.WithPrinter(
                [&](VirtualPrinter& p) { p.SetConditions(after[static_cast<std::size_t>(n - 1)]); });
        });
    };
    const auto r =
        RunCliForTest({"health", "--watch", "7", "--watch-count", "5", "-p", TcpTarget(server)}, env);
    EXPECT_EQ(r.status, 3) << r.err;
    const std::string stamp = "[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}  ";
    EXPECT_THAT(r.out,
                ::testing::MatchesRegex(stamp + "ready\n" + stamp + "cover open: offline, cover open\n" +
                                        stamp + "ready\n" + stamp + "paper low: paper near end\n"));

    const auto j = RunCliForTest(
        {"health", "--json", "--watch", "7", "--watch-count", "2", "-p", TcpTarget(server)}, env);
    std::istringstream lines(j.out);
    std::string line;
    std::vector<std::string> words;
    while (std::getline(lines, line)) {
        const auto json = nlohmann::json::parse(line);
        EXPECT_TRUE(json.contains("time"));
        words.push_back(json["health"]);
    }
    EXPECT_EQ(words, (std::vector<std::string>{"paper low", "cover open"}));

    // A watch follows one printer.
    SimServer second;
    ASSERT_TRUE(second.Start({false, true, 0}));
    const auto two =
        RunCliForTest({"health", "--watch", "7", "-p", TcpTarget(server), "-p", TcpTarget(second)});
    EXPECT_EQ(two.status, 2);
}

// In a fleet every printer gets a line with its summary and the closing table the
// word that matters most; the JSON array says it too, "unknown" for one not reached.
TEST_F(CliEndToEndTest, FleetHealthColumnForAMixedFleet)
{
    SimServer paperLow;
    SimServer coverOpen;
    SimServer silent;
    for (SimServer* s : {&paperLow, &coverOpen, &silent})
        ASSERT_TRUE(s->Start({false, true, 0}));
    paperLow.WithPrinter([](VirtualPrinter& p) { p.SetConditions(kSimPaperNearEnd); });
    coverOpen.WithPrinter([](VirtualPrinter& p) { p.SetConditions(kSimCoverOpen | kSimPaperEnd); });
    silent.WithPrinter([](VirtualPrinter& p) { p.Faults().silent = true; });
    const std::vector<std::string> all = {"health",
                                          "-p",
                                          TcpTarget(server),
                                          "-p",
                                          TcpTarget(paperLow),
                                          "-p",
                                          TcpTarget(coverOpen),
                                          "-p",
                                          TcpTarget(silent)};

    const auto r = RunCliForTest(all);
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("RESULT  HEALTH      DETAIL\n"));
    EXPECT_THAT(r.err, HasSubstr(TcpTarget(server) + "  ok      ready       \n"));
    EXPECT_THAT(r.err, HasSubstr(TcpTarget(paperLow) + "  ok      paper low   \n"));
    EXPECT_THAT(r.err, HasSubstr(TcpTarget(coverOpen) + "  ok      cover open  \n"));
    EXPECT_THAT(r.err, HasSubstr(TcpTarget(silent) + "  FAILED  unknown     Fail to get printer ID."));
    EXPECT_THAT(r.out, HasSubstr(TcpTarget(paperLow) + "  paper low: paper near end\n"));

    auto json = RunCliForTest([&] {
        auto args = all;
        args.push_back("--json");
        return args;
    }());
    EXPECT_EQ(json.status, 1);
    const auto array = nlohmann::json::parse(json.out);
    ASSERT_EQ(array.size(), 4u);
    const char* words[] = {"ready", "paper low", "cover open", "unknown"};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(array[i]["health"], words[i]) << i;
    EXPECT_TRUE(array[3].contains("error"));

    // Every printer asked, one needing attention: 3.
    const auto answered = RunCliForTest(
        {"health", "-p", TcpTarget(server), "-p", TcpTarget(paperLow), "-p", TcpTarget(coverOpen)});
    EXPECT_EQ(answered.status, 3) << answered.err;
    EXPECT_THAT(answered.err, HasSubstr("3 of 3 printers succeeded"));
}

TEST_F(CliEndToEndTest, RefusedConnectionFailsWithStatusOne)
{
    const std::string target = TcpTarget(server);
    server.Stop();
    const auto r = RunCliForTest({"check", "-p", target});
    EXPECT_EQ(r.status, 1);
}

// Counts the printers' ports that are open at the same time.
struct OpenPorts {
    std::atomic<int> open{0};
    std::atomic<int> most{0};
    std::atomic<int> opened{0};

    void Opened()
    {
        ++opened;
        const int now = ++open;
        for (int seen = most; now > seen && !most.compare_exchange_weak(seen, now);) {
        }
    }
    void Closed() { --open; }
};

class CountedPort final : public Port {
public:
    CountedPort(std::unique_ptr<Port> port, OpenPorts& ports) : port_(std::move(port)), ports_(ports) {}
    ~CountedPort() override { Release(); }
    int Configure(const PortSettings& settings) override { return port_->Configure(settings); }
    int Open() override
    {
        const int result = port_->Open();
        if (result && !open_) {
            open_ = true;
            ports_.Opened();
        }
        return result;
    }
    int Write(const std::uint8_t* buffer, std::uint32_t count) override
    {
        return port_->Write(buffer, count);
    }
    int Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t timeoutMs) override
    {
        return port_->Read(buffer, count, timeoutMs);
    }
    void Close() override
    {
        port_->Close();
        Release();
    }

private:
    void Release()
    {
        if (open_)
            ports_.Closed();
        open_ = false;
    }
    std::unique_ptr<Port> port_;
    OpenPorts& ports_;
    bool open_ = false;
};

class CountedPortFactory final : public PortFactory {
public:
    CountedPortFactory(std::unique_ptr<PortFactory> factory, OpenPorts& ports)
        : factory_(std::move(factory)), ports_(ports)
    {
    }
    std::unique_ptr<Port> Make(InterfaceType type) override
    {
        auto port = factory_->Make(type);
        return port ? std::make_unique<CountedPort>(std::move(port), ports_) : nullptr;
    }

private:
    std::unique_ptr<PortFactory> factory_;
    OpenPorts& ports_;
};

// A long targets file is served by --jobs threads at most, every printer to the end.
TEST(CliFleetLimitTest, ManyPrintersAtMostJobsAtOnce)
{
    constexpr int kPrinters = 200;
    std::vector<std::unique_ptr<SimServer>> servers;
    test::TempDir dir;
    const std::string list = dir.File("printers.txt");
    {
        std::ofstream file(list);
        for (int i = 0; i < kPrinters; ++i) {
            servers.push_back(std::make_unique<SimServer>());
            ASSERT_TRUE(servers.back()->Start({false, true, 0})) << servers.back()->Error();
            file << TcpTarget(*servers.back()) << "\n";
        }
    }
    OpenPorts ports;
    CliEnv env;
    env.makePortFactory = [&ports](Pacer& pacer, Notifier& notifier) -> std::unique_ptr<PortFactory> {
        return std::make_unique<CountedPortFactory>(MakeSystemPortFactory(pacer, notifier), ports);
    };
    const auto r = RunCliForTest({"check", "--targets", list, "--jobs", "16"}, env);
    EXPECT_EQ(r.status, 0) << r.err.substr(r.err.size() > 2000 ? r.err.size() - 2000 : 0);
    EXPECT_THAT(r.err, HasSubstr("200 of 200 printers succeeded"));
    EXPECT_EQ(ports.opened, kPrinters);
    EXPECT_EQ(ports.open, 0);
    EXPECT_LE(ports.most, 16);
    EXPECT_GT(ports.most, 1);
    for (const auto& server : servers)
        EXPECT_TRUE(server->WithPrinter([](VirtualPrinter& p) { return !p.Log().empty(); }));

    // The same printer again, written another way, is refused before any printer is served.
    std::ofstream(list, std::ios::app) << "127.0.0.1\n";
    const auto twice = RunCliForTest(
        {"check", "--targets", list, "--tcp-port", std::to_string(servers[7]->TcpPort()), "--jobs", "16"},
        env);
    EXPECT_EQ(twice.status, 2);
    EXPECT_THAT(twice.err,
                HasSubstr("\"" + TcpTarget(*servers[7]) + "\" and \"127.0.0.1\" name the same printer"));
    EXPECT_EQ(ports.opened, kPrinters);
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
        bool statusFile = false;  // refused before reading: not exactly 292 bytes of a regular file
    };
    const std::string target = TcpTarget(server);
    const auto image = FullStatusFile::Encode(SettingsRecord{});
    const Reader readers[] = {
        {"sts-show.sts", StatusFile::kReadLimit, std::string(image.begin(), image.end()),
         [](const std::string& path) {
             return std::vector<std::string>{"sts", "show", path};
         },
         2, true},
        {"set-from.sts", StatusFile::kReadLimit, std::string(image.begin(), image.end()),
         [&](const std::string& path) {
             return std::vector<std::string>{"set", "--from", path, "--dry-run", "-p", target};
         },
         2, true},
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
        {"state.json", kMaxStateFileBytes,
         R"({"switches": [{"switch": 5, "pins": [{"pin": 3, "state": "on"}]}]})",
         [&](const std::string& path) {
             return std::vector<std::string>{"set", "--state", path, "--dry-run", "-p", target};
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
                if (reader.statusFile)
                    EXPECT_THAT(r.out + r.err,
                                HasSubstr(path + ": " +
                                          (kind == test::FileKind::OverLimit ? "the file holds"
                                                                             : "not a regular file")));
                else
                    EXPECT_THAT(r.out + r.err,
                                HasSubstr("Can't read the file: " + path + " (" + refusal + ")"));
            }
        }
}

// Ports that reach one virtual printer whatever the example names: a serial name or
// device path goes to its pseudo-terminal, any IPv4 address to its loopback port.
// Nothing ever leaves this machine.
class RoutedPort final : public Port {
public:
    RoutedPort(std::unique_ptr<Port> port, InterfaceType type, const SimServer& server)
        : port_(std::move(port)), type_(type), server_(server)
    {
    }
    int Configure(const PortSettings& settings) override
    {
        PortSettings routed = settings;
        if (type_ == InterfaceType::Serial) {
            routed.portName = server_.PtyPath();
        } else if (type_ == InterfaceType::Ethernet) {
            routed.portName = "127.0.0.1";
            routed.tcpPort = server_.TcpPort();
        }
        return port_->Configure(routed);
    }
    int Open() override { return port_->Open(); }
    int Write(const std::uint8_t* b, std::uint32_t n) override { return port_->Write(b, n); }
    int Read(std::uint8_t* b, std::uint32_t n, std::uint32_t ms) override { return port_->Read(b, n, ms); }
    void Close() override { port_->Close(); }

private:
    std::unique_ptr<Port> port_;
    InterfaceType type_;
    const SimServer& server_;
};

class RoutedFactory final : public PortFactory {
public:
    RoutedFactory(Pacer& pacer, Notifier& notifier, const SimServer& server)
        : system_(MakeSystemPortFactory(pacer, notifier)), server_(server)
    {
    }
    std::unique_ptr<Port> Make(InterfaceType type) override
    {
        return std::make_unique<RoutedPort>(system_->Make(type), type, server_);
    }

private:
    std::unique_ptr<PortFactory> system_;
    const SimServer& server_;
};

// The shell words of one example line of a man page ("\-" is "-", double quotes group).
std::vector<std::string> ExampleWords(const std::string& line)
{
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    bool any = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\\' && i + 1 < line.size() && line[i + 1] == '-') {
            word += '-';
            ++i;
            any = true;
        } else if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any)
                words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any)
        words.push_back(word);
    return words;
}

// Every example of the zorvik-cli man page runs against the virtual printer and
// succeeds; file names land in a temporary folder.
TEST(CliManPageTest, EveryExampleRunsAgainstTheVirtualPrinter)
{
    std::ifstream man(std::string(ZORVIK_MAN_DIR) + "/zorvik-cli.1");
    ASSERT_TRUE(man.good());
    std::vector<std::vector<std::string>> examples;
    bool inExamples = false;
    for (std::string line; std::getline(man, line);) {
        if (line == ".SH EXAMPLES")
            inExamples = true;
        else if (inExamples && line.rfind(".SH", 0) == 0)
            break;
        else if (inExamples && line.rfind("zorvik", 0) == 0)
            examples.push_back(ExampleWords(line));
    }
    ASSERT_GE(examples.size(), 4u);

    SimServer server;
    ASSERT_TRUE(server.Start({true, true, 0})) << server.Error();
    test::TempDir dir;
    std::ofstream(dir.File("tills.txt")) << "# the tills\n10.0.0.5\n";
    std::ofstream(dir.File("till.json")) << R"({"settings": {"printSpeed": "Print speed 2"}})";
    CliEnv env;
    env.makePortFactory = [&server](Pacer& pacer, Notifier& notifier) {
        return std::make_unique<RoutedFactory>(pacer, notifier, server);
    };
    for (auto words : examples) {
        ASSERT_EQ(words.front(), "zorvik-cli");
        words.erase(words.begin());
        for (auto& w : words)
            if (w.ends_with(".sts") || w.ends_with(".txt") || w.ends_with(".json"))
                w = dir.File(w);
        std::string shown;
        for (const auto& w : words)
            shown += " " + w;
        const auto r = RunCliForTest(words, env);
        EXPECT_EQ(r.status, 0) << shown << "\n" << r.err << r.out;
    }
    EXPECT_TRUE(std::filesystem::exists(dir.File("shop.sts")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("till-before.sts")));
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
