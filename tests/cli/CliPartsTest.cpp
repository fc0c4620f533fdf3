// The tool's own pieces: target names, pin edits, list choices, the full status
// file, the timer loop, trace lines and the fleet's table.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/AtomicFile.h"
#include "cli/Fleet.h"
#include "cli/LoopTimerHost.h"
#include "cli/PieceSender.h"
#include "cli/PrintingNotifier.h"
#include "cli/SettingEdits.h"
#include "cli/Target.h"
#include "cli/TraceWriter.h"
#include "settings/FullStatusFile.h"
#include "settings/PrinterSettingModel.h"
#include "support/FakePort.h"
#include "support/RowName.h"
#include "support/TempDir.h"

namespace zorvik {
namespace {

struct TargetRow {
    const char* text;
    bool valid;
    InterfaceType type;
    const char* portName;
    std::uint32_t tcpPort;
    friend void PrintTo(const TargetRow& row, std::ostream* os) { *os << '"' << row.text << '"'; }
};

const TargetRow kTargetRows[] = {
    {"COM3", true, InterfaceType::Serial, "COM3", 0},
    {"\\\\.\\COM12", true, InterfaceType::Serial, "\\\\.\\COM12", 0},
    {"/dev/ttyUSB0", true, InterfaceType::Serial, "/dev/ttyUSB0", 0},
    {"LPT2", true, InterfaceType::Parallel, "LPT2", 0},
    {"LXT-640IV:/dev/usb/lp0", true, InterfaceType::Usb, "LXT-640IV:/dev/usb/lp0", 0},
    {"LXT-640IV:", false, InterfaceType::Usb, "", 0},
    {"127.0.0.1:9100", true, InterfaceType::Ethernet, "127.0.0.1", 9100},
    {"10.0.0.5", true, InterfaceType::Ethernet, "10.0.0.5", 4242},  // the --tcp-port value
    {"127.0.0.1:0", false, InterfaceType::Ethernet, "", 0},
    {"127.0.0.1:65536", false, InterfaceType::Ethernet, "", 0},
    {"127.0.0.1:", false, InterfaceType::Ethernet, "", 0},
    {"127.0.0:9100", false, InterfaceType::Ethernet, "", 0},
    {"1.2.3", false, InterfaceType::Ethernet, "", 0},
    {"999.999.999.999", false, InterfaceType::Ethernet, "", 0},
    {"256.0.0.1:9100", false, InterfaceType::Ethernet, "", 0},
    {"127.0.0.1.5", false, InterfaceType::Ethernet, "", 0},
    {"127..0.1", false, InterfaceType::Ethernet, "", 0},
    {"127.0.0.", false, InterfaceType::Ethernet, "", 0},
    {"127.0.0.01", false, InterfaceType::Ethernet, "", 0},  // the system reads no leading zeros
    {"1270.0.0.1", false, InterfaceType::Ethernet, "", 0},
    {"255.255.255.0:1", true, InterfaceType::Ethernet, "255.255.255.0", 1},
    {"0.0.0.0", true, InterfaceType::Ethernet, "0.0.0.0", 4242},
    {"printer.local", false, InterfaceType::Ethernet, "", 0},
    {"com3", false, InterfaceType::Ethernet, "", 0},  // names are case-sensitive, as the link reads them
    {"", false, InterfaceType::Ethernet, "", 0},
};

class TargetTest : public ::testing::TestWithParam<TargetRow> {};

TEST_P(TargetTest, Parses)
{
    const TargetRow& row = GetParam();
    LineOptions line;
    line.tcpPort = 4242;
    line.baudRate = 19200;
    std::string error;
    const auto target = ParseTarget(row.text, line, &error);
    ASSERT_EQ(target.has_value(), row.valid) << error;
    if (!row.valid) {
        EXPECT_FALSE(error.empty());
        return;
    }
    EXPECT_EQ(target->type, row.type);
    EXPECT_EQ(target->settings.portName, row.portName);
    EXPECT_EQ(target->settings.tcpPort, row.tcpPort);
    // Line settings only for the cabled interfaces, as the main window fills them.
    EXPECT_EQ(target->settings.baudRate, row.type == InterfaceType::Ethernet ? 0u : 19200u);
}

INSTANTIATE_TEST_SUITE_P(Names, TargetTest, ::testing::ValuesIn(kTargetRows),
                         [](const auto& info) { return test::RowNameOf(info.param.text); });

// Names that reach the same printer share a key; the tool refuses a printer named twice.
TEST(TargetKeyTest, SamePrinterWhateverItsSpelling)
{
    LineOptions line;  // TCP port 9100 by default
    const std::pair<const char*, const char*> same[] = {{"127.0.0.1", "127.0.0.1:9100"},
                                                        {"COM1", "COM1"},
                                                        {"LXT-640IV:/dev/usb/lp0", "LXT-640IV:/dev/usb/lp0"}};
    const std::pair<const char*, const char*> different[] = {
        {"127.0.0.1", "127.0.0.1:9101"}, {"127.0.0.1", "127.0.0.2"}, {"COM1", "COM2"}, {"LPT1", "COM1"}};
    for (const auto& [a, b] : same)
        EXPECT_EQ(PrinterKey(*ParseTarget(a, line)), PrinterKey(*ParseTarget(b, line))) << a << " " << b;
    for (const auto& [a, b] : different)
        EXPECT_NE(PrinterKey(*ParseTarget(a, line)), PrinterKey(*ParseTarget(b, line))) << a << " " << b;
}

TEST(TargetListTest, SkipsCommentsBlanksAndTrailingWords)
{
    EXPECT_EQ(ParseTargetList("# printers\n\nCOM1\n  127.0.0.1:9100   till 2\n#LPT1\n/dev/ttyS1"),
              (std::vector<std::string>{"COM1", "127.0.0.1:9100", "/dev/ttyS1"}));
    EXPECT_EQ(FileSafeName("127.0.0.1:9100"), "127.0.0.1_9100");
    EXPECT_EQ(FileSafeName("/dev/pts/3"), "_dev_pts_3");
}

struct PinRow {
    const char* text;
    bool valid;
    int entry;
    int pin;
    std::int32_t state;
    friend void PrintTo(const PinRow& row, std::ostream* os) { *os << '"' << row.text << '"'; }
};

const PinRow kPinRows[] = {
    {"1.1=on", true, 0, 1, SlotOf(PinState::On)},
    {"11.8=OFF", true, 6, 8, SlotOf(PinState::Off)},
    {"12.4=keep", true, 7, 4, SlotOf(PinState::NoChange)},
    {"7.1=on", false, 0, 0, 0},
    {"2.0=on", false, 0, 0, 0},
    {"2.9=on", false, 0, 0, 0},
    {"2.1=1", false, 0, 0, 0},
    {"2=on", false, 0, 0, 0},
    {"2.1on", false, 0, 0, 0},
    {"x.1=on", false, 0, 0, 0},
    {"2.1.1=on", false, 0, 0, 0},
};

class PinEditTest : public ::testing::TestWithParam<PinRow> {};

TEST_P(PinEditTest, Parses)
{
    const PinRow& row = GetParam();
    std::string error;
    const auto edit = ParsePinEdit(row.text, &error);
    ASSERT_EQ(edit.has_value(), row.valid) << row.text;
    if (!row.valid) {
        EXPECT_THAT(error, ::testing::HasSubstr(row.text));
        return;
    }
    EXPECT_EQ(edit->entry, row.entry);
    EXPECT_EQ(edit->pin, row.pin);
    EXPECT_EQ(edit->state, row.state);
}

INSTANTIATE_TEST_SUITE_P(Edits, PinEditTest, ::testing::ValuesIn(kPinRows),
                         [](const auto& info) { return test::RowNameOf(info.param.text); });

TEST(ListChoiceTest, ByIndexOrTextInAnyCase)
{
    const auto items = ListItems("code-page");
    EXPECT_EQ(ParseListChoice("37", items), 37);
    EXPECT_EQ(ParseListChoice("0", items), 0);
    EXPECT_EQ(ParseListChoice("wpc1250 (czech)", items), 37);
    EXPECT_EQ(ParseListChoice("38", items), std::nullopt);
    EXPECT_EQ(ParseListChoice("-1", items), std::nullopt);
    EXPECT_EQ(ParseListChoice("WPC1250", items), std::nullopt);
    EXPECT_EQ(ParseListChoice("No Chnage", ListItems("single-font")), 0);  // the list's own spelling
    EXPECT_TRUE(ListItems("colour").empty());
}

// The edits go through the page's handlers, so the pins get the page's encodings.
TEST(SettingEditsTest, NamedSettingsUseThePageEncodings)
{
    SettingsRecord record;
    PrinterSettingModel page;
    page.SetRecord(&record);
    SettingEdits edits;
    edits.codePage = 37;   // value 36 = 32 + 4
    edits.printSpeed = 3;  // value 2
    edits.pins = {{4, 3, SlotOf(PinState::On)}};
    edits.Apply(page, record);
    const std::int32_t codePins[] = {SlotOf(PinState::On),  SlotOf(PinState::Off),
                                     SlotOf(PinState::Off), SlotOf(PinState::On),
                                     SlotOf(PinState::Off), SlotOf(PinState::Off)};  // pins 3..8
    for (int pin = 3; pin <= 8; ++pin)
        EXPECT_EQ(record.Pin(kEntrySwitch2, pin), codePins[pin - 3]) << pin;
    EXPECT_EQ(record.Pin(kEntrySwitch1, 1), PinState::Off);
    EXPECT_EQ(record.Pin(kEntrySwitch1, 2), PinState::On);
    EXPECT_EQ(record.Pin(4, 3), PinState::On);

    SettingEdits karvo;
    karvo.doubleFont = 6;
    karvo.Apply(page, record);
    EXPECT_EQ(DecodeField(record, kDoubleFontField), 4u);
    EXPECT_EQ(DecodeField(record, kCodePageField), 15u);
    EXPECT_EQ(record.fontChoice, 6);
}

struct ConflictRow {
    const char* name;
    friend void PrintTo(const ConflictRow& row, std::ostream* os) { *os << row.name; }
    std::vector<std::string> pins;
    void (*named)(SettingEdits&);
    const char* says;  // empty: the edits go together
};

void NoNamed(SettingEdits&) {}

const ConflictRow kConflictRows[] = {
    {"PinOnAndOff", {"1.3=on", "1.3=off"}, NoNamed, "--pin 1.3=on and --pin 1.3=off contradict each other"},
    {"PinOnAndKeep", {"12.8=keep", "11.1=on", "12.8=on"}, NoNamed, "--pin 12.8=keep and --pin 12.8=on"},
    {"PinTwiceAlike", {"1.3=on", "1.3=on"}, NoNamed, ""},
    {"SamePinOtherSwitch", {"1.3=on", "2.3=off"}, NoNamed, ""},
    {"CodePageNoChange",
     {"2.3=on"},
     [](SettingEdits& e) { e.codePage = 0; },
     "--pin 2.3=on and --code-page 0 both set MSW 2 pin 3"},
    {"CodePageLowBit",
     {"2.4=off"},
     [](SettingEdits& e) { e.codePage = 5; },
     "--code-page 5 both set MSW 2 pin 4"},
    {"CodePageLeavesDestination", {"2.1=on", "2.2=on"}, [](SettingEdits& e) { e.codePage = 5; }, ""},
    {"PrintSpeed",
     {"1.2=on"},
     [](SettingEdits& e) { e.printSpeed = 1; },
     "--print-speed 1 both set MSW 1 pin 2"},
    {"PrintSpeedOtherPin", {"1.3=on"}, [](SettingEdits& e) { e.printSpeed = 1; }, ""},
    {"Emulation",
     {"3.3=off"},
     [](SettingEdits& e) { e.emulation = 2; },
     "--emulation 2 both set MSW 3 pin 3"},
    {"EmulationOtherPin", {"3.4=off"}, [](SettingEdits& e) { e.emulation = 2; }, ""},
    {"SingleFont",
     {"4.4=on"},
     [](SettingEdits& e) { e.singleFont = 1; },
     "--single-font 1 both set MSW 4 pin 4"},
    {"SingleFontOtherPin", {"4.2=on"}, [](SettingEdits& e) { e.singleFont = 1; }, ""},
    {"DoubleFontSwitch12",
     {"12.5=on"},
     [](SettingEdits& e) { e.doubleFont = 3; },
     "--double-font 3 both set MSW 12 pin 5"},
    {"DoubleFontDestination",
     {"2.1=off"},
     [](SettingEdits& e) { e.doubleFont = 1; },
     "--double-font 1 both set MSW 2 pin 1"},
    {"DoubleFontFixingTheCodePage",
     {"2.4=on"},
     [](SettingEdits& e) { e.doubleFont = 6; },
     "--double-font 6 both set MSW 2 pin 4"},
    {"DoubleFontNoChangeClearsTheCodePage",
     {"2.8=on"},
     [](SettingEdits& e) { e.doubleFont = 0; },
     "--double-font 0 both set MSW 2 pin 8"},
    {"DoubleByteCountryKeepsTheCodePage", {"2.4=on"}, [](SettingEdits& e) { e.doubleFont = 2; }, ""},
    {"FontFixesTheCodePage",
     {},
     [](SettingEdits& e) { e.doubleFont = 6, e.codePage = 1; },
     "fixes the code page"},
    {"EveryNamedSettingAndAFreePin",
     {"11.3=on", "5.1=off", "6.8=on"},
     [](SettingEdits& e) {
         e.doubleFont = 1, e.codePage = 3, e.printSpeed = 2, e.emulation = 1, e.singleFont = 2;
     },
     ""},
};

class SettingConflictTest : public ::testing::TestWithParam<ConflictRow> {};

TEST_P(SettingConflictTest, NamesBothEditsOrNone)
{
    const ConflictRow& row = GetParam();
    SettingEdits edits;
    for (const auto& text : row.pins)
        edits.pins.push_back(*ParsePinEdit(text));
    row.named(edits);
    if (std::string(row.says).empty())
        EXPECT_EQ(edits.Conflict(), "");
    else
        EXPECT_THAT(edits.Conflict(), ::testing::HasSubstr(row.says));
}

INSTANTIATE_TEST_SUITE_P(Edits, SettingConflictTest, ::testing::ValuesIn(kConflictRows), test::RowName());

TEST(FullStatusFileTest, KeepsSwitchesThreeToSixWhereTheWindowLeavesRoom)
{
    test::TempDir dir;
    SettingsRecord record;
    for (int e = 0; e < kSwitchCount; ++e)
        for (int s = 0; s < kSlotCount; ++s)
            record.Pin(e, s) = (e + s) % 3;
    record.fontChoice = 4;
    const std::string path = dir.File("all.sts");
    ASSERT_EQ(FullStatusFile::Save(path, record), StatusFile::Result::Ok);
    SettingsRecord back;
    ASSERT_EQ(FullStatusFile::Load(path, back), StatusFile::Result::Ok);
    EXPECT_EQ(back, record);

    // The window reads the same file as it always did: switches 3 to 6 untouched.
    SettingsRecord window;
    window.Pin(3, 1) = SlotOf(PinState::On);
    ASSERT_EQ(StatusFile::Load(path, window), StatusFile::Result::Ok);
    EXPECT_EQ(window.Pin(3, 1), PinState::On);
    EXPECT_EQ(window.entries[1], record.entries[1]);

    // A file the window saved: zeros in the room load as "keep"; junk there too.
    auto image = StatusFile::Encode(record);
    image[72 + 4] = 7;
    ASSERT_TRUE(WriteFileAtomically(dir.File("window.sts"), image));
    SettingsRecord loaded;
    ASSERT_EQ(FullStatusFile::Load(dir.File("window.sts"), loaded), StatusFile::Result::Ok);
    for (int e = 2; e <= 5; ++e)
        for (int pin = 1; pin <= kPinCount; ++pin)
            EXPECT_EQ(loaded.Pin(e, pin), PinState::NoChange) << e << "." << pin;
    EXPECT_EQ(loaded.entries[7], record.entries[7]);
    EXPECT_EQ(FullStatusFile::Load(dir.File("window.STS"), loaded), StatusFile::Result::WrongFormat);
}

// A pacer whose pauses move the clock the sender reads, so ten stalled seconds pass at once.
class ClockPacer final : public Pacer {
public:
    void Pause(std::uint32_t ms) override
    {
        now += std::chrono::milliseconds(ms);
        paused += ms;
    }
    std::chrono::steady_clock::time_point now{};
    std::uint64_t paused = 0;
};

struct SendRow {
    const char* name;
    friend void PrintTo(const SendRow& row, std::ostream* os) { *os << row.name; }
    std::size_t count;
    int writeLimit;  // of the printer at the start (-1: takes all)
    // Called after each write the printer saw; may stall it (writeLimit) or let time pass.
    void (*printer)(const test::Bytes& written, test::FakePortState& state, ClockPacer& pacer);
    std::uint32_t pauseBetweenPieces;
    std::size_t sent;
    std::vector<std::size_t> pieces;  // the sizes the printer took; empty: not checked
    std::uint64_t paused;
};

void Healthy(const test::Bytes&, test::FakePortState&, ClockPacer&) {}

const SendRow kSendRows[] = {
    {"AllTakenInPieces", 10000, -1, Healthy, 0, 10000, {4096, 4096, 1808}, 0},
    {"NetworkPacingBetweenPieces", 10000, -1, Healthy, 500, 10000, {4096, 4096, 1808}, 1000},
    {"OnePieceOnly", 4096, -1, Healthy, 500, 4096, {4096}, 0},
    {"NeverTaken", 10000, 0, Healthy, 0, 0, {}, PieceSender::kStallLimitMs},
    {"StallsAfterTwoPieces",
     20000,
     -1,
     [](const test::Bytes&, test::FakePortState& s, ClockPacer&) {
         if (s.writes.size() == 2)
             s.writeLimit = 0;
     },
     0,
     8192,
     {},
     PieceSender::kStallLimitMs},
    // Slow but moving: nothing for 9 s, then 100 bytes, again and again.
    {"SlowButMoving",
     1000,
     0,
     [](const test::Bytes& written, test::FakePortState& s, ClockPacer& p) {
         if (written.empty())
             p.now += std::chrono::seconds(9);
         s.writeLimit = written.empty() ? 100 : 0;
     },
     0,
     1000,
     {},
     10 * PieceSender::kRetryPauseMs},
    // A write that itself blocks past the limit ends the send without another try.
    {"OneWriteBlocksPastTheLimit",
     10000,
     -1,
     [](const test::Bytes&, test::FakePortState& s, ClockPacer& p) {
         if (s.writes.size() == 2)
             s.writeLimit = 0;
         if (s.writes.size() == 3)
             p.now += std::chrono::seconds(11);
     },
     0,
     8192,
     {},
     0},
    // A stall that ends within the limit is waited out.
    {"StallsAndGoesOn",
     9000,
     -1,
     [](const test::Bytes&, test::FakePortState& s, ClockPacer&) {
         if (s.writes.size() == 1)
             s.writeLimit = 0;
         else if (s.writes.size() == 40)
             s.writeLimit = -1;
     },
     0,
     9000,
     {},
     39 * PieceSender::kRetryPauseMs},
};

class PieceSenderTest : public ::testing::TestWithParam<SendRow> {};

TEST_P(PieceSenderTest, SendsUntilDoneOrStalled)
{
    const SendRow& row = GetParam();
    auto state = std::make_shared<test::FakePortState>();
    ClockPacer pacer;
    state->writeLimit = row.writeLimit;
    state->responder = [&row, &pacer](const test::Bytes& written, test::FakePortState& s) {
        row.printer(written, s, pacer);
    };
    PrinterLink link(std::make_unique<test::FakePortFactory>(state));
    PortSettings settings;
    settings.portName = "127.0.0.1";
    settings.tcpPort = 9100;
    ASSERT_NE(link.CreatePort(settings), 0);
    ASSERT_NE(link.Open(), 0);
    test::Bytes bytes(row.count);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7);

