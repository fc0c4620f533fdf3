#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/resource.h>

#include "base/AtomicFile.h"
#include "base/BoundedFile.h"
#include "resources/SettingsTexts.h"
#include "settings/StatusFile.h"
#include "settings/StatusSession.h"
#include "support/FileKinds.h"
#include "support/RecordingNotifier.h"
#include "support/RowName.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrinter.h"
#include "support/TempDir.h"

namespace zorvik {
namespace {

using test::Bytes;

SettingsRecord Numbered()
{
    SettingsRecord r;
    for (int e = 0; e < 8; ++e)
        for (int s = 0; s < 9; ++s)
            r.Pin(e, s) = 100 * e + s;  // slot 0 included
    r.fontChoice = -1;
    return r;
}

TEST(StatusFileTest, LayoutIsLittleEndianWithTheMiddleEntriesZero)
{
    const auto image = StatusFile::Encode(Numbered());
    ASSERT_EQ(image.size(), 292u);
    auto at = [&](std::size_t offset) {
        return static_cast<std::int32_t>(image[offset] | image[offset + 1] << 8 | image[offset + 2] << 16 |
                                         static_cast<std::uint32_t>(image[offset + 3]) << 24);
    };
    EXPECT_EQ(at(0), 0);
    EXPECT_EQ(at(4), 1);
    EXPECT_EQ(at(36), 100);
    EXPECT_EQ(at(36 + 32), 108);
    for (std::size_t o = 72; o < 216; o += 4)
        EXPECT_EQ(at(o), 0) << o;
    EXPECT_EQ(at(216), 600);
    EXPECT_EQ(at(252 + 4), 701);
    EXPECT_EQ(at(288), -1);
    EXPECT_EQ(image[288], 0xFF);
}

TEST(StatusFileTest, LoadRestoresFourSwitchesAndLeavesTheOthers)
{
    test::TempDir dir;
    const std::string path = dir.File("a.sts");
    ASSERT_EQ(StatusFile::Save(path, Numbered()), StatusFile::Result::Ok);
    SettingsRecord r;
    for (int s = 0; s < 9; ++s)
        r.Pin(3, s) = 2;
    ASSERT_EQ(StatusFile::Load(path, r), StatusFile::Result::Ok);
    const SettingsRecord n = Numbered();
    for (int e : {0, 1, 6, 7})
        EXPECT_EQ(r.entries[static_cast<std::size_t>(e)], n.entries[static_cast<std::size_t>(e)]) << e;
    EXPECT_EQ(r.Pin(2, 1), 0);
    EXPECT_EQ(r.Pin(3, 5), 2);
    EXPECT_EQ(r.fontChoice, -1);
    // Slot 0 comes back through the next save unchanged.
    ASSERT_EQ(StatusFile::Save(dir.File("b.sts"), r), StatusFile::Result::Ok);
    EXPECT_EQ(ReadBoundedFile(dir.File("b.sts"), 4096).bytes, ReadBoundedFile(path, 4096).bytes);
}

struct LoadCase {
    const char* name;
    friend void PrintTo(const LoadCase& row, std::ostream* os) { *os << row.name; }
    const char* file;
    Bytes content;
    StatusFile::Result result;
    std::int32_t pin;         // switch 2 pin 1 afterwards (7 before)
    std::int32_t fontChoice;  // afterwards (9 before)
};

class StatusFileLoadTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(StatusFileLoadTest, LoadByExtensionAndLength)
{
    const LoadCase c = GetParam();
    test::TempDir dir;
    {
        std::ofstream out(dir.File(c.file), std::ios::binary);
        out.write(reinterpret_cast<const char*>(c.content.data()),
                  static_cast<std::streamsize>(c.content.size()));
    }
    SettingsRecord r;
    r.Pin(1, 1) = 7;
    r.fontChoice = 9;
    EXPECT_EQ(StatusFile::Load(dir.File(c.file), r), c.result) << c.name;
    EXPECT_EQ(r.Pin(1, 1), c.pin) << c.name;
    EXPECT_EQ(r.fontChoice, c.fontChoice) << c.name;
}

Bytes WithSwitch2Pin1(std::size_t size, std::uint8_t value)
{
    Bytes b(size, 0);
    if (size > 40)
        b[40] = value;
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Files, StatusFileLoadTest,
    ::testing::Values(
        LoadCase{"capital extension", "a.STS", WithSwitch2Pin1(292, 1), StatusFile::Result::WrongFormat, 7,
                 9},
        LoadCase{"other extension", "a.bin", WithSwitch2Pin1(292, 1), StatusFile::Result::WrongFormat, 7, 9},
        LoadCase{"empty file", "e.sts", {}, StatusFile::Result::Ok, 0, 0},
        LoadCase{"short file", "s.sts", WithSwitch2Pin1(44, 2), StatusFile::Result::Ok, 2, 0},
        LoadCase{"long file", "l.sts", WithSwitch2Pin1(400, 1), StatusFile::Result::Ok, 1, 0},
        LoadCase{"longest file read", "m.sts", WithSwitch2Pin1(StatusFile::kReadLimit, 1),
                 StatusFile::Result::Ok, 1, 0},
        LoadCase{"file too long to be one", "n.sts", WithSwitch2Pin1(StatusFile::kReadLimit + 1, 1),
                 StatusFile::Result::CantRead, 7, 9}),
    test::RowName());

// A folder, a named pipe or /dev/zero chosen as a status file, or a file far longer
// than one, is refused at once (the window must not freeze), naming file and reason.
class StatusFileKindTest : public ::testing::TestWithParam<test::FileKind> {};

TEST_P(StatusFileKindTest, OnlyARegularFileWithinTheReadLimitLoads)
{
    test::TempDir dir;
    const Bytes image = WithSwitch2Pin1(StatusFile::kSize, 1);
    const std::string path = test::MakeFileOfKind(
        dir, GetParam(), "k.sts", std::string(image.begin(), image.end()), StatusFile::kReadLimit);
    const std::string refusal = test::RefusalOf(GetParam(), StatusFile::kReadLimit);
    SettingsRecord r;
    r.Pin(1, 1) = 7;
    std::string reason;
    const auto result = StatusFile::Load(path, r, &reason);
    if (refusal.empty()) {
        EXPECT_EQ(result, StatusFile::Result::Ok);
        EXPECT_EQ(r.Pin(1, 1), 1);
    } else {
        EXPECT_EQ(result, StatusFile::Result::CantRead);
        EXPECT_EQ(reason, refusal);
        EXPECT_EQ(r.Pin(1, 1), 7);
        EXPECT_EQ(StatusFile::Message(result, path, reason),
                  "Can't read the file: " + path + " (" + refusal + ")");
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, StatusFileKindTest, ::testing::ValuesIn(test::kAllFileKinds),
                         [](const auto& info) { return std::string(test::FileKindName(info.param)); });

TEST(StatusFileTest, FailedSaveLeavesTheOldFileWhole)
{
    test::TempDir dir;
    const std::string path = dir.File("keep.sts");
    ASSERT_EQ(StatusFile::Save(path, Numbered()), StatusFile::Result::Ok);
    const auto old = ReadBoundedFile(path, 4096).bytes;

    // A file size limit below 292 bytes makes the write of the new image fail.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto result = StatusFile::Save(path, SettingsRecord{});
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(result, StatusFile::Result::CantWrite);
    EXPECT_EQ(ReadBoundedFile(path, 4096).bytes, old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(StatusFileTest, SessionSavesAndLoadsThroughTheChooser)
{
    test::FakePrinterLink fake;
    VirtualPacer pacer;
    test::RecordingNotifier notifier;
    test::ManualTimerHost timers;
    test::ScriptedFileChooser chooser;
    StatusSession session(*fake.link, InterfaceType::Serial, pacer, notifier, timers, &chooser);
    session.Initialize();
    test::TempDir dir;

    session.Record() = Numbered();
    chooser.answer = std::nullopt;
    session.SaveStatus();  // cancelled
    ASSERT_EQ(chooser.saveAsked.size(), 1u);
    EXPECT_EQ(chooser.saveAsked[0].title, "Save current status");
    EXPECT_EQ(chooser.saveAsked[0].proposedName, "Noname.sts");
    EXPECT_EQ(chooser.saveAsked[0].filter, "Status Files (*.sts)|*.sts|");

    chooser.answer = dir.File("x.sts");
    session.SaveStatus();
    session.Record() = SettingsRecord{};
    session.LoadStatus();
    EXPECT_EQ(chooser.openAsked.back().title, "Load saved status");
    EXPECT_EQ(session.Record().Pin(7, 3), 703);
    EXPECT_TRUE(session.ButtonEnabled(StatusButton::SetStatus));
    EXPECT_FALSE(session.ButtonEnabled(StatusButton::LoadStatus));  // unchanged by a load
    EXPECT_TRUE(session.SettingPage().recordLoaded);
    EXPECT_TRUE(notifier.messages.empty());

    chooser.answer = dir.File("x.STS");
    session.LoadStatus();
    chooser.answer = dir.File("missing.sts");
    session.LoadStatus();
    chooser.answer = dir.File("no/such/folder.sts");
    session.SaveStatus();
    chooser.answer = test::MakeFileOfKind(dir, test::FileKind::Fifo, "pipe.sts", "", 0);
    session.LoadStatus();
    ASSERT_EQ(notifier.messages.size(), 4u);
    EXPECT_EQ(notifier.messages[0].text, "Wrong format files loaded.");
    EXPECT_EQ(notifier.messages[0].title, "Warning");
    EXPECT_EQ(notifier.messages[1].text,
              "Can't open the file: " + dir.File("missing.sts") + " (No such file or directory)");
    EXPECT_EQ(notifier.messages[2].text, "Can't write the file: " + dir.File("no/such/folder.sts"));
    EXPECT_EQ(notifier.messages[2].icon, MessageIcon::Exclamation);
    EXPECT_EQ(notifier.messages[3].text,
              "Can't read the file: " + dir.File("pipe.sts") + " (not a regular file)");
    EXPECT_EQ(session.Record().Pin(7, 3), 703);
}

}  // namespace
}  // namespace zorvik
