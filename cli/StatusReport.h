#pragma once
// A settings record in words: the eight switches pin by pin with the labels of the
// "Memory switch" page, the customer settings by the names of the "Printer Setting"
// page, and what the printer told about itself. As a table for people and as JSON.
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "settings/SettingsRecord.h"

namespace zorvik {

// What a Get Status learns beside the switches.
struct PrinterFacts {
    std::string model;
    std::string firmware;
    std::string language;
    int powerSave = -1;     // 0 disabled, 1 enabled, -1 not read
    int entranceTime = -1;  // seconds
};

// The label and option texts (no change, on, off) of one pin; entry 0..7, pin 1..8.
struct PinText {
    std::string label;
    const char* noChange;
    const char* on;
    const char* off;
};
PinText PinTextOf(int entry, int pin);

// The memory switch number of an entry (1, 2, 3, 4, 5, 6, 11, 12), and back (-1: none).
int SwitchNumberOf(int entry);
int EntryOfSwitch(int switchNumber);

// "on", "off" or "keep" for a pin state.
const char* StateWord(std::int32_t state);
// The switch as the printer reports it: eight characters, pin 8 first ("?" no state).
std::string SwitchBits(const SettingsRecord& record, int entry);

// The customer settings by name; kUnknownValue when a pin was not read.
struct CustomerSettings {
    std::string printSpeed;
    std::string destination;
    std::string codePage;
    std::string emulation;
    std::string singleFont;
    std::string doubleFont;
};
CustomerSettings CustomerSettingsOf(const SettingsRecord& record);

std::string StatusTable(const SettingsRecord& record, const PrinterFacts* facts);
nlohmann::json StatusJson(const SettingsRecord& record, const PrinterFacts* facts);
// The printer on one line, for a fleet: "<model> <firmware>  MSW 1 00000001  MSW 2 ...".
std::string StatusLine(const SettingsRecord& record, const PrinterFacts& facts);
// JSON as the tool prints it: indented by two, and any text that is not UTF-8 (the
// printer's own texts are plain bytes) with each bad byte replaced by U+FFFD.
std::string JsonText(const nlohmann::json& json);

struct PinChange {
    int entry;
    int pin;
    std::int32_t from;
    std::int32_t to;
};
// Pins where the target asks for a state (not "keep") that differs from before.
std::vector<PinChange> PendingChanges(const SettingsRecord& before, const SettingsRecord& target);
// Every pin whose state differs, "keep" included.
std::vector<PinChange> Differences(const SettingsRecord& a, const SettingsRecord& b);
// One line per change: "MSW 2 pin 3: off -> on   Codepage(Set in Printer Setting Tab)".
std::string ChangeLines(const std::vector<PinChange>& changes);

}  // namespace zorvik
