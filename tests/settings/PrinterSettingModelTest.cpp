#include <gtest/gtest.h>

#include "resources/SettingsTexts.h"
#include "settings/PrinterSettingModel.h"
#include "support/RowName.h"

namespace zorvik {
namespace {

// Pins 1..8 of one entry as a string of states, pin 1 first.
std::string Pins(const SettingsRecord& r, int entry)
{
    std::string s;
    for (int pin = 1; pin <= 8; ++pin)
        s += static_cast<char>('0' + r.Pin(entry, pin));
    return s;
}

void SetPins(SettingsRecord& r, int entry, const std::string& states)
{
    for (int pin = 1; pin <= 8; ++pin)
        r.Pin(entry, pin) = states[static_cast<std::size_t>(pin - 1)] - '0';
}

struct Page {
    SettingsRecord record;
    PrinterSettingModel page;
    Page()
    {
        page.SetRecord(&record);
        page.Initialize();
    }
};

struct CodePageCase {
    int index;
    const char* item;
    const char* switch2;  // pins 1..8 after the choice, from all "0"
    friend void PrintTo(const CodePageCase& c, std::ostream* os) { *os << c.index << " " << c.item; }
};

class CodePageTest : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(CodePageTest, ChoiceSetsSwitchTwoPinsThreeToEight)
{
    const CodePageCase c = GetParam();
    Page p;
    EXPECT_STREQ(kCodePageItems[static_cast<std::size_t>(c.index)], c.item);
    p.page.SelectCodePage(c.index);
    EXPECT_EQ(Pins(p.record, 1), c.switch2);
}

INSTANTIATE_TEST_SUITE_P(Values, CodePageTest,
                         ::testing::Values(CodePageCase{0, "No Change", "00000000"},
                                           CodePageCase{1, "PC437 (USA: Standard Europe)", "00222222"},
                                           // 36 = 32 + 4: the sixth bit on pin 3, bit 2 on pin 6.
                                           CodePageCase{37, "WPC1250 (Czech)", "00122122"},
                                           CodePageCase{16, "WPC1257 (Baltic)", "00211112"},
                                           CodePageCase{2, "Katakana", "00212222"}),
                         [](const auto& info) { return test::RowNameOf(info.param.item); });

struct DoubleFontCase {
    int index;
    const char* switch12;
    const char* switch2;  // from pins "22222222" before the choice
    int fontChoice;
    int codePageIndex;
    bool codePageEnabled;
    friend void PrintTo(const DoubleFontCase& c, std::ostream* os) { *os << "choice " << c.index; }
};

class DoubleFontTest : public ::testing::TestWithParam<DoubleFontCase> {};

TEST_P(DoubleFontTest, ChoiceSetsSwitchTwelveAndTheDestination)
{
    const DoubleFontCase c = GetParam();
    Page p;
    SetPins(p.record, 1, "22222222");
    SetPins(p.record, 7, "11111111");
    p.page.codePageIndex = 5;
    p.page.SelectDoubleFont(c.index);
    EXPECT_EQ(Pins(p.record, 7), c.switch12);
    EXPECT_EQ(Pins(p.record, 1), c.switch2);
    EXPECT_EQ(p.record.fontChoice, c.fontChoice);
    EXPECT_EQ(p.page.codePageIndex, c.codePageIndex);
    EXPECT_EQ(p.page.codePageEnabled, c.codePageEnabled);
}

INSTANTIATE_TEST_SUITE_P(Choices, DoubleFontTest,
                         ::testing::Values(
                             // "No Change": switch 12 back to the saved pins (all off at construction).
                             DoubleFontCase{0, "22222222", "22222222", 0, 5, true},
                             DoubleFontCase{1, "22222222", "02222222", 1, 5, true},
                             DoubleFontCase{2, "12222222", "12222222", 2, 0, false},
                             DoubleFontCase{3, "21222222", "12222222", 3, 0, false},
                             DoubleFontCase{4, "21222222", "12222222", 4, 0, false},
                             DoubleFontCase{5, "11222222", "12222222", 5, 0, false},
                             // WPC1257_KARVO: value 4 on pin 3, single-byte country, code page 15.
                             DoubleFontCase{6, "22122222", "22211112", 6, 16, false},
                             DoubleFontCase{-1, "22222222", "22222222", -1, 5, true}),
                         [](const auto& info) {
                             const int i = info.param.index;
                             return i < 0 ? std::string("NoChoice") : "Choice" + std::to_string(i);
                         });

TEST(PrinterSettingModelTest, NoChangeRestoresSwitchTwelveAsRead)
{
    Page p;
    SetPins(p.record, 7, "21200120");
    p.page.recordLoaded = true;
    p.page.Refresh(true);
    p.page.SelectDoubleFont(2);
    ASSERT_EQ(Pins(p.record, 7), "12222222");
    p.page.SelectDoubleFont(0);
    EXPECT_EQ(Pins(p.record, 7), "21200120");
    EXPECT_EQ(p.record.Pin(1, 1), PinState::Off);
}

struct ListCase {
    const char* name;
    friend void PrintTo(const ListCase& row, std::ostream* os) { *os << row.name; }
    int index;
    const char* switchPins;  // pins 1..8 of the list's switch
};

class PrintSpeedChoiceTest : public ::testing::TestWithParam<ListCase> {};
TEST_P(PrintSpeedChoiceTest, SetsSwitchOnePinsOneAndTwo)
{
    Page p;
    p.page.SelectPrintSpeed(GetParam().index);
    EXPECT_EQ(Pins(p.record, 0), GetParam().switchPins) << GetParam().name;
}
INSTANTIATE_TEST_SUITE_P(Items, PrintSpeedChoiceTest,
                         ::testing::Values(ListCase{"No Change", 0, "00000000"},
                                           ListCase{"speed 3", 1, "22000000"},
                                           ListCase{"speed 2", 2, "12000000"},
                                           ListCase{"speed 1", 3, "21000000"}),
                         test::RowName());

class EmulationChoiceTest : public ::testing::TestWithParam<ListCase> {};
TEST_P(EmulationChoiceTest, SetsSwitchThreePinsOneToThree)
{
    Page p;
    p.page.SelectEmulation(GetParam().index);
    EXPECT_EQ(Pins(p.record, 2), GetParam().switchPins) << GetParam().name;
}
INSTANTIATE_TEST_SUITE_P(Items, EmulationChoiceTest,
                         ::testing::Values(ListCase{"No Change", 0, "00000000"}, ListCase{"1", 1, "22200000"},
                                           ListCase{"2", 2, "12200000"}, ListCase{"3", 3, "21200000"},
                                           ListCase{"4", 4, "11200000"}, ListCase{"5", 5, "22100000"}),
                         test::RowName());

class SingleFontChoiceTest : public ::testing::TestWithParam<ListCase> {};
TEST_P(SingleFontChoiceTest, SetsSwitchFourPinsThreeAndFour)
{
    Page p;
    p.page.SelectSingleFont(GetParam().index);
    EXPECT_EQ(Pins(p.record, 3), GetParam().switchPins) << GetParam().name;
}
INSTANTIATE_TEST_SUITE_P(Items, SingleFontChoiceTest,
                         ::testing::Values(ListCase{"No Chnage", 0, "00000000"}, ListCase{"A", 1, "00220000"},
                                           ListCase{"B", 2, "00120000"}, ListCase{"C", 3, "00210000"}),
                         test::RowName());

struct RefreshCase {
    const char* name;
    friend void PrintTo(const RefreshCase& row, std::ostream* os) { *os << row.name; }
    int entry;
    const char* pins;
    int PrinterSettingModel::*index;
    int expected;  // -2: left as it was (the test starts every index at 7)
};

class RefreshDecodeTest : public ::testing::TestWithParam<RefreshCase> {};

TEST_P(RefreshDecodeTest, RefreshDecodesTheIndexFromThePins)
{
    const RefreshCase c = GetParam();
    Page p;
    p.page.recordLoaded = true;
    p.page.printSpeedIndex = p.page.emulationIndex = p.page.singleFontIndex = p.page.codePageIndex = 7;
    SetPins(p.record, c.entry, c.pins);
    p.page.Refresh(true);
    EXPECT_EQ(p.page.*c.index, c.expected == -2 ? 7 : c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Decodings, RefreshDecodeTest,
    ::testing::Values(RefreshCase{"speed all off", 0, "22200000", &PrinterSettingModel::printSpeedIndex, 1},
                      RefreshCase{"speed value 1", 0, "12200000", &PrinterSettingModel::printSpeedIndex, 2},
                      RefreshCase{"speed value 2", 0, "21200000", &PrinterSettingModel::printSpeedIndex, 3},
                      RefreshCase{"speed pin 3 on", 0, "22100000", &PrinterSettingModel::printSpeedIndex, 5},
                      RefreshCase{"speed unread", 0, "00000000", &PrinterSettingModel::printSpeedIndex, -2},
                      RefreshCase{"emulation 1", 2, "22200000", &PrinterSettingModel::emulationIndex, 1},
                      RefreshCase{"emulation 2", 2, "12200000", &PrinterSettingModel::emulationIndex, 2},
                      RefreshCase{"emulation 3", 2, "21200000", &PrinterSettingModel::emulationIndex, 3},
                      RefreshCase{"emulation 4", 2, "11200000", &PrinterSettingModel::emulationIndex, 4},
                      RefreshCase{"emulation 5", 2, "22100000", &PrinterSettingModel::emulationIndex, 5},
                      RefreshCase{"emulation unread", 2, "00000000", &PrinterSettingModel::emulationIndex, 1},
                      RefreshCase{"font A", 3, "00220000", &PrinterSettingModel::singleFontIndex, 1},
                      RefreshCase{"font C", 3, "00210000", &PrinterSettingModel::singleFontIndex, 3},
                      RefreshCase{"font odd", 3, "00110000", &PrinterSettingModel::singleFontIndex, 0},
                      RefreshCase{"code page 36", 1, "12122122", &PrinterSettingModel::codePageIndex, 37},
                      RefreshCase{"code page pin 2 unread", 1, "10122122",
                                  &PrinterSettingModel::codePageIndex, -2}),
    test::RowName());

TEST(PrinterSettingModelTest, DoubleByteFontReadDisablesTheCodePageList)
{
    Page p;
    p.page.recordLoaded = true;
    SetPins(p.record, 7, "22122222");  // value 4
    SetPins(p.record, 1, "22211112");
    p.page.codePageIndex = 9;
    p.page.doubleFontIndex = 3;
    p.page.Refresh(true);
    EXPECT_EQ(p.page.codePageIndex, 0);
    EXPECT_FALSE(p.page.codePageEnabled);
    EXPECT_TRUE(p.page.doubleFontEnabled);
    EXPECT_EQ(p.page.doubleFontIndex, 3);  // not derived from the pins
    EXPECT_EQ(p.page.fontValueAsRead, 4);
    EXPECT_TRUE(p.page.powerSaveEnabled);
}

TEST(PrinterSettingModelTest, RefreshNeedsTheRecordLoaded)
{
    Page p;
    p.page.firmwareText = "V1";
    SetPins(p.record, 0, "12000000");
    int shown = 0;
    p.page.onShow = [&] { ++shown; };
    p.page.Refresh(true);
    p.page.Refresh(false);
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(p.page.printSpeedIndex, 0);
    EXPECT_FALSE(p.page.printSpeedEnabled);

    p.page.recordLoaded = true;
    p.page.singleFontIndex = 2;
    p.page.Refresh(false);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(p.page.firmwareText, "");
    EXPECT_EQ(p.page.printSpeedIndex, -1);
    EXPECT_EQ(p.page.codePageIndex, -1);
    EXPECT_EQ(p.page.emulationIndex, -1);
    EXPECT_EQ(p.page.singleFontIndex, 2);
}

TEST(PrinterSettingModelTest, EntranceTimeText)
{
    const std::pair<const char*, int> cases[] = {{"20", 20},  {" 6 ", 6},          {"", -1},  {"abc", -1},
                                                 {"12x", -1}, {"99999999999", -1}, {"-5", -5}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(PrinterSettingModel::ParseEntranceTime(text), value) << text;
}

}  // namespace
}  // namespace zorvik
