#pragma once
// The state and handlers of the "Printer Setting" page: list indexes, texts, power
// save, enable flags. Each list choice is written into the record's pins at once;
// Refresh rebuilds the selections from the record. The widget binds to this class:
// it copies its controls into the fields when asked (onCollect) and renders the
// fields after every change (onShow).
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "settings/SettingsRecord.h"

namespace zorvik {

class PrinterSettingModel {
public:
    PrinterSettingModel();

    // The page's own initialisation: code page and double-byte indexes 0, record
    // not loaded, power-save controls disabled.
    void Initialize();

    // Binding hooks. onCollect copies the controls into the fields (read controls);
    // onShow renders the fields (show fields). Both may be empty.
    std::function<void()> onCollect;
    std::function<void()> onShow;
    void Collect();
    void Show();

    void SetRecord(SettingsRecord* record) { record_ = record; }
    SettingsRecord* Record() const { return record_; }

    // Selection-change handlers: the widget stores the new index in the field (or
    // passes it here) and the pins follow at once.
    void OnCodePageChanged();
    void OnPrintSpeedChanged();
    void OnEmulationChanged();
    void OnSingleFontChanged();
    void OnDoubleFontChanged();
    void SelectCodePage(int index);
    void SelectPrintSpeed(int index);
    void SelectEmulation(int index);
    void SelectSingleFont(int index);
    void SelectDoubleFont(int index);

    // Rebuilds the selections from the record; does nothing while the record is not
    // loaded. With enabled false it empties the texts and clears three selections.
    void Refresh(bool enabled);

    // Power save: the setters show the fields, the getters collect first.
    void SetPowerSave(int value);  // low byte of value
    int GetPowerSave();
    void SetEntranceTime(int value);
    int GetEntranceTime();
    void EnablePowerSaveControls(bool enabled);
    // Every list, the power-save choice and the entrance-time field at once.
    void EnableAll(bool enabled);

    // The fields, in the page's order. Indexes are list indexes; -1 no selection.
    bool recordLoaded = false;                    // the record holds what a read or a file gave
    std::array<std::int32_t, 8> savedFontPins{};  // switch 12 pins 1..8 at the last refresh
    int fontValue = -1;
    int fontValueAsRead = -1;
    int codePageValue = -1;
    std::string firmwareText;
    std::string modelText;
    int codePageIndex = 0;
    std::string languageText;
    int printSpeedIndex = 0;
    int emulationIndex = 0;
    int singleFontIndex = 0;
    int doubleFontIndex = -1;
    int entranceTime = 0;
    int powerSave = -1;  // 0 "Disable", 1 "Enable", -1 no button chosen

    // Enable states of the controls.
    bool codePageEnabled = false;
    bool printSpeedEnabled = false;
    bool emulationEnabled = false;
    bool singleFontEnabled = false;
    bool doubleFontEnabled = false;
    bool powerSaveEnabled = false;     // both radio buttons
    bool entranceTimeEnabled = false;  // field 1035

    // Entrance-time text as typed: the number, or -1 when it is not a number that
    // fits (which Set Status then refuses).
    static int ParseEntranceTime(const std::string& text);

private:
    SettingsRecord* record_ = nullptr;
};

}  // namespace zorvik
