#include "sim/VirtualPrinter.h"

#include <gtest/gtest.h>

#include "sim/SimOptions.h"
#include "sim/SimTestBytes.h"
#include "support/FakePort.h"

namespace zorvik {
namespace {

using test::Bytes;
using test::BytesOf;
using test::Concat;
using test::Fn3;
using test::Fn4;
using test::HexOf;
using test::kEnter;
using test::kLeave;
using test::SwitchReply;

TEST(VirtualPrinterTest, AnswersIdentificationCommands)
{
    struct Row {
        Bytes command;
        Bytes reply;
        unsigned kind = 0;  // of the one reply, if any
        int switchNumber = 0;
    };
    const Row rows[] = {
        {BytesOf({0x1D, 0x49, 0x03}), BytesOf({0x6F}), kSimReplyId},
        {BytesOf({0x1D, 0x49, 0x42}), BytesOf({0x5F, 'K', 'A', 'R', 'V', 'O', 0x00}), kSimReplyText},
        {BytesOf({0x1D, 0x49, 0x43}), BytesOf({0x5F, 'L', 'X', 'T', '-', '6', '4', '0', 'I', 'V', 0x00}),
         kSimReplyText},
        {BytesOf({0x1D, 0x49, 0x41}), BytesOf({0x5F, 'V', '1', '.', '0', '0', ' ', 'L', 'X', 'T', 0x00}),
         kSimReplyText},
        {BytesOf({0x1D, 0x49, 0x45}), BytesOf({0x5F, 'E', 'N', 'G', 'L', 'I', 'S', 'H', 0x00}),
         kSimReplyText},
        {BytesOf({0x1B, 0x40}), {}},
        {BytesOf({0x1B, 0x3D, 0x01}), {}},
        {BytesOf({0x1D, 0x61, 0x00}), {}},
        {kEnter, BytesOf({0x37, 0x20, 0x00}), kSimReplyUserMode},
        {BytesOf({0x08, 0x5E, 0x50, 0x31}), BytesOf({0x50, 0x00, 20, 0x00}), kSimReplyPowerSave},
        {BytesOf({0x10, 0x04, 0x01}), BytesOf({0x12}), kSimReplyStatus},
        {Fn4(11), SwitchReply("00000000"), kSimReplySwitch, 11},
        // Malformed user-setting commands are skipped, never answered.
        {BytesOf({0x1D, 0x28, 0x45, 0x00, 0x00}), {}},
        {BytesOf({0x1D, 0x28, 0x45, 0x01, 0x00, 0x04}), {}},
        {BytesOf({0x1D, 0x28, 0x45, 0x01, 0x00, 0x03}), {}},
    };
    for (const auto& row : rows) {
        VirtualPrinter printer;
        EXPECT_EQ(HexOf(printer.Feed(row.command)), HexOf(row.reply)) << HexOf(row.command);
        VirtualPrinter tagged;
        const auto replies = tagged.FeedReplies(row.command);
        ASSERT_EQ(replies.size(), row.reply.empty() ? 0u : 1u) << HexOf(row.command);
        if (!replies.empty()) {
            EXPECT_EQ(replies[0].kind, row.kind) << HexOf(row.command);
            EXPECT_EQ(replies[0].switchNumber, row.switchNumber) << HexOf(row.command);
            EXPECT_EQ(HexOf(replies[0].bytes), HexOf(row.reply));
        }
    }
}

// One-hot values: a reversed pin order or a shifted one reads back differently.
TEST(VirtualPrinterTest, SwitchWriteReadRoundTripsEveryPin)
{
    for (int number : {1, 2, 3, 4, 5, 6, 11, 12}) {
        for (int pin = 1; pin <= 8; ++pin) {
            VirtualPrinter printer;
            char chars[9] = "00000000";
            chars[8 - pin] = '1';  // c8 first ... c1 last
            printer.Feed(kEnter);
            printer.Feed(Fn3(number, chars));
            printer.Feed(kLeave);
            EXPECT_EQ(printer.Switch(number), 1u << (pin - 1)) << "switch " << number << " pin " << pin;
            EXPECT_EQ(HexOf(printer.Feed(Fn4(number))), HexOf(SwitchReply(chars)));
            EXPECT_EQ(printer.Restarts(), 1);
            EXPECT_FALSE(printer.InUserSettingMode());
        }
    }
}

TEST(VirtualPrinterTest, TwoMeansNoChangeAndWritesNeedUserSettingMode)
{
    VirtualPrinter printer;
    printer.SetSwitch(3, 0b1000'0001);
    printer.Feed(Fn3(3, "00000000"));  // outside user setting mode: ignored
    EXPECT_EQ(printer.Switch(3), 0b1000'0001);
    printer.Feed(kEnter);
    EXPECT_TRUE(printer.InUserSettingMode());
    printer.Feed(Fn3(3, "2222221x"));  // pin 2 on; pin 1 "x" leaves it
    EXPECT_EQ(printer.Switch(3), 0b1000'0011);
    printer.Feed(Fn3(3, "02222220"));  // pin 8 and pin 1 off
    EXPECT_EQ(printer.Switch(3), 0b0000'0010);
    printer.Feed(Fn3(7, "11111111"));  // no such switch
    EXPECT_EQ(printer.Switch(7), 0);
}

TEST(VirtualPrinterTest, CommandsSplitAcrossWritesAtEveryBoundary)
{
    const Bytes stream =
        Concat({BytesOf({0x1B, 0x40}), BytesOf({0x1D, 0x28, 0x45, 0x00, 0x00}), kEnter,
                BytesOf({0x1D, 0x28, 0x45, 0x01, 0x00, 0x03}), Fn3(11, "00100000"), kLeave,
                BytesOf({0x08, 0x5E, 0x50, 0x30, 0x01, 0x2A}), Fn4(11), BytesOf({'h', 'i'}),
                BytesOf({0x1D, 0x49, 0x03}), BytesOf({0x08, 0x39, 0x01, 0x00, 0x08, 0x39, 0x02, 0x00})});
    VirtualPrinter whole;
    const Bytes expected = whole.Feed(stream);
    ASSERT_EQ(HexOf(expected),
              HexOf(Concat({BytesOf({0x37, 0x20, 0x00}), SwitchReply("00100000"), BytesOf({0x6F})})));
    for (std::size_t chunk = 1; chunk <= 5; ++chunk) {
        VirtualPrinter printer;
        Bytes reply;
        for (std::size_t i = 0; i < stream.size(); i += chunk) {
            const Bytes part = printer.Feed(stream.data() + i, std::min(chunk, stream.size() - i));
            reply.insert(reply.end(), part.begin(), part.end());
        }
        EXPECT_EQ(HexOf(reply), HexOf(expected)) << "chunk " << chunk;
        EXPECT_EQ(printer.CommandNames(), whole.CommandNames()) << "chunk " << chunk;
        EXPECT_EQ(printer.Switch(11), 0b0010'0000);
        EXPECT_TRUE(printer.PowerSaveEnabled());
        EXPECT_EQ(printer.PowerSaveSeconds(), 0x2A);
        EXPECT_EQ(printer.PrintData(), BytesOf({'h', 'i'}));
        EXPECT_EQ(printer.StatusPrints(), 1);
        EXPECT_EQ(printer.CodePagePrints(), 1);
        EXPECT_EQ(printer.Received(), stream);
    }
}

TEST(VirtualPrinterTest, FaultsChangeTheAnswers)
{
    struct Row {
        const char* name;
        void (*arrange)(SimFaults&, PrinterIdentity&);
        Bytes command;
        Bytes reply;
    };
    const Row rows[] = {
        {"silent", [](SimFaults& f, PrinterIdentity&) { f.silent = true; }, BytesOf({0x1D, 0x49, 0x03}), {}},
        {"no id",
         [](SimFaults& f, PrinterIdentity&) { f.noIdReply = true; },
         BytesOf({0x1D, 0x49, 0x03}),
         {}},
        {"id fillers", [](SimFaults& f, PrinterIdentity&) { f.idFillerBytes = 3; },
         BytesOf({0x1D, 0x49, 0x03}), BytesOf({0, 0, 0, 0x6F})},
        {"maker with 5F", [](SimFaults&, PrinterIdentity& id) { id.maker = "KAR_VO"; },
         BytesOf({0x1D, 0x49, 0x42}), BytesOf({0x5F, 'K', 'A', 'R', 0x5F, 'V', 'O', 0})},
        {"silent switch", [](SimFaults& f, PrinterIdentity&) { f.silentSwitch = 5; }, Fn4(5), {}},
        {"bad char",
         [](SimFaults& f, PrinterIdentity&) {
             f.badCharSwitch = 6;
             f.badCharPin = 2;
         },
         Fn4(6), SwitchReply("000000x0")},
        {"short power save", [](SimFaults& f, PrinterIdentity&) { f.powerSaveReplyBytes = 2; },
         BytesOf({0x08, 0x5E, 0x50, 0x31}), BytesOf({0x50, 0x00})},
        {"stray after init",
         [](SimFaults& f, PrinterIdentity&) {
             f.strayAfterInit = {0x14, 0x00};
         },
         BytesOf({0x1B, 0x40}), BytesOf({0x14, 0x00})},
        {"truncate chosen kind",
         [](SimFaults& f, PrinterIdentity&) {
             f.faultReplies = kSimReplyText;
             f.truncateReplyTo = 3;
         },
         BytesOf({0x1D, 0x49, 0x43}), BytesOf({0x5F, 'L', 'X'})},
        {"truncate leaves other kinds",
         [](SimFaults& f, PrinterIdentity&) {
             f.faultReplies = kSimReplyText;
             f.truncateReplyTo = 1;
             f.idFillerBytes = 2;
         },
         BytesOf({0x1D, 0x49, 0x03}), BytesOf({0, 0, 0x6F})},
        {"replace head",
         [](SimFaults& f, PrinterIdentity&) {
             f.faultReplies = kSimReplySwitch;
             f.replaceHead = {0x37, 0x22};
         },
         Fn4(1), Concat({BytesOf({0x37, 0x22}), Bytes(8, '0'), BytesOf({0x00})})},
        {"replace head keeps a short reply's length",
         [](SimFaults& f, PrinterIdentity&) {
             f.replaceHead = {0xAA, 0xBB};
         },
         BytesOf({0x1D, 0x49, 0x03}), BytesOf({0xAA})},
        {"user mode head",
         [](SimFaults& f, PrinterIdentity&) {
             f.faultReplies = kSimReplyUserMode;
             f.replaceHead = {0x38};
         },
         kEnter, BytesOf({0x38, 0x20, 0x00})},
        {"stray before status",
         [](SimFaults& f, PrinterIdentity&) {
             f.faultReplies = kSimReplyStatus;
             f.strayBeforeReply = {0x14};
         },
         BytesOf({0x10, 0x04, 0x01}), BytesOf({0x14, 0x12})},
        {"stray before power save",
         [](SimFaults& f, PrinterIdentity&) {
             f.faultReplies = kSimReplyPowerSave;
             f.strayBeforeReply = {0x00};
         },
         BytesOf({0x08, 0x5E, 0x50, 0x31}), BytesOf({0x00, 0x50, 0x00, 20, 0x00})},
        {"shape order: truncate, head, stray",
         [](SimFaults& f, PrinterIdentity&) {
             f.faultReplies = kSimReplyText;
             f.truncateReplyTo = 2;
             f.replaceHead = {0xAA};
             f.strayBeforeReply = {0xBB};
         },
         BytesOf({0x1D, 0x49, 0x43}), BytesOf({0xBB, 0xAA, 'L'})},
        {"fault switch picks its switch",
         [](SimFaults& f, PrinterIdentity&) {
             f.faultReplies = kSimReplySwitch;
             f.faultSwitch = 5;
             f.truncateReplyTo = 2;
         },
         Concat({Fn4(4), Fn4(5), Fn4(6)}),
         Concat({SwitchReply("00000000"), BytesOf({0x37, 0x21}), SwitchReply("00000000")})},
        {"stray after init is a kind of its own",
         [](SimFaults& f, PrinterIdentity&) {
             f.strayAfterInit = {0x14, 0x00};
             f.faultReplies = kSimReplyStray;
             f.truncateReplyTo = 1;
         },
         Concat({BytesOf({0x1B, 0x40}), BytesOf({0x1D, 0x49, 0x03})}), BytesOf({0x14, 0x6F})},
        {"no reply, no stray",
         [](SimFaults& f, PrinterIdentity&) {
             f.powerSaveReplyBytes = 0;
             f.strayBeforeReply = {0x14};
         },
         BytesOf({0x08, 0x5E, 0x50, 0x31}),
         {}},
        {"silent sends no stray",
         [](SimFaults& f, PrinterIdentity&) {
             f.silent = true;
             f.strayBeforeReply = {0x14};
         },
         BytesOf({0x1D, 0x49, 0x03}),
         {}},
    };
    for (const auto& row : rows) {
        SimFaults faults;
        PrinterIdentity identity;
        row.arrange(faults, identity);
        VirtualPrinter printer(identity, faults);
        EXPECT_EQ(HexOf(printer.Feed(row.command)), HexOf(row.reply)) << row.name;
    }
}

TEST(VirtualPrinterTest, IgnoredSwitchWriteLeavesOnlyThatSwitch)
{
    SimFaults faults;
    faults.ignoredSwitchWrite = 4;
    VirtualPrinter printer({}, faults);
    printer.Feed(kEnter);
    printer.Feed(Fn3(4, "00000100"));
    printer.Feed(Fn3(5, "00000100"));
    EXPECT_EQ(printer.Switch(4), 0);
    EXPECT_EQ(printer.Switch(5), 0b100);
}

TEST(VirtualPrinterTest, FontImageIsCountedToItsEndAndCommandsFollow)
{
    for (std::uint32_t size : {615695u, 632347u, 843791u, 1025807u}) {
        VirtualPrinter printer;
        Bytes image(size, 0x1D);  // data that looks like commands must not end the image early
        image[0] = 0x1C, image[1] = 0x6C, image[2] = 0x64, image[3] = 0x73;
        for (std::size_t i = 4; i < image.size(); i += 4)
            image[i] = 0x49;
        Bytes reply;
        std::size_t at = 0;
        for (std::size_t piece : {64u, 4096u, 100000u, 3u}) {
            const std::size_t n = std::min(piece, image.size() - at);
            printer.Feed(image.data() + at, n);
            at += n;
        }
        printer.Feed(image.data() + at, image.size() - at);
        EXPECT_TRUE(printer.FontStarted());
        EXPECT_EQ(printer.FontBytes(), size);
        EXPECT_TRUE(printer.FontComplete()) << size;
        // The version query after the download is answered again.
        EXPECT_EQ(printer.Feed(BytesOf({0x1D, 0x49, 0x41})).front(), 0x5F) << size;
        EXPECT_EQ(printer.FontBytes(), size);
    }
}

TEST(VirtualPrinterTest, TruncatedFontImageIsNotComplete)
{
    VirtualPrinter printer;
    Bytes image(1000, 0xAA);
    image[0] = 0x1C, image[1] = 0x6C, image[2] = 0x64, image[3] = 0x73;
    printer.Feed(image);
    EXPECT_TRUE(printer.FontStarted());
    EXPECT_EQ(printer.FontBytes(), 1000u);
    EXPECT_FALSE(printer.FontComplete());
}

TEST(SimOptionsTest, SwitchAssignments)
{
    struct Row {
        const char* text;
        bool ok;
        int number;
        int bits;
    };
    const Row rows[] = {
        {"1=10000000", true, 1, 0x80}, {"12=00000001", true, 12, 0x01}, {"2=0x41", true, 2, 0x41},
        {"7=00000000", false, 0, 0},   {"1=1000000", false, 0, 0},      {"1=2000000a", false, 0, 0},
        {"=00000000", false, 0, 0},    {"1=0x4", false, 0, 0},          {"x=00000000", false, 0, 0},
    };
    for (const auto& row : rows) {
        const auto parsed = ParseSwitchAssignment(row.text);
        ASSERT_EQ(parsed.has_value(), row.ok) << row.text;
        if (row.ok) {
            EXPECT_EQ(parsed->first, row.number) << row.text;
            EXPECT_EQ(parsed->second, row.bits) << row.text;
        }
    }
    EXPECT_EQ(ParseHexBytes("1b 40 0A"), BytesOf({0x1B, 0x40, 0x0A}));
    EXPECT_FALSE(ParseHexBytes("1b 4"));  // an odd digit is refused, never padded
    EXPECT_FALSE(ParseHexBytes("1g"));

    const std::pair<const char*, std::optional<unsigned>> kinds[] = {
        {"id", kSimReplyId},
        {"text,switch", kSimReplyText | kSimReplySwitch},
        {"power,usermode,status,stray",
         kSimReplyPowerSave | kSimReplyUserMode | kSimReplyStatus | kSimReplyStray},
        {"all", kSimReplyAll},
        {"id,all", kSimReplyAll},
        {"", std::nullopt},
        {"id,", std::nullopt},
        {",id", std::nullopt},
        {"ID", std::nullopt},
        {"id text", std::nullopt},
        {"powersave", std::nullopt},
    };
    for (const auto& [text, mask] : kinds)
        EXPECT_EQ(ParseReplyKinds(text), mask) << text;

    const std::pair<const char*, std::optional<unsigned>> conditions[] = {
        {"ready", 0u},
        {"cover-open", kSimCoverOpen},
        {"paper-near-end,cutter-error", kSimPaperNearEnd | kSimCutterError},
        {"offline,paper-end,recoverable-error,unrecoverable-error,auto-recoverable-error,feed-button",
         kSimOffline | kSimPaperEnd | kSimRecoverableError | kSimUnrecoverableError |
             kSimAutoRecoverableError | kSimFeedButton},
        {"ready,cover-open", kSimCoverOpen},
        {"", std::nullopt},
        {"cover open", std::nullopt},
        {"cover-open,", std::nullopt},
        {"paper", std::nullopt},
    };
    for (const auto& [text, bits] : conditions) {
        EXPECT_EQ(ParseConditions(text), bits) << text;
        if (bits && std::string(text).find("ready,") == std::string::npos) {
            EXPECT_EQ(ConditionNames(*bits), text);
        }
    }

    // Control lines as they come from standard input, in pieces; a partial line waits.
    std::string pending = "state cover-open\r\n\nstate ready\nstate paper\nopen cover\nstate paper-e";
    const auto lines = TakeControlLines(pending);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].conditions, kSimCoverOpen);
    EXPECT_EQ(lines[1].conditions, 0u);
    EXPECT_EQ(lines[2].text, "state paper");
    EXPECT_FALSE(lines[2].conditions);
    EXPECT_FALSE(lines[3].conditions);
    EXPECT_EQ(pending, "state paper-e");
    pending += "nd\n";
    const auto rest = TakeControlLines(pending);
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest[0].conditions, kSimPaperEnd);
    EXPECT_TRUE(pending.empty());
}

// Each condition as DLE EOT 1..4 report it: the fixed bits 0xx1xx10 always, the
// condition's own bits, and offline wherever the printer cannot print.
TEST(VirtualPrinterTest, StatusBytesFollowTheCondition)
{
    struct Row {
        unsigned conditions;
        Bytes bytes;  // to DLE EOT 1, 2, 3, 4
    };
    const Row rows[] = {
        {0, BytesOf({0x12, 0x12, 0x12, 0x12})},
        {kSimOffline, BytesOf({0x1A, 0x12, 0x12, 0x12})},
        {kSimCoverOpen, BytesOf({0x1A, 0x16, 0x12, 0x12})},
        {kSimPaperNearEnd, BytesOf({0x12, 0x12, 0x12, 0x1E})},
        {kSimPaperEnd, BytesOf({0x1A, 0x32, 0x12, 0x7E})},
        {kSimCutterError, BytesOf({0x1A, 0x52, 0x1A, 0x12})},
        {kSimRecoverableError, BytesOf({0x3A, 0x52, 0x16, 0x12})},
        {kSimUnrecoverableError, BytesOf({0x1A, 0x52, 0x32, 0x12})},
        {kSimAutoRecoverableError, BytesOf({0x3A, 0x52, 0x52, 0x12})},
        {kSimFeedButton, BytesOf({0x52, 0x1A, 0x12, 0x12})},
        {kSimCoverOpen | kSimPaperNearEnd, BytesOf({0x1A, 0x16, 0x12, 0x1E})},
    };
    for (const Row& row : rows) {
        VirtualPrinter printer;
        printer.SetConditions(row.conditions);
        Bytes answers;
        for (int n = 1; n <= 4; ++n) {
            const Bytes reply = printer.Feed(BytesOf({0x10, 0x04, n}));
            answers.insert(answers.end(), reply.begin(), reply.end());
        }
        EXPECT_EQ(HexOf(answers), HexOf(row.bytes)) << ConditionNames(row.conditions);
    }
}

}  // namespace
}  // namespace zorvik
