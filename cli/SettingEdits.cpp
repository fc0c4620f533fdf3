#include "cli/SettingEdits.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "cli/StatusReport.h"
#include "resources/CliTexts.h"
#include "resources/SettingsTexts.h"

namespace zorvik {

namespace {

std::optional<int> ParseInt(const std::string& text)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

template <std::size_t N> std::vector<std::string> Items(const std::array<const char*, N>& items)
{
    return {items.begin(), items.end()};
}

}  // namespace

std::optional<PinEdit> ParsePinEdit(const std::string& text, std::string* error)
{
    auto fail = [&](const std::string& why) -> std::optional<PinEdit> {
        if (error)
            *error = "--pin " + text + ": " + why;
        return std::nullopt;
    };
    const auto dot = text.find('.');
    const auto equals = text.find('=');
    if (dot == std::string::npos || equals == std::string::npos || equals < dot)
        return fail("write MSW.PIN=on|off|keep, for example 2.3=on");
    const auto msw = ParseInt(text.substr(0, dot));
    const auto pin = ParseInt(text.substr(dot + 1, equals - dot - 1));
    const std::string word = Lower(text.substr(equals + 1));
    const int entry = msw ? EntryOfSwitch(*msw) : -1;
    if (entry < 0)
        return fail("the memory switch must be 1, 2, 3, 4, 5, 6, 11 or 12");
    if (!pin || *pin < 1 || *pin > kPinCount)
        return fail("the pin must be 1 to 8");
    std::int32_t state = 0;
    if (word == "on")
        state = SlotOf(PinState::On);
    else if (word == "off")
        state = SlotOf(PinState::Off);
    else if (word == "keep")
        state = SlotOf(PinState::NoChange);
    else
        return fail("the state must be on, off or keep");
    return PinEdit{entry, *pin, state};
}

std::optional<int> ParseListChoice(const std::string& text, const std::vector<std::string>& items)
{
    if (const auto index = ParseInt(text))
        return (*index >= 0 && *index < static_cast<int>(items.size())) ? index : std::nullopt;
    const std::string wanted = Lower(text);
    for (std::size_t i = 0; i < items.size(); ++i)
        if (Lower(items[i]) == wanted)
            return static_cast<int>(i);
    return std::nullopt;
}

std::vector<std::string> ListItems(const std::string& list)
{
    if (list == "code-page")
        return Items(kCodePageItems);
    if (list == "print-speed")
        return Items(kPrintSpeedItems);
    if (list == "emulation")
        return Items(kEmulationItems);
    if (list == "single-font")
        return Items(kSingleFontItems);
    if (list == "double-font") {
        std::vector<std::string> items;
        for (const auto& item : kDoubleFontItems)
            items.emplace_back(item.text);
        return items;
    }
    return {};
}

bool SettingEdits::Empty() const
{
    return pins.empty() && !doubleFont && !codePage && !printSpeed && !emulation && !singleFont &&
           !powerSave && !entranceTime;
}

namespace {

std::string PinEditText(const PinEdit& edit)
{
    return "--pin " + std::to_string(SwitchNumberOf(edit.entry)) + "." + std::to_string(edit.pin) + "=" +
           StateWord(edit.state);
}

bool InField(const PinField& field, int entry, int pin)
{
    return field.entry == entry && std::find(field.pinOfBit.begin(), field.pinOfBit.begin() + field.bits,
                                             pin) != field.pinOfBit.begin() + field.bits;
}

// Whether the named setting at list index `index` writes the pin, as the page's
// handler does (any entry, "No Change" included, writes its pins).
bool SettingWrites(const char* option, int index, int entry, int pin)
{
    const std::string name = option;
    if (name == "--print-speed")
        return InField(kPrintSpeedField, entry, pin);
    if (name == "--code-page")
        return InField(kCodePageField, entry, pin);
    if (name == "--emulation")
        return InField(kEmulationField, entry, pin);
    if (name == "--single-font")
        return InField(kSingleFontField, entry, pin);
    // The double-byte font: switch 12, the destination pin, and the code page for
    // "No Change" and the fonts that fix it.
    const int fontValue = index >= 0 && index < static_cast<int>(kDoubleFontItems.size())
                              ? kDoubleFontItems[static_cast<std::size_t>(index)].fontValue
                              : -1;
    return InField(kDoubleFontField, entry, pin) || (entry == kEntrySwitch2 && pin == kDestinationPin) ||
           ((fontValue == -1 || fontValue == 4) && InField(kCodePageField, entry, pin));
}

}  // namespace

std::string SettingEdits::PinConflict() const
{
    for (std::size_t i = 0; i < pins.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (pins[j].entry == pins[i].entry && pins[j].pin == pins[i].pin &&
                pins[j].state != pins[i].state)
                return PinEditText(pins[j]) + " and " + PinEditText(pins[i]) + kMsgEditsContradict;
    return {};
}

std::string SettingEdits::FoldPinsIntoSettings()
{
    if (doubleFont && *doubleFont >= 2)
        codePage.reset();
    // What the named settings write, on a record where every pin is "no change".
    SettingEdits settings = *this;
    settings.pins.clear();
    SettingsRecord written;
    settings.ApplyTo(written);
    std::vector<PinEdit> kept;
    for (const auto& edit : pins) {
        const std::int32_t state = written.Pin(edit.entry, edit.pin);
        if (edit.state == PinState::NoChange)
            continue;  // "keep" asks for nothing
        if (state == PinState::NoChange) {
            kept.push_back(edit);
        } else if (state != edit.state) {
            return PinEditText(edit) + kMsgContradictsSetting + StateWord(state);
        }
    }
    pins = std::move(kept);
    return {};
}

std::string SettingEdits::Conflict() const
{
    if (std::string conflict = PinConflict(); !conflict.empty())
        return conflict;
    const std::pair<const char*, const std::optional<int>&> named[] = {
        {"--double-font", doubleFont}, {"--code-page", codePage},     {"--print-speed", printSpeed},
        {"--emulation", emulation},    {"--single-font", singleFont},
    };
    for (const auto& edit : pins)
        for (const auto& [option, index] : named)
            if (index && SettingWrites(option, *index, edit.entry, edit.pin))
                return PinEditText(edit) + " and " + option + " " + std::to_string(*index) + kMsgBothSet +
                       std::to_string(SwitchNumberOf(edit.entry)) + " pin " + std::to_string(edit.pin) +
                       kMsgLeaveOneOut;
    // A double-byte font (and "WPC1257_KARVO") fixes the code page; the page locks its list.
    if (doubleFont && codePage && *doubleFont >= 2)
        return "the double-byte font " +
               std::string(kDoubleFontItems[static_cast<std::size_t>(*doubleFont)].text) +
               " fixes the code page; leave --code-page out";
    return {};
}

void SettingEdits::Apply(PrinterSettingModel& page, SettingsRecord& record) const
{
    if (doubleFont)
        page.SelectDoubleFont(*doubleFont);
    if (codePage)
        page.SelectCodePage(*codePage);
    if (printSpeed)
        page.SelectPrintSpeed(*printSpeed);
    if (emulation)
        page.SelectEmulation(*emulation);
    if (singleFont)
        page.SelectSingleFont(*singleFont);
    for (const auto& edit : pins)
        record.Pin(edit.entry, edit.pin) = edit.state;
}

int SettingEdits::ApplyTo(SettingsRecord& record) const
{
    PrinterSettingModel page;
    page.SetRecord(&record);
    page.Initialize();
    page.recordLoaded = true;
    page.Refresh(true);
    Apply(page, record);
    return page.doubleFontIndex;
}

}  // namespace zorvik
