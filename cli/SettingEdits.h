#pragma once
// The changes a "set" asks for on top of what the printer holds: pin edits
// ("MSW.PIN=on|off|keep") and named settings chosen by their list entries on the
// "Printer Setting" page, applied through that page's own handlers so the pins get
// the page's encodings.
#include <optional>
#include <string>
#include <vector>

#include "settings/PrinterSettingModel.h"

namespace zorvik {

struct PinEdit {
    int entry;  // 0..7
    int pin;    // 1..8
    std::int32_t state;
};

// "2.3=on", "11.6=off", "12.1=keep". No value (and *error) when malformed.
std::optional<PinEdit> ParsePinEdit(const std::string& text, std::string* error = nullptr);

// A list entry chosen by its index or by its text (case does not matter).
std::optional<int> ParseListChoice(const std::string& text, const std::vector<std::string>& items);

// The page's lists by name: "code-page", "print-speed", "emulation", "single-font",
// "double-font"; empty for any other name.
std::vector<std::string> ListItems(const std::string& list);

struct SettingEdits {
    std::vector<PinEdit> pins;
    // List indexes on the "Printer Setting" page.
    std::optional<int> doubleFont;
    std::optional<int> codePage;
    std::optional<int> printSpeed;
    std::optional<int> emulation;
    std::optional<int> singleFont;
    std::optional<int> powerSave;     // 0 disable, 1 enable
    std::optional<int> entranceTime;  // seconds, 6..255

    bool Empty() const;
    // A reason the edits cannot go together; empty when they can.
    std::string Conflict() const;
    // Two edits of one pin that differ; empty when there are none.
    std::string PinConflict() const;
    // For a desired state that names settings and pins alike (as "get --json" prints
    // them): pin edits that agree with what the named settings write are dropped, as
    // is a code page that the named double-byte font fixes; pins the settings leave
    // alone stay and go on top; "keep" edits go. The reason when a pin contradicts a
    // setting.
    std::string FoldPinsIntoSettings();
    // Applies the named list settings through the page, then the pin edits. The page
    // must hold the record read from the printer (refreshed), so "No Change" on the
    // double-byte font puts back the font pins as read. Power save is not touched here.
    void Apply(PrinterSettingModel& page, SettingsRecord& record) const;
    // Apply on a page of its own over the record as read; the page's double-byte font
    // list index afterwards.
    int ApplyTo(SettingsRecord& record) const;
};

}  // namespace zorvik
