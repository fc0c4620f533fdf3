#include "settings/PrinterSettingModel.h"

#include <charconv>

#include "resources/SettingsTexts.h"

namespace zorvik {
namespace {

// Index 0 "No Change" leaves the pins alone (state 0); index i stands for value i - 1.
void ApplyListChoice(SettingsRecord& record, const PinField& field, int index, int items)
{
    if (index >= 1 && index < items)
        EncodeField(record, field, static_cast<unsigned>(index - 1));
    else
        FillField(record, field, PinState::NoChange);
}

}  // namespace

PrinterSettingModel::PrinterSettingModel()
{
    savedFontPins.fill(SlotOf(PinState::Off));
}

void PrinterSettingModel::Initialize()
{
    codePageIndex = 0;
    doubleFontIndex = 0;
    recordLoaded = false;
    EnablePowerSaveControls(false);
    Show();
}

void PrinterSettingModel::Collect()
{
    if (onCollect)
        onCollect();
}

void PrinterSettingModel::Show()
{
    if (onShow)
        onShow();
}

void PrinterSettingModel::SelectCodePage(int index)
{
    codePageIndex = index;
    OnCodePageChanged();
}

void PrinterSettingModel::SelectPrintSpeed(int index)
{
    printSpeedIndex = index;
    OnPrintSpeedChanged();
}

void PrinterSettingModel::SelectEmulation(int index)
{
    emulationIndex = index;
    OnEmulationChanged();
}

void PrinterSettingModel::SelectSingleFont(int index)
{
    singleFontIndex = index;
    OnSingleFontChanged();
}

void PrinterSettingModel::SelectDoubleFont(int index)
{
    doubleFontIndex = index;
    OnDoubleFontChanged();
}

void PrinterSettingModel::OnCodePageChanged()
{
    Collect();
    if (!record_)
        return;
    if (codePageIndex == 0 || codePageIndex < 0) {
        FillField(*record_, kCodePageField, PinState::NoChange);
    } else {
        // Values above the list still keep their low six bits, as the pins can hold no more.
        EncodeField(*record_, kCodePageField, static_cast<unsigned>(codePageIndex - 1));
    }
    Show();
}

void PrinterSettingModel::OnPrintSpeedChanged()
{
    Collect();
    if (record_)
        ApplyListChoice(*record_, kPrintSpeedField, printSpeedIndex,
                        static_cast<int>(kPrintSpeedItems.size()));
}

void PrinterSettingModel::OnEmulationChanged()
{
    Collect();
    if (record_)
        ApplyListChoice(*record_, kEmulationField, emulationIndex, static_cast<int>(kEmulationItems.size()));
}

void PrinterSettingModel::OnSingleFontChanged()
{
    Collect();
    if (record_)
        ApplyListChoice(*record_, kSingleFontField, singleFontIndex,
                        static_cast<int>(kSingleFontItems.size()));
}

void PrinterSettingModel::OnDoubleFontChanged()
{
    Collect();
    if (!record_)
        return;
    SettingsRecord& r = *record_;
    fontValue = -1;
    FillField(r, kDoubleFontField, PinState::Off);
    r.fontChoice = -1;

    if (doubleFontIndex >= 0 && doubleFontIndex < static_cast<int>(kDoubleFontItems.size()))
        fontValue = kDoubleFontItems[static_cast<std::size_t>(doubleFontIndex)].fontValue;
    r.fontChoice = doubleFontIndex;  // the index itself, -1 when nothing is selected

    if (fontValue == -1) {
        for (int pin = 1; pin <= kPinCount; ++pin)
            r.Pin(kEntrySwitch12, pin) = savedFontPins[static_cast<std::size_t>(pin - 1)];
    } else {
        for (int k = 0; k < kDoubleFontField.bits; ++k)
            if ((fontValue >> k) & 1)
                r.Pin(kEntrySwitch12, kDoubleFontField.pinOfBit[static_cast<std::size_t>(k)]) =
                    SlotOf(PinState::On);
    }

    switch (fontValue) {
    case 0:
        r.Pin(kEntrySwitch2, kDestinationPin) = SlotOf(PinState::NoChange);
        codePageEnabled = true;
        break;
    case -1:
        r.Pin(kEntrySwitch2, kDestinationPin) = SlotOf(PinState::Off);
        FillField(r, kCodePageField, PinState::Off);
        codePageEnabled = true;
        break;
    case 4:
        r.Pin(kEntrySwitch2, kDestinationPin) = SlotOf(PinState::Off);
        EncodeField(r, kCodePageField, 15);  // "WPC1257 (Baltic)"
        codePageIndex = 16;
        codePageEnabled = false;
        break;
    default:  // 1, 2, 3: a double-byte country; the code page pins stay
        r.Pin(kEntrySwitch2, kDestinationPin) = SlotOf(PinState::On);
        codePageIndex = 0;
        codePageEnabled = false;
        break;
    }
    Show();
}

void PrinterSettingModel::Refresh(bool enabled)
{
    if (!recordLoaded || !record_)
        return;
    if (!enabled) {
        firmwareText.clear();
        modelText.clear();
        languageText.clear();
        codePageIndex = -1;
        printSpeedIndex = -1;
        emulationIndex = -1;
        Show();
        return;
    }
    const SettingsRecord& r = *record_;

    // Print speed, from pins 1 to 3 of switch 1.
    if (r.Pin(kEntrySwitch1, 1) == PinState::Off && r.Pin(kEntrySwitch1, 2) == PinState::Off &&
        r.Pin(kEntrySwitch1, 3) == PinState::Off) {
        printSpeedIndex = 1;
    } else {
        const int v = (r.Pin(kEntrySwitch1, 1) == PinState::On) +
                      2 * (r.Pin(kEntrySwitch1, 2) == PinState::On) +
                      4 * (r.Pin(kEntrySwitch1, 3) == PinState::On);
        if (v != 0)
            printSpeedIndex = v + 1;
    }
    printSpeedEnabled = true;

    // Single-byte font, from pins 3 and 4 of switch 4.
    const int p3 = r.Pin(kEntrySwitch4, 3);
    const int p4 = r.Pin(kEntrySwitch4, 4);
    if (p3 == PinState::Off && p4 == PinState::Off)
        singleFontIndex = 1;
    else if (p3 == PinState::On && p4 == PinState::Off)
        singleFontIndex = 2;
    else if (p3 == PinState::Off && p4 == PinState::On)
        singleFontIndex = 3;
    else
        singleFontIndex = 0;
    singleFontEnabled = true;

    // Double-byte font: remember switch 12 as read; the list keeps its own index.
    for (int pin = 1; pin <= kPinCount; ++pin)
        savedFontPins[static_cast<std::size_t>(pin - 1)] = r.Pin(kEntrySwitch12, pin);
    const int d = static_cast<int>(DecodeField(r, kDoubleFontField));
    fontValue = d;
    fontValueAsRead = d;

    bool codePageOn = true;
    if (d >= 1 && d <= 4) {
        codePageIndex = 0;
        codePageOn = false;
    } else {
        const int c = static_cast<int>(DecodeField(r, kCodePageField));
        codePageValue = c;
        if (r.Pin(kEntrySwitch2, 2) != PinState::NoChange)
            codePageIndex = c + 1;
    }
    doubleFontEnabled = true;
    codePageEnabled = codePageOn;

    // Emulation, from pins 1 to 3 of switch 3.
    const int e1 = r.Pin(kEntrySwitch3, 1);
    const int e2 = r.Pin(kEntrySwitch3, 2);
    const int e3 = r.Pin(kEntrySwitch3, 3);
    if (e1 == PinState::Off && e2 == PinState::Off && e3 == PinState::Off)
        emulationIndex = 1;
    else if (e1 == PinState::On)
        emulationIndex = e2 == PinState::On ? 4 : 2;
    else if (e2 == PinState::On)
        emulationIndex = 3;
    else if (e3 == PinState::On)
        emulationIndex = 5;
    else
        emulationIndex = 1;
    emulationEnabled = true;

    EnablePowerSaveControls(true);
    Show();
}

void PrinterSettingModel::SetPowerSave(int value)
{
    powerSave = static_cast<int>(static_cast<std::uint8_t>(value));
    Show();
}

int PrinterSettingModel::GetPowerSave()
{
    Collect();
    return powerSave;
}

void PrinterSettingModel::SetEntranceTime(int value)
{
    entranceTime = value;
    Show();
}

int PrinterSettingModel::GetEntranceTime()
{
    Collect();
    return entranceTime;
}

void PrinterSettingModel::EnablePowerSaveControls(bool enabled)
{
    powerSaveEnabled = enabled;
    entranceTimeEnabled = enabled;
}

void PrinterSettingModel::EnableAll(bool enabled)
{
    codePageEnabled = enabled;
    printSpeedEnabled = enabled;
    emulationEnabled = enabled;
    singleFontEnabled = enabled;
    doubleFontEnabled = enabled;
    EnablePowerSaveControls(enabled);
}

int PrinterSettingModel::ParseEntranceTime(const std::string& text)
{
    std::size_t b = text.find_first_not_of(" \t");
    std::size_t e = text.find_last_not_of(" \t");
    if (b == std::string::npos)
        return -1;
    int value = 0;
    const char* first = text.data() + b;
    const char* last = text.data() + e + 1;
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last)
        return -1;
    return value;
}

}  // namespace zorvik