    std::vector<std::size_t> progress;
    PieceSender sender(
        link, pacer, [&pacer] { return pacer.now; }, row.pauseBetweenPieces);
    const std::size_t sent =
        sender.Send(bytes.data(), bytes.size(), [&](std::size_t n) { progress.push_back(n); });
    EXPECT_EQ(sent, row.sent);
    EXPECT_EQ(pacer.paused, row.paused);
    const test::Bytes all = state->AllWritten();
    EXPECT_TRUE(
        std::equal(all.begin(), all.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(sent)));
    EXPECT_EQ(all.size(), sent);
    if (!row.pieces.empty()) {
        std::vector<std::size_t> pieces;
        for (const auto& w : state->writes)
            pieces.push_back(w.size());
        EXPECT_EQ(pieces, row.pieces);
    }
    // Every write that moved bytes is reported, with the running total.
    ASSERT_FALSE(sent > 0 && progress.empty());
    if (!progress.empty()) {
        EXPECT_EQ(progress.back(), sent);
    }
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
}

INSTANTIATE_TEST_SUITE_P(Printers, PieceSenderTest, ::testing::ValuesIn(kSendRows), test::RowName());

class CountingClient final : public TimerClient {
public:
    explicit CountingClient(LoopTimerHost& host) : host_(host) {}
    void OnTimer(int id) override
    {
        fired.push_back(id);
        if (id == 1 && ++blocks < 3)
            host_.Arm(1, 10);
        else if (id == 1)
            host_.Arm(2, 10);
        if (id == 9)
            host_.Arm(9, 1);  // never stops by itself
    }
    std::vector<int> fired;
    int blocks = 0;

private:
    LoopTimerHost& host_;
};

TEST(LoopTimerHostTest, FiresUntilNoTimerIsArmedAndStaysBounded)
{
    LoopTimerHost host;
    CountingClient client(host);
    VirtualPacer pacer;
    host.Arm(1, 10);
    host.Arm(5, 20);
    host.Stop(5);
    EXPECT_TRUE(host.Run(client, pacer));
    EXPECT_EQ(client.fired, (std::vector<int>{1, 1, 1, 2}));
    EXPECT_EQ(pacer.Pauses(), (std::vector<std::uint32_t>{10, 10, 10, 10}));

    host.Arm(9, 1);
    EXPECT_FALSE(host.Run(client, pacer, 100));
    EXPECT_EQ(client.fired.size(), 104u);
}

TEST(TraceWriterTest, FormatsHexWithMilliseconds)
{
    using namespace std::chrono;
    const auto when = system_clock::from_time_t(0) + milliseconds(7);
    const std::uint8_t bytes[] = {0x1d, 0x49, 0x43};
    const std::string line = TraceWriter::FormatLine(when, "COM1", TraceDirection::Write, bytes, 3);
    EXPECT_THAT(line, ::testing::MatchesRegex("[0-9]{2}:[0-9]{2}:00\\.007 COM1 > 1d 49 43\n"));
    EXPECT_THAT(TraceWriter::FormatLine(when, "COM1", TraceDirection::Read, bytes, 0),
                ::testing::EndsWith("< (nothing)\n"));
    EXPECT_THAT(TraceWriter::FormatLine(when, "COM1", TraceDirection::Read, bytes, -1),
                ::testing::EndsWith("< (connection error)\n"));
}

TEST(PrintingNotifierTest, OneLinePerMessageWithThePrinterInFront)
{
    std::string printed;
    PrintingNotifier notifier([&printed](std::string_view line) { printed += line; }, "COM1");
    notifier.Show("Fail to get printer ID.\r\n\r\nPlease retry connect", "Warning", MessageIcon::Exclamation);
    notifier.Show("Printer is connected.", "Information", MessageIcon::Information);
    EXPECT_EQ(printed, "COM1: Warning: Fail to get printer ID.; Please retry connect\n"
                       "COM1: Information: Printer is connected.\n");
    EXPECT_EQ(notifier.LastWarning(), "Fail to get printer ID.; Please retry connect");
    EXPECT_EQ(notifier.LastMessage(), "Printer is connected.");
}

TEST(FleetTableTest, OneRowPerPrinterAndACount)
{
    const std::string table = Fleet::Table(
        {{"127.0.0.1:9100", true, "", "", "", "", ""}, {"COM1", false, "Port error", "", "", "", ""}});
    EXPECT_EQ(table, "\nPRINTER         RESULT  DETAIL\n"
                     "127.0.0.1:9100  ok      \n"
                     "COM1            FAILED  Port error\n"
                     "1 of 2 printers succeeded\n");
    // With health words, a HEALTH column as wide as the longest word.
    const std::string health = Fleet::Table({{"127.0.0.1:9100", true, "", "", "", "paper low", ""},
                                             {"COM1", false, "Port error", "", "", "unknown", ""},
                                             {"COM2", true, "", "", "", "ready", ""}});
    EXPECT_EQ(health, "\nPRINTER         RESULT  HEALTH     DETAIL\n"
                      "127.0.0.1:9100  ok      paper low  \n"
                      "COM1            FAILED  unknown    Port error\n"
                      "COM2            ok      ready      \n"
                      "2 of 3 printers succeeded\n");
}

}  // namespace
}  // namespace zorvik
