#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>

#include "base/AtomicFile.h"
#include "base/BoundedFile.h"
#include "base/FileChooser.h"
#include "cmdtest/AddressPicker.h"
#include "cmdtest/CodepagePicker.h"
#include "cmdtest/CommandEditor.h"
#include "cmdtest/HexText.h"
#include "cmdtest/LineSpacingPicker.h"
#include "resources/EditorTexts.h"
#include "support/FakePort.h"
#include "support/FileKinds.h"
#include "support/RecordingNotifier.h"
#include "support/ScriptedFileChooser.h"
#include "support/TempDir.h"

namespace zorvik {
namespace {

using test::Bytes;
using test::BytesOf;
using test::FakePortFactory;
using test::FakePortState;
using test::HexOf;
using test::ShownMessage;

using ScriptedFiles = test::ScriptedFileChooser;

class CommandEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PortSettings settings;
        settings.portName = "COM1";
        ASSERT_NE(link.CreatePort(settings), 0);
        ASSERT_NE(link.Open(), 0);
        link.SetTrace([this](TraceDirection, const std::uint8_t*, int) { ++writeCalls; });
    }
    void WriteFile(const std::string& path, const Bytes& bytes)
    {
        ASSERT_TRUE(WriteFileAtomically(path, bytes));
    }

    std::shared_ptr<FakePortState> port = std::make_shared<FakePortState>();
    PrinterLink link{std::make_unique<FakePortFactory>(port)};
    test::RecordingNotifier notifier;
    ScriptedFiles files;
    CommandEditor editor{link, notifier, files};
    test::TempDir dir;
    int writeCalls = 0;
};

TEST_F(CommandEditorTest, CannedCommandsAppendTheirText)
{
    const std::pair<CannedCommand, const char*> cases[] = {
        {CannedCommand::FontA, "1b 21 00 "},
        {CannedCommand::FontB, "1b 21 01 "},
        {CannedCommand::AlignLeft, "1b 61 00 "},
        {CannedCommand::AlignCenter, "1b 61 01 "},
        {CannedCommand::AlignRight, "1b 61 02 "},
        {CannedCommand::PaperCut, "0a 1d 56 42 00 "},
        {CannedCommand::Feed, "0a "},
        {CannedCommand::Drawer1, "1b 70 00 19 ff "},
        {CannedCommand::Drawer2, "1b 70 01 19 ff "},
    };
    for (const auto& [command, text] : cases) {
        editor.SetText("ab ");
        editor.AppendCanned(command);
        EXPECT_EQ(editor.Text(), std::string("ab ") + text);
    }
}

TEST_F(CommandEditorTest, BoldAndUnderlineFollowTheirBoxClickedTwice)
{
    editor.SetBold(true);
    editor.AppendCanned(CannedCommand::Bold);
    editor.SetBold(false);
    editor.AppendCanned(CannedCommand::Bold);
    editor.SetUnderline(true);
    editor.AppendCanned(CannedCommand::Underline);
    editor.SetUnderline(false);
    editor.AppendCanned(CannedCommand::Underline);
    EXPECT_EQ(editor.Text(), "1b 45 01 1b 45 00 1b 2d 01 1b 2d 00 ");
}

TEST(PickerCommandText, LineSpacing)
{
    const std::tuple<bool, int, const char*> cases[] = {
        {false, 0, "1b 33 00 "},   {false, 15, "1b 33 0f "}, {false, 16, "1b 33 10 "},
        {false, 255, "1b 33 ff "}, {true, 77, "1b 32 "},     {true, 0, "1b 32 "},
    };
    for (const auto& [useDefault, value, text] : cases) {
        LineSpacingPicker picker;
        picker.useDefault = useDefault;
        picker.value = value;
        EXPECT_EQ(picker.CommandText(), text) << value;
        EXPECT_EQ(picker.ValueEnabled(), !useDefault);
    }
}

TEST(PickerCommandText, CodepageSkipsTheUnusedTables)
{
    const std::pair<int, const char*> cases[] = {
        {0, "1b 74 00 "},
        {5, "1b 74 05 "},
        {6, "1b 74 10 "},
        {9, "1b 74 13 "},
        {10, "1b 74 15 "},
        {16, "1b 74 1b "},
        {36, "1b 74 2f "},
        // An index past either end of the list falls back to the first table.
        {37, "1b 74 00 "},
        {-1, "1b 74 00 "},
    };
    for (const auto& [index, text] : cases) {
        CodepagePicker picker;
        picker.index = index;
        EXPECT_EQ(picker.CommandText(), text) << index;
    }
    const auto entries = CodepagePicker::Entries();
    ASSERT_EQ(entries.size(), 37u);
    EXPECT_EQ(entries[16], "Farsi");
}

