// The command editor's writes as the virtual printer receives them, over the real
// serial port on its pseudo-terminal and the network port on loopback TCP.
#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>

#include "base/AtomicFile.h"
#include "base/FileChooser.h"
#include "cmdtest/CommandEditor.h"
#include "link/SystemPortFactory.h"
#include "sim/SimServer.h"
#include "support/FakePort.h"
#include "support/RecordingNotifier.h"
#include "support/ScriptedFileChooser.h"
#include "support/SimPortSettings.h"
#include "support/TempDir.h"

namespace zorvik {
namespace {

using test::Bytes;
using test::BytesOf;
using test::HexOf;

class EditorEndToEndTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Start({true, true, 0})) << server.Error();
        ASSERT_NE(link.CreatePort(test::SimPortSettings(server, GetParam())), 0);
        ASSERT_NE(link.Open(), 0);
    }

    // What the printer has received once `count` bytes are in (bounded wait).
    Bytes ReceivedOnce(std::size_t count)
    {
        Bytes received;
        for (int i = 0; i < 1000; ++i) {
            received = server.WithPrinter([](VirtualPrinter& p) { return p.Received(); });
            if (received.size() >= count)
                break;
            ::usleep(5000);
        }
        return received;
    }

    SimServer server;
    VirtualPacer pacer;
    test::RecordingNotifier notifier;
    test::ScriptedFileChooser files;
    PrinterLink link{MakeSystemPortFactory(pacer, notifier, DeviceNames())};
    CommandEditor editor{link, notifier, files};
};

TEST_P(EditorEndToEndTest, WriteCommandAndTestString)
{
    const std::pair<const char*, Bytes> writes[] = {
        {"1B 45 01", BytesOf({0x1B, 0x45, 0x01})},
        {"1b4501\r\n", BytesOf({0x1B, 0x45, 0x01})},
        {"1b 2", BytesOf({0x1B, 0x02})},
        {"123", BytesOf({0x12, 0x03})},
        {"1b 33 ff 1b 74 1b 1c 70 3 00 ",
         BytesOf({0x1B, 0x33, 0xFF, 0x1B, 0x74, 0x1B, 0x1C, 0x70, 0x03, 0x00})},
        {"1b zz", {}},  // refused: nothing reaches the printer
    };
    Bytes expected;
    for (const auto& [text, bytes] : writes) {
        editor.SetText(text);
        editor.WriteCommand();
        expected.insert(expected.end(), bytes.begin(), bytes.end());
    }
    editor.SetText("1b 40");
    editor.PrintTestString();
    const std::string line = "Command Test String Line1\r\nCommand Test String Line2";
    expected.insert(expected.end(), line.begin(), line.end());
    expected.insert(expected.end(), {0x1B, 0x4A, 0xFF});
    EXPECT_EQ(HexOf(ReceivedOnce(expected.size())), HexOf(expected));
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].title, "Warning");
}

// A loaded command file goes out whole, in the network port's pieces too.
TEST_P(EditorEndToEndTest, LoadedFileIsSentAsItWas)
{
    test::TempDir dir;
    Bytes bytes(10000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>('A' + i % 26);  // plain print data
    files.answer = dir.File("long.bin");
    ASSERT_TRUE(WriteFileAtomically(*files.answer, bytes));
    editor.Load();
    editor.WriteCommand();
    EXPECT_EQ(ReceivedOnce(bytes.size()), bytes);
    EXPECT_TRUE(notifier.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Lines, EditorEndToEndTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "OverPty" : "OverTcp"; });

}  // namespace
}  // namespace zorvik
