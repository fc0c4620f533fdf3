#pragma once
// The state and handlers of the "Memory switch" page: one switch at a time as eight
// pin rows (label, option list, selector), paged with Back and Next over MSW 1, 2,
// 3, 4, 5, 6 and 11. A selector's index is the pin state itself. The widget renders
// the fields after every change (onShow) and reports selection changes to StorePin.
#include <array>
#include <functional>
#include <string>

#include "resources/SettingsTexts.h"
#include "settings/SettingsRecord.h"

namespace zorvik {

class MemorySwitchModel {
public:
    static constexpr int kPages = 7;

    MemorySwitchModel();

    // Renders the fields; may be empty.
    std::function<void()> onShow;
    void Show();

    void SetRecord(SettingsRecord* record) { record_ = record; }
    bool ready = false;

    // Rebuilds the page for a page number 1..7 from the record. Does nothing while
    // not ready. With enabled false: generic labels, the pins of MSW 1, all disabled.
    void ShowSwitch(int page, bool enabled);
    // A selection change in pin k's list (1..8): stores index as that pin's state
    // in the entry of the current page.
    void StorePin(int pin, int index);
    // Every pin of all eight switches, MSW 12 included, to 2 (off); the page then
    // shows the page that was on view again.
    void ResetAllPins();
    void Next();
    void Back();

    // The texts of pin k's list (1..8); empty while the lists are empty.
    const std::array<const char*, 3>* Options(int pin) const;

    // Page state, read by the widget.
    int currentPage = 1;
    std::array<int, 8> selectors{-1, -1, -1, -1, -1, -1, -1, -1};
    std::string caption = "1";
    std::array<std::string, 8> labels;
    std::array<SwitchOptionList, 8> lists{};
    bool listsFilled = false;  // false until the first ShowSwitch: lists empty
    std::array<bool, 8> pinEnabled{};
    bool backEnabled = false;
    bool nextEnabled = false;

private:
    void Store(int page, int pin);
    SettingsRecord* record_ = nullptr;
};

}  // namespace zorvik
