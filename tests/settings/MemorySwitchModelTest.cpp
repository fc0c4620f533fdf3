#include <gtest/gtest.h>

#include "settings/MemorySwitchModel.h"

namespace zorvik {
namespace {

struct SwitchPage {
    SettingsRecord record;
    MemorySwitchModel page;
    SwitchPage()
    {
        page.SetRecord(&record);
        // Entry e holds state (e + pin) % 3 in pin `pin`, so every entry differs.
        for (int e = 0; e < 8; ++e)
            for (int pin = 1; pin <= 8; ++pin)
                record.Pin(e, pin) = (e + pin) % 3;
    }
    void Ready()
    {
        page.ready = true;
        page.ShowSwitch(1, true);
    }
};

TEST(MemorySwitchModelTest, NotReadyChangesNothing)
{
    SwitchPage p;
    p.page.ShowSwitch(3, true);
    EXPECT_EQ(p.page.currentPage, 1);
    EXPECT_EQ(p.page.caption, "1");
    EXPECT_EQ(p.page.labels[0], "[PIN 1] Reserved");
    EXPECT_EQ(p.page.Options(1), nullptr);
    EXPECT_FALSE(p.page.pinEnabled[0]);
    EXPECT_FALSE(p.page.nextEnabled);
}

struct PageCase {
    int page;
    const char* caption;
    const char* enabledPins;  // '1' enabled, pin 1 first
    bool back;
    bool next;
    friend void PrintTo(const PageCase& c, std::ostream* os) { *os << "page " << c.page; }
};

class SwitchPageLayoutTest : public ::testing::TestWithParam<PageCase> {};

TEST_P(SwitchPageLayoutTest, PageShowsItsEntryWithItsLockedRows)
{
    const PageCase c = GetParam();
    SwitchPage p;
    p.Ready();
    p.page.ShowSwitch(c.page, true);
    EXPECT_EQ(p.page.caption, c.caption);
    EXPECT_EQ(p.page.backEnabled, c.back);
    EXPECT_EQ(p.page.nextEnabled, c.next);
    for (int pin = 1; pin <= 8; ++pin) {
        EXPECT_EQ(p.page.pinEnabled[static_cast<std::size_t>(pin - 1)], c.enabledPins[pin - 1] == '1')
            << "pin " << pin;
        EXPECT_EQ(p.page.selectors[static_cast<std::size_t>(pin - 1)], (c.page - 1 + pin) % 3)
            << "pin " << pin;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, SwitchPageLayoutTest,
    ::testing::Values(PageCase{1, "1", "00111111", false, true}, PageCase{2, "2", "01000000", true, true},
                      PageCase{3, "3", "00011111", true, true}, PageCase{4, "4", "11001111", true, true},
                      PageCase{5, "5", "11111111", true, true}, PageCase{6, "6", "11111111", true, true},
                      PageCase{7, "11", "11111111", true, false}),
    [](const auto& info) { return "Page" + std::to_string(info.param.page); });

TEST(MemorySwitchModelTest, PageSevenUsesTheReversedListForPinsSixToEight)
{
    SwitchPage p;
    p.Ready();
    p.page.ShowSwitch(7, true);
    for (int pin = 1; pin <= 8; ++pin) {
        const auto& options = *p.page.Options(pin);
        EXPECT_STREQ(options[1], pin >= 6 ? "Disable" : "Enable") << pin;
        EXPECT_STREQ(options[2], pin >= 6 ? "Enable" : "Disable") << pin;
    }
    // Choosing "Enable" (entry 2) on pin 7 stores 2, off.
    p.page.StorePin(7, 2);
    EXPECT_EQ(p.record.Pin(6, 7), PinState::Off);
    EXPECT_EQ(p.page.labels[6], "[PIN 7] Reserved");
}

TEST(MemorySwitchModelTest, SpecialRowsCarryTheirLabelsAndLists)
{
    SwitchPage p;
    p.Ready();
    p.page.ShowSwitch(2, true);
    EXPECT_EQ(p.page.labels[0], "[PIN 1] Specification for Destination");
    EXPECT_STREQ((*p.page.Options(1))[1], "Double byte Country");
    EXPECT_EQ(p.page.labels[2], "Codepage(Set in Printer Setting Tab)");
    p.page.ShowSwitch(4, true);
    EXPECT_EQ(p.page.labels[0], "Swap font B and C");
    EXPECT_STREQ((*p.page.Options(1))[2], "Font B(9x17)");
    p.page.ShowSwitch(6, true);
    EXPECT_STREQ((*p.page.Options(2))[2], "3 times");
    EXPECT_EQ(p.page.labels[3], "[PIN 4] Auto external buzzer after cutting");
}

TEST(MemorySwitchModelTest, DisabledViewShowsSwitchOneUnderGenericLabels)
{
    SwitchPage p;
    p.Ready();
    p.page.ShowSwitch(4, true);
    p.page.ShowSwitch(1, false);
    EXPECT_EQ(p.page.caption, "4");
    EXPECT_EQ(p.page.labels[0], "[PIN 1] Reserved");
    for (int pin = 1; pin <= 8; ++pin) {
        EXPECT_EQ(p.page.selectors[static_cast<std::size_t>(pin - 1)], p.record.Pin(0, pin));
        EXPECT_FALSE(p.page.pinEnabled[static_cast<std::size_t>(pin - 1)]);
        EXPECT_STREQ((*p.page.Options(pin))[1], "Enable");
    }
    EXPECT_FALSE(p.page.backEnabled);
    EXPECT_FALSE(p.page.nextEnabled);
}

TEST(MemorySwitchModelTest, StoringAPinTouchesOnlyThatPinOfThePageOnView)
{
    SwitchPage p;
    p.Ready();
    p.page.Next();
    p.page.Next();
    p.page.Next();
    ASSERT_EQ(p.page.currentPage, 4);
    const SettingsRecord before = p.record;
    p.page.StorePin(5, 0);
    SettingsRecord expected = before;
    expected.Pin(3, 5) = 0;
    EXPECT_EQ(p.record, expected);
    p.page.Next();
    p.page.Back();
    EXPECT_EQ(p.page.selectors[4], 0);
}

TEST(MemorySwitchModelTest, ResetAllPinsTurnsEveryPinOffAndKeepsThePage)
{
    SwitchPage p;
    p.Ready();
    p.page.ShowSwitch(6, true);
    p.record.Pin(3, 0) = 77;
    p.page.ResetAllPins();
    for (int e = 0; e < 8; ++e)
        for (int pin = 1; pin <= 8; ++pin)
            EXPECT_EQ(p.record.Pin(e, pin), PinState::Off);
    EXPECT_EQ(p.record.Pin(3, 0), 77);
    EXPECT_EQ(p.page.currentPage, 6);
    EXPECT_EQ(p.page.caption, "6");
    EXPECT_STREQ((*p.page.Options(2))[p.page.selectors[1]], "3 times");
    // A selection change after the reset lands in the switch on view.
    p.page.StorePin(1, 1);
    EXPECT_EQ(p.record.Pin(5, 1), PinState::On);
    EXPECT_EQ(p.record.Pin(0, 1), PinState::Off);
}

}  // namespace
}  // namespace zorvik
