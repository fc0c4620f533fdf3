// Customer settings named from the pins, and the change lists of a set.
#include <gtest/gtest.h>

#include "cli/StatusReport.h"
#include "resources/CliTexts.h"
#include "support/RowName.h"

namespace zorvik {
namespace {

struct SettingRow {
    const char* name;
    friend void PrintTo(const SettingRow& row, std::ostream* os) { *os << row.name; }
    void (*arrange)(SettingsRecord&);
    std::string CustomerSettings::*field;
    std::string expected;
};

SettingsRecord AllOff()
{
    SettingsRecord r;
    for (int e = 0; e < kSwitchCount; ++e)
        for (int pin = 1; pin <= kPinCount; ++pin)
            r.Pin(e, pin) = SlotOf(PinState::Off);
    return r;
}

const SettingRow kSettingRows[] = {
    {"SpeedDefault", [](SettingsRecord&) {}, &CustomerSettings::printSpeed, "Print speed 3 [Default]"},
    {"SpeedOne", [](SettingsRecord& r) { r.Pin(0, 2) = SlotOf(PinState::On); }, &CustomerSettings::printSpeed,
     "Print speed 1"},
    {"SpeedNotRead", [](SettingsRecord& r) { r.Pin(0, 1) = SlotOf(PinState::NoChange); },
     &CustomerSettings::printSpeed, kUnknownValue},
    {"SpeedOutOfList", [](SettingsRecord& r) { r.Pin(0, 1) = r.Pin(0, 2) = SlotOf(PinState::On); },
     &CustomerSettings::printSpeed, std::string("value 3 ") + kNotInList},
    {"CodePageBaltic",
     [](SettingsRecord& r) { r.Pin(1, 4) = r.Pin(1, 5) = r.Pin(1, 6) = r.Pin(1, 7) = SlotOf(PinState::On); },
     &CustomerSettings::codePage, "WPC1257 (Baltic)"},
    {"CodePageSixthBitOnPin3", [](SettingsRecord& r) { r.Pin(1, 3) = SlotOf(PinState::On); },
     &CustomerSettings::codePage, "PC852 (MSAN)"},
    {"DoubleByteCountry", [](SettingsRecord& r) { r.Pin(1, 1) = SlotOf(PinState::On); },
     &CustomerSettings::destination, "Double byte Country"},
    {"EmulationFive", [](SettingsRecord& r) { r.Pin(2, 3) = SlotOf(PinState::On); },
     &CustomerSettings::emulation, "Emulation 5"},
    {"FontC", [](SettingsRecord& r) { r.Pin(3, 4) = SlotOf(PinState::On); }, &CustomerSettings::singleFont,
     "Font C (9x24)"},
    {"SingleByteFont", [](SettingsRecord&) {}, &CustomerSettings::doubleFont, "[Single Byte Font]"},
    {"ChineseSharesValueTwo", [](SettingsRecord& r) { r.Pin(7, 2) = SlotOf(PinState::On); },
     &CustomerSettings::doubleFont, kGb2312OrBig5},
    {"Japanese", [](SettingsRecord& r) { r.Pin(7, 1) = r.Pin(7, 2) = SlotOf(PinState::On); },
     &CustomerSettings::doubleFont, "SHIFT-JIS(Japanese)"},
};

class CustomerSettingsTest : public ::testing::TestWithParam<SettingRow> {};

TEST_P(CustomerSettingsTest, NamesTheListEntry)
{
    SettingsRecord record = AllOff();
    GetParam().arrange(record);
    EXPECT_EQ(CustomerSettingsOf(record).*(GetParam().field), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Pins, CustomerSettingsTest, ::testing::ValuesIn(kSettingRows), test::RowName());

TEST(ChangesTest, KeepIsNoChangeButADifference)
{
    const SettingsRecord before = AllOff();
    SettingsRecord target = before;
    target.Pin(6, 6) = SlotOf(PinState::On);        // MSW 11 pin 6
    target.Pin(3, 1) = SlotOf(PinState::NoChange);  // keep: not written, not a change
    const auto pending = PendingChanges(before, target);
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(ChangeLines(pending), "MSW 11 pin 6: off  -> on    [PIN 6] Reserved\n");
    EXPECT_EQ(Differences(before, target).size(), 2u);
    EXPECT_EQ(PinTextOf(6, 6).on, std::string("Disable"));  // the reversed list of MSW 11 pins 6 to 8
    EXPECT_EQ(PinTextOf(7, 1).label, kSwitch12PinLabel);
    EXPECT_EQ(SwitchBits(target, 3), "0000000?");
}

}  // namespace
}  // namespace zorvik
