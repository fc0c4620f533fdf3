#include "cli/StatusReport.h"

#include <cstdio>

#include "resources/CliTexts.h"
#include "resources/SettingsTexts.h"

namespace zorvik {

namespace {

bool FieldKnown(const SettingsRecord& record, const PinField& field)
{
    for (int bit = 0; bit < field.bits; ++bit) {
        const auto state = record.Pin(field.entry, field.pinOfBit[static_cast<std::size_t>(bit)]);
        if (state != PinState::On && state != PinState::Off)
            return false;
    }
    return true;
}

// The list item for a value stored in a field, where list index = value + 1.
template <std::size_t N>
std::string ListItem(const SettingsRecord& record, const PinField& field,
                     const std::array<const char*, N>& items)
{
    if (!FieldKnown(record, field))
        return kUnknownValue;
    const unsigned value = DecodeField(record, field);
    if (value + 1 < N)
        return items[value + 1];
    return "value " + std::to_string(value) + " " + kNotInList;
}

std::string DoubleFontName(const SettingsRecord& record)
{
    if (!FieldKnown(record, kDoubleFontField))
        return kUnknownValue;
    const int value = static_cast<int>(DecodeField(record, kDoubleFontField));
    if (value == 2)
        return kGb2312OrBig5;
    for (const auto& item : kDoubleFontItems)
        if (item.fontValue == value)
            return item.text;
    return "value " + std::to_string(value) + " " + kNotInList;
}

std::string Padded(std::string text, std::size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

const char* OptionText(const PinText& text, std::int32_t state)
{
    switch (state) {
    case SlotOf(PinState::On):
        return text.on;
    case SlotOf(PinState::Off):
        return text.off;
    default:
        return text.noChange;
    }
}

}  // namespace

int SwitchNumberOf(int entry)
{
    if (entry < 0 || entry >= kSwitchCount)
        return -1;
    return kSwitchNumbers[static_cast<std::size_t>(entry)];
}

int EntryOfSwitch(int switchNumber)
{
    for (int e = 0; e < kSwitchCount; ++e)
        if (kSwitchNumbers[static_cast<std::size_t>(e)] == switchNumber)
            return e;
    return -1;
}

PinText PinTextOf(int entry, int pin)
{
    const auto& standard = kSwitchOptionItems[static_cast<std::size_t>(SwitchOptionList::Standard)];
    PinText text{kReservedPinLabels[static_cast<std::size_t>(pin - 1)], standard[0], standard[1],
                 standard[2]};
    if (entry == kEntrySwitch12) {
        text.label = kSwitch12PinLabel;
        return text;
    }
    const int page = entry + 1;  // pages 1..7 show entries 0..6
    for (const auto& row : kSwitchLabelRows) {
        if (row.page == page && row.pin == pin) {
            const auto& items = kSwitchOptionItems[static_cast<std::size_t>(row.list)];
            text = {row.label, items[0], items[1], items[2]};
        }
    }
    return text;
}

const char* StateWord(std::int32_t state)
{
    switch (state) {
    case SlotOf(PinState::On):
        return "on";
    case SlotOf(PinState::Off):
        return "off";
    default:
        return "keep";
    }
}

std::string SwitchBits(const SettingsRecord& record, int entry)
{
    std::string bits;
    for (int pin = kPinCount; pin >= 1; --pin) {
        const auto state = record.Pin(entry, pin);
        bits += state == PinState::On ? '1' : state == PinState::Off ? '0' : '?';
    }
    return bits;
}

CustomerSettings CustomerSettingsOf(const SettingsRecord& record)
{
    CustomerSettings s;
    s.printSpeed = ListItem(record, kPrintSpeedField, kPrintSpeedItems);
    const auto destination = record.Pin(kEntrySwitch2, kDestinationPin);
    const auto& destinationItems =
        kSwitchOptionItems[static_cast<std::size_t>(SwitchOptionList::Destination)];
    s.destination = destination == PinState::On    ? destinationItems[1]
                    : destination == PinState::Off ? destinationItems[2]
                                                   : kUnknownValue;
    s.codePage = ListItem(record, kCodePageField, kCodePageItems);
    s.emulation = ListItem(record, kEmulationField, kEmulationItems);
    s.singleFont = ListItem(record, kSingleFontField, kSingleFontItems);
    s.doubleFont = DoubleFontName(record);
    return s;
}

std::string StatusTable(const SettingsRecord& record, const PrinterFacts* facts)
{
    std::string text;
    if (facts) {
        text += std::string(kLabelModel) + " " + facts->model + "\n";
        text += std::string(kLabelFirmware) + " " + facts->firmware + "\n";
        text += std::string(kLabelLanguage) + " " + facts->language + "\n";
        text += std::string(kGroupPowerSave) + " : ";
        if (facts->powerSave < 0)
            text += kUnknownValue;
        else
            text += std::string(facts->powerSave ? kPowerSaveEnable : kPowerSaveDisable) + ", " +
                    kLabelEntranceTime + " " + std::to_string(facts->entranceTime);
        text += "\n\n";
    }
    const CustomerSettings s = CustomerSettingsOf(record);
    text += std::string(kGroupPrintSpeed) + " : " + s.printSpeed + "\n";
    text += std::string("Destination : ") + s.destination + "\n";
    text += std::string(kGroupCodePage) + " : " + s.codePage + "\n";
    text += std::string(kGroupEmulation) + " : " + s.emulation + "\n";
    text += std::string(kGroupSingleFont) + " : " + s.singleFont + "\n";
    text += std::string(kGroupDoubleFont) + " : " + s.doubleFont + "\n";
    for (int e = 0; e < kSwitchCount; ++e) {
        text += "\nMSW " + std::to_string(SwitchNumberOf(e)) + "  " + SwitchBits(record, e) + "\n";
        for (int pin = 1; pin <= kPinCount; ++pin) {
            const auto state = record.Pin(e, pin);
            const PinText pt = PinTextOf(e, pin);
            text += "  pin " + std::to_string(pin) + "  " + Padded(StateWord(state), 5) +
                    Padded(OptionText(pt, state), 21) + pt.label + "\n";
        }
    }
    return text;
}

nlohmann::json StatusJson(const SettingsRecord& record, const PrinterFacts* facts)
{
    nlohmann::json json;
    if (facts) {
        json["model"] = facts->model;
        json["firmware"] = facts->firmware;
        json["language"] = facts->language;
        if (facts->powerSave < 0)
            json["powerSave"] = nullptr;
        else
            json["powerSave"] = {{"enabled", facts->powerSave != 0}, {"entranceTime", facts->entranceTime}};
    }
    const CustomerSettings s = CustomerSettingsOf(record);
    json["settings"] = {{"printSpeed", s.printSpeed}, {"destination", s.destination},
                        {"codePage", s.codePage},     {"emulation", s.emulation},
                        {"singleFont", s.singleFont}, {"doubleFont", s.doubleFont}};
    json["fontChoice"] = record.fontChoice;
    nlohmann::json switches = nlohmann::json::array();
    for (int e = 0; e < kSwitchCount; ++e) {
        nlohmann::json pins = nlohmann::json::array();
        for (int pin = 1; pin <= kPinCount; ++pin) {
            const PinText pt = PinTextOf(e, pin);
            const auto state = record.Pin(e, pin);
            pins.push_back({{"pin", pin},
                            {"state", StateWord(state)},
                            {"option", OptionText(pt, state)},
                            {"label", pt.label}});
        }
        switches.push_back({{"switch", SwitchNumberOf(e)}, {"bits", SwitchBits(record, e)}, {"pins", pins}});
    }
    json["switches"] = switches;
    return json;
}

std::string StatusLine(const SettingsRecord& record, const PrinterFacts& facts)
{
    std::string line = facts.model + " " + facts.firmware;
    for (int e = 0; e < kSwitchCount; ++e)
        line += "  MSW " + std::to_string(SwitchNumberOf(e)) + " " + SwitchBits(record, e);
    return line + "\n";
}

std::string JsonText(const nlohmann::json& json)
{
    return json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::vector<PinChange> PendingChanges(const SettingsRecord& before, const SettingsRecord& target)
{
    std::vector<PinChange> changes;
    for (int e = 0; e < kSwitchCount; ++e)
        for (int pin = 1; pin <= kPinCount; ++pin) {
            const auto to = target.Pin(e, pin);
            if ((to == PinState::On || to == PinState::Off) && to != before.Pin(e, pin))
                changes.push_back({e, pin, before.Pin(e, pin), to});
        }
    return changes;
}

std::vector<PinChange> Differences(const SettingsRecord& a, const SettingsRecord& b)
{
    std::vector<PinChange> changes;
    for (int e = 0; e < kSwitchCount; ++e)
        for (int pin = 1; pin <= kPinCount; ++pin)
            if (a.Pin(e, pin) != b.Pin(e, pin))
                changes.push_back({e, pin, a.Pin(e, pin), b.Pin(e, pin)});
    return changes;
}

std::string ChangeLines(const std::vector<PinChange>& changes)
{
    std::string text;
    for (const auto& c : changes) {
        char head[64];
        std::snprintf(head, sizeof head, "MSW %-2d pin %d: %-4s -> %-4s  ", SwitchNumberOf(c.entry), c.pin,
                      StateWord(c.from), StateWord(c.to));
        text += head + PinTextOf(c.entry, c.pin).label + "\n";
    }
    return text;
}

}  // namespace zorvik