TEST(PickerCommandText, NvImageTakesTheFieldUnchanged)
{
    const std::pair<const char*, const char*> cases[] = {
        {"03", "1c 70 03 00 "},
        {"3", "1c 70 3 00 "},
        {"", "1c 70  00 "},
    };
    for (const auto& [field, text] : cases) {
        AddressPicker picker;
        picker.text = field;
        EXPECT_EQ(picker.CommandText(), text);
    }
    EXPECT_EQ(AddressPicker().text, "01");
}

TEST_F(CommandEditorTest, WriteCommandSendsTheParsedBytesInOneWrite)
{
    const std::pair<const char*, Bytes> cases[] = {
        {"1B 45 01", BytesOf({0x1B, 0x45, 0x01})},
        {"1b4501", BytesOf({0x1B, 0x45, 0x01})},
        {"1b 45 01\n", BytesOf({0x1B, 0x45, 0x01})},
        {"1b 2", BytesOf({0x1B, 0x02})},
        {"123", BytesOf({0x12, 0x03})},
        {"1c 70 3 00 ", BytesOf({0x1C, 0x70, 0x03, 0x00})},
    };
    for (const auto& [text, bytes] : cases) {
        port->writes.clear();
        editor.SetText(text);
        editor.WriteCommand();
        ASSERT_EQ(port->writes.size(), 1u) << text;
        EXPECT_EQ(HexOf(port->writes[0]), HexOf(bytes)) << text;
    }
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(CommandEditorTest, WriteCommandOnEmptyOrSeparatorText)
{
    editor.WriteCommand();
    EXPECT_EQ(writeCalls, 0);
    // Only separators: one write of nothing, which the link answers with 0.
    editor.SetText(" \r\n");
    editor.WriteCommand();
    EXPECT_EQ(writeCalls, 1);
    EXPECT_TRUE(port->writes.empty());
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(CommandEditorTest, PairsThatAreNotHexadecimalAreNeitherSentNorSaved)
{
    const std::pair<const char*, const char*> cases[] = {
        {"1b zz 00", "\"zz\" at line 1, column 4"},
        {"1b 45\n01 -1", "\"-1\" at line 2, column 4"},
        {"1b 4g", "\"4g\" at line 1, column 4"},
    };
    const std::string path = dir.File("refused.bin");
    for (const auto& [text, where] : cases) {
        notifier.messages.clear();
        editor.SetText(text);
        editor.WriteCommand();
        files.answers.push_back(path);
        editor.Save();
        EXPECT_EQ(writeCalls, 0) << text;
        EXPECT_FALSE(std::filesystem::exists(path)) << text;
        ASSERT_EQ(notifier.messages.size(), 2u) << text;
        for (const auto& m : notifier.messages) {
            EXPECT_EQ(m.title, "Warning");
            EXPECT_EQ(m.icon, MessageIcon::Exclamation);
            EXPECT_NE(m.text.find(where), std::string::npos) << m.text;
        }
        EXPECT_NE(notifier.messages[0].text.find("Nothing was sent"), std::string::npos);
        EXPECT_NE(notifier.messages[1].text.find("Nothing was written"), std::string::npos);
        // No file dialog for a text that cannot be saved.
        EXPECT_TRUE(files.asked.empty());
        files.answers.clear();
    }
}

TEST_F(CommandEditorTest, PrintTestStringWritesTheLinesThenTheFeed)
{
    editor.SetText("zz");
    editor.PrintTestString();
    ASSERT_EQ(port->writes.size(), 2u);
    const std::string lines(port->writes[0].begin(), port->writes[0].end());
    EXPECT_EQ(lines, "Command Test String Line1\r\nCommand Test String Line2");
    EXPECT_EQ(lines.size(), 52u);
    EXPECT_EQ(HexOf(port->writes[1]), "1B 4A FF");
}

TEST_F(CommandEditorTest, SaveThenLoadGivesTheCanonicalText)
{
    const std::string path = dir.File("command.bin");
    editor.SetText("1B21 0");
    files.answers.push_back(path);
    editor.Save();
    EXPECT_EQ(HexOf(ReadBoundedFile(path, 1 << 20).bytes), "1B 21 00");
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_EQ(files.asked[0].proposedName, "command.bin");
    EXPECT_EQ(files.asked[0].defaultExtension, "bin");
    EXPECT_EQ(files.asked[0].filter, "Binary files(*.bin)|*.bin|All files(*.*)|*.*||");

    editor.SetText("unsaved");
    files.answers.push_back(path);
    editor.Load();
    EXPECT_EQ(editor.Text(), "1b 21 00 ");
    EXPECT_EQ(files.asked[1].proposedName, "*.bin");
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(CommandEditorTest, SaveReplacesAnExistingFileWhole)
{
    const std::string path = dir.File("old.bin");
    WriteFile(path, Bytes(1000, 0xEE));
    editor.SetText("0a");
    files.answers.push_back(path);
    editor.Save();
    EXPECT_EQ(HexOf(ReadBoundedFile(path, 1 << 20).bytes), "0A");
    // Nothing left beside it under a temporary name.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST_F(CommandEditorTest, LoadShowsLongFilesSixteenPairsALine)
{
    Bytes bytes;
    for (int i = 0; i < 40; ++i)
        bytes.push_back(static_cast<std::uint8_t>(i));
    const std::string path = dir.File("long.bin");
    WriteFile(path, bytes);
    files.answers.push_back(path);
    editor.Load();
    const std::string& text = editor.Text();
    EXPECT_EQ(text.substr(0, 49), "00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f \n");
    EXPECT_EQ(text.substr(text.size() - 6), "26 27 ");
    EXPECT_EQ(ParseHexText(text), bytes);
}

TEST_F(CommandEditorTest, LoadOfAnEmptyFileGivesAnEmptyText)
{
    const std::string path = dir.File("empty.bin");
    WriteFile(path, {});
    editor.SetText("1b ");
    files.answers.push_back(path);
    editor.Load();
    EXPECT_EQ(editor.Text(), "");
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(CommandEditorTest, CancelledLoadKeepsTheText)
{
    editor.SetText("1b 40 unsaved work");
    editor.Load();
    EXPECT_EQ(editor.Text(), "1b 40 unsaved work");
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0],
              (ShownMessage{"Don't select load file", "warning", MessageIcon::Exclamation}));
}

TEST_F(CommandEditorTest, SaveWithoutTextOrFile)
{
    editor.Save();
    editor.SetText("1b");
    editor.Save();
    EXPECT_EQ(notifier.messages, (std::vector<ShownMessage>{
                                     {"No data to write", "Warning", MessageIcon::Exclamation},
                                     {"Don't select save file", "Warning", MessageIcon::Exclamation},
                                 }));
    EXPECT_EQ(files.asked.size(), 1u);
}

TEST_F(CommandEditorTest, FilesThatCannotBeWrittenOrReadAreNamed)
{
    const std::string missingFolder = dir.File("no-such-folder/command.bin");
    const std::string missingFile = dir.File("missing.bin");
    editor.SetText("1b 40 ");
    files.answers.push_back(missingFolder);
    editor.Save();
    files.answers.push_back(missingFile);
    editor.Load();
    files.answers.push_back(dir.Path().string());  // a folder cannot be read as a file
    editor.Load();
    ASSERT_EQ(notifier.messages.size(), 3u);
    const std::string named[] = {missingFolder, missingFile, dir.Path().string()};
    // The system's reason alone, without the step that failed.
    const std::string reasons[] = {std::strerror(ENOENT), std::strerror(ENOENT), "not a regular file"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(notifier.messages[i].title, "Warning");
        EXPECT_EQ(notifier.messages[i].icon, MessageIcon::Exclamation);
        EXPECT_NE(notifier.messages[i].text.find(named[i]), std::string::npos) << notifier.messages[i].text;
        EXPECT_TRUE(notifier.messages[i].text.ends_with(named[i] + "\r\n(" + reasons[i] + ")"))
            << notifier.messages[i].text;
    }
    EXPECT_EQ(editor.Text(), "1b 40 ");
}

// A folder, a named pipe or /dev/zero chosen as a command file, or a file over 16 MiB,
// is refused at once with its name and the reason; the text stays as it was.
TEST_F(CommandEditorTest, LoadTakesOnlyARegularFileWithinTheLimit)
{
    for (const test::FileKind kind : test::kAllFileKinds) {
        SCOPED_TRACE(test::FileKindName(kind));
        const std::string path = test::MakeFileOfKind(
            dir, kind, std::string(test::FileKindName(kind)) + ".bin", "\x1b@", kMaxCommandFileBytes);
        const std::string refusal = test::RefusalOf(kind, kMaxCommandFileBytes);
        notifier.messages.clear();
        editor.SetText("unsaved");
        files.answers.push_back(path);
        editor.Load();
        if (refusal.empty()) {
            EXPECT_EQ(editor.Text(), "1b 40 ");
            EXPECT_TRUE(notifier.messages.empty());
        } else {
            EXPECT_EQ(editor.Text(), "unsaved");
            ASSERT_EQ(notifier.messages.size(), 1u);
            EXPECT_EQ(notifier.messages[0].text,
                      "Can't read the command file\r\n" + path + "\r\n(" + refusal + ")");
        }
    }
}

}  // namespace
}  // namespace zorvik
