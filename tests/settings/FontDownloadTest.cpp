#include <gtest/gtest.h>

#include "resources/FontImageMagic.h"
#include "resources/FontImages.h"
#include "resources/SettingsTexts.h"
#include "settings/StatusSession.h"
#include "support/RecordingNotifier.h"
#include "support/RowName.h"
#include "support/ScriptedPrinter.h"

namespace zorvik {
namespace {

using test::Bytes;

Bytes Image(std::size_t size)
{
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i)
        b[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return b;
}

struct Download {
    explicit Download(std::size_t size, InterfaceType type = InterfaceType::Usb)
        : image(Image(size)), fake(type == InterfaceType::Serial || type == InterfaceType::Parallel),
          session(*fake.link, type, pacer, notifier, timers, nullptr, [this](int id) {
              lookedUp.push_back(id);
              return std::span<const std::uint8_t>(image);
          })
    {
    }
    std::vector<std::size_t> WriteSizes() const
    {
        std::vector<std::size_t> sizes;
        for (const auto& w : fake.state->writes)
            sizes.push_back(w.size());
        return sizes;
    }
    std::vector<std::string> Messages() const { return test::MessageTexts(notifier); }

    Bytes image;
    test::FakePrinterLink fake;
    VirtualPacer pacer;
    test::RecordingNotifier notifier;
    test::ManualTimerHost timers;
    std::vector<int> lookedUp;
    StatusSession session;
};

struct SplitCase {
    const char* name;
    friend void PrintTo(const SplitCase& row, std::ostream* os) { *os << row.name; }
    std::size_t size;
    std::vector<std::size_t> writes;
};

class FontSplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(FontSplitTest, ImageGoesOutAsFirstPieceAndBlocks)
{
    const SplitCase c = GetParam();
    Download d(c.size);
    d.session.StartFontDownload(5);
    EXPECT_EQ(d.lookedUp, std::vector<int>{143});
    d.timers.RunAll(d.session);
    // The writes of the download, then the version queries of the success path.
    std::vector<std::size_t> sizes = d.WriteSizes();
    ASSERT_GE(sizes.size(), c.writes.size());
    sizes.resize(c.writes.size());
    EXPECT_EQ(sizes, c.writes) << c.name;
    Bytes sent;
    for (std::size_t i = 0; i < c.writes.size(); ++i)
        sent.insert(sent.end(), d.fake.state->writes[i].begin(), d.fake.state->writes[i].end());
    EXPECT_EQ(sent, d.image);
    EXPECT_EQ(d.Messages(), std::vector<std::string>{kMsgFontDownloadOk});
    EXPECT_EQ(d.session.Result(), DialogResult::Ok);
    EXPECT_TRUE(d.session.ButtonEnabled(StatusButton::Exit));
    // One 10 ms pause after each full block.
    const auto fullBlocks = static_cast<std::uint64_t>(std::count(c.writes.begin(), c.writes.end(), 4096u));
    EXPECT_EQ(d.pacer.Total(), 10 * (fullBlocks - (c.writes.back() == 4096u ? 1 : 0)) + 200 + 200);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, FontSplitTest,
    ::testing::Values(SplitCase{"three blocks and one byte", 64 + 3 * 4096 + 1, {64, 4096, 4096, 4096, 1}},
                      // The last full block goes out through the last-block path.
                      SplitCase{"exact multiple", 64 + 2 * 4096, {64, 4096, 4096}},
                      SplitCase{"first piece only", 64, {64}}, SplitCase{"short image", 10, {10}}),
    test::RowName());

TEST(FontDownloadTest, PartialBlockIsResentFromWhereItStopped)
{
    Download d(64 + 3 * 4096 + 1);
    d.session.StartFontDownload(2);
    d.fake.state->writeLimit = 1000;
    ASSERT_EQ(d.timers.armed.count(StatusSession::kTimerBlock), 1u);
    d.timers.armed.clear();
    d.session.OnTimer(StatusSession::kTimerBlock);
    d.fake.state->writeLimit = -1;
    d.timers.RunAll(d.session);
    const auto& w = d.fake.state->writes;
    ASSERT_GE(w.size(), 3u);
    EXPECT_EQ(w[1].size(), 1000u);
    EXPECT_EQ(w[2].size(), 4096u);
    EXPECT_EQ(w[2].front(), d.image[64 + 1000]);
    EXPECT_EQ(d.session.Result(), DialogResult::Ok);
}

TEST(FontDownloadTest, PartialLastBlockIsNotASuccess)
{
    Download d(64 + 3000);
    d.session.StartFontDownload(2);
    d.fake.state->writeLimit = 1000;
    d.timers.armed.clear();
    d.session.OnTimer(StatusSession::kTimerBlock);
    EXPECT_EQ(d.timers.armed.count(StatusSession::kTimerBlock), 1u);
    d.fake.state->writeLimit = -1;
    d.timers.RunAll(d.session);
    EXPECT_EQ(d.WriteSizes()[2], 2000u);
    EXPECT_EQ(d.session.Result(), DialogResult::Ok);
}

struct RefusalCase {
    const char* name;
    friend void PrintTo(const RefusalCase& row, std::ostream* os) { *os << row.name; }
    int refusedWrite;  // index of the write that accepts nothing
    std::vector<std::string> messages;
};

class FontRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(FontRefusalTest, RefusedBlockEndsTheDownloadWithTheDialogUsable)
{
    const RefusalCase c = GetParam();
    Download d(64 + 3 * 4096 + 1);
    int writes = 0;
    d.fake.state->responder = [&](const Bytes&, test::FakePortState& s) {
        if (++writes == c.refusedWrite)
            s.writeLimit = 0;
    };
    d.session.SettingPage().doubleFontIndex = 2;
    d.session.StartFontDownload(2);
    d.timers.RunAll(d.session);
    EXPECT_EQ(d.Messages(), c.messages) << c.name;
    EXPECT_EQ(d.notifier.messages.back().title, "Warning");
    for (int b = 0; b < kStatusButtonCount; ++b)
        EXPECT_TRUE(d.session.ButtonEnabled(static_cast<StatusButton>(b))) << b;
    EXPECT_EQ(d.session.Result(), DialogResult::Running);
    EXPECT_EQ(d.session.ProgressPosition(), 0);
    EXPECT_FALSE(d.session.Download().Active());
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, FontRefusalTest,
    ::testing::Values(RefusalCase{"last block", 4, {kMsgFontLastBlockError, kMsgFontDownloadFailed}},
                      RefusalCase{"full block", 2, {kMsgFontDownloadFailed}}),
    test::RowName());

TEST(FontDownloadTest, ProgressStepsEveryFourthBlockFromTen)
{
    Download d(64 + 20 * 4096 + 5);
    std::vector<int> positions;
    d.session.onProgress = [&](int p) { positions.push_back(p); };
    d.session.StartFontDownload(6);
    d.timers.RunAll(d.session);
    // 10, then 11 after the first piece; blocks 2..21 are full, steps at 4, 8, ..., 20.
    const std::vector<int> expected{10, 11, 12, 13, 14, 15, 16, 100, 0};
    EXPECT_EQ(positions, expected);
}

TEST(FontDownloadTest, SetStatusWithADoubleByteFontHandsOverToTheDownload)
{
    Download d(64 + 4096 + 4096 + 7, InterfaceType::Ethernet);
    d.session.Initialize();
    d.timers.RunAll(d.session);
    d.session.GetStatus();
    d.session.SettingPage().SelectDoubleFont(4);  // BIG5
    d.notifier.messages.clear();
    d.session.SetStatus();
    EXPECT_EQ(d.Messages(), std::vector<std::string>{kMsgFirmwareChanged});
    EXPECT_EQ(d.notifier.messages[0].title, "Zorvik");
    EXPECT_EQ(d.lookedUp, std::vector<int>{141});
    for (int b = 0; b < kStatusButtonCount; ++b)
        EXPECT_FALSE(d.session.ButtonEnabled(static_cast<StatusButton>(b))) << b;
    EXPECT_FALSE(d.session.SettingPage().doubleFontEnabled);
    EXPECT_FALSE(d.session.SettingPage().codePageEnabled);
    EXPECT_EQ(d.session.ProgressStep(), 1);
    d.timers.RunAll(d.session);
    EXPECT_EQ(d.Messages().back(), kMsgFontDownloadOk);
    EXPECT_EQ(d.session.Result(), DialogResult::Ok);
    // Switch 12 went out as value 2 (pin 2 on), switch 2 as a double-byte country.
    EXPECT_EQ(d.fake.printer.switches[7], "00000010");
    EXPECT_EQ(d.fake.printer.switches[1].back(), '1');
}

TEST(FontImagesTest, EmbeddedImagesHaveTheirSizesAndHeader)
{
    for (const FontImageInfo& info : kFontImages) {
        const auto image = FontImages::Find(info.resourceId);
        ASSERT_GE(image.size(), 4u) << info.resourceId;
#ifndef ZORVIK_REAL_FONTS
        EXPECT_EQ(image.size(), info.size) << info.resourceId;
#endif
        EXPECT_TRUE(std::equal(std::begin(kFontImageMagic), std::end(kFontImageMagic), image.begin()));
    }
    EXPECT_TRUE(FontImages::Find(140).empty());
    EXPECT_NE(FontImages::Find(142)[100], FontImages::Find(144)[100]);
}

TEST(FontDownloadTest, EmbeddedImageGoesOutWhole)
{
    test::FakePrinterLink fake(false);
    VirtualPacer pacer;
    test::RecordingNotifier notifier;
    test::ManualTimerHost timers;
    StatusSession session(*fake.link, InterfaceType::Usb, pacer, notifier, timers);
    session.StartFontDownload(6);
    timers.RunAll(session);
    const auto image = FontImages::Find(155);
    Bytes sent;
    for (const auto& w : fake.state->writes)
        if (w.size() > 9)
            sent.insert(sent.end(), w.begin(), w.end());
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), image.begin(), image.end()));
    EXPECT_EQ(session.Result(), DialogResult::Ok);
}

}  // namespace
}  // namespace zorvik
