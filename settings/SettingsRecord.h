#pragma once
// The in-memory image of the printer's memory switches: eight switches (1, 2, 3, 4,
// 5, 6, 11, 12) of eight pins each, plus the double-byte font list choice. The
// customer settings that live inside the pins are encoded through the field tables
// below, so every bit-to-pin order is written exactly once.
#include <array>
#include <cstdint>

namespace zorvik {

// The value of one pin slot. The numbers are stored in status files and sent to
// printers; a slot keeps whatever number a file brought, so slots are plain
// integers that compare with a state directly.
enum class PinState : std::int32_t {
    NoChange = 0,  // none read or chosen; sent as "2"
    On = 1,        // "1"
    Off = 2,       // "0"
};

// The number a slot holds for a state.
constexpr std::int32_t SlotOf(PinState state)
{
    return static_cast<std::int32_t>(state);
}
constexpr bool operator==(std::int32_t slot, PinState state)
{
    return slot == SlotOf(state);
}

inline constexpr int kSwitchCount = 8;  // entries in the record
inline constexpr int kPinCount = 8;     // pins per switch
inline constexpr int kSlotCount = 9;    // slot 0 spare, slots 1..8 pins 1..8

struct SwitchEntry {
    std::array<std::int32_t, kSlotCount> pins{};  // pins[n] is pin n; pins[0] is a spare

    friend bool operator==(const SwitchEntry&, const SwitchEntry&) = default;
};

struct SettingsRecord {
    std::array<SwitchEntry, kSwitchCount> entries{};
    // Double-byte font list index last chosen on the setting page (-1: no selection).
    std::int32_t fontChoice = 0;

    // Pin n (1..8) of entry e (0..7).
    std::int32_t& Pin(int entry, int pin)
    {
        return entries[static_cast<std::size_t>(entry)].pins[static_cast<std::size_t>(pin)];
    }
    std::int32_t Pin(int entry, int pin) const
    {
        return entries[static_cast<std::size_t>(entry)].pins[static_cast<std::size_t>(pin)];
    }
    // Zeroes all 72 slots (fontChoice is left alone).
    void ClearPins();

    friend bool operator==(const SettingsRecord&, const SettingsRecord&) = default;
};

// Entry positions of the switches in the record.
inline constexpr int kEntrySwitch1 = 0;
inline constexpr int kEntrySwitch2 = 1;
inline constexpr int kEntrySwitch3 = 2;
inline constexpr int kEntrySwitch4 = 3;
inline constexpr int kEntrySwitch11 = 6;
inline constexpr int kEntrySwitch12 = 7;

// A number stored in pins: bit k of the value lives on pin pinOfBit[k] of one entry.
// A set bit is state 1 (on), a clear bit state 2 (off).
struct PinField {
    int entry;
    int bits;
    std::array<int, 8> pinOfBit;
};

inline constexpr PinField kPrintSpeedField{kEntrySwitch1, 2, {1, 2}};
// The sixth code page bit (value 32) lives on pin 3, below the five low bits on pins 4..8.
inline constexpr PinField kCodePageField{kEntrySwitch2, 6, {4, 5, 6, 7, 8, 3}};
inline constexpr PinField kEmulationField{kEntrySwitch3, 3, {1, 2, 3}};
inline constexpr PinField kSingleFontField{kEntrySwitch4, 2, {3, 4}};
inline constexpr PinField kDoubleFontField{kEntrySwitch12, 8, {1, 2, 3, 4, 5, 6, 7, 8}};
// Switch 2 pin 1: on = double-byte country, off = single-byte country.
inline constexpr int kDestinationPin = 1;

// Writes value into the field's pins (each pin 1 or 2).
void EncodeField(SettingsRecord& record, const PinField& field, unsigned value);
// Sets every pin of the field to one state.
void FillField(SettingsRecord& record, const PinField& field, PinState state);
// The value whose bits are the field's pins that are on (state 1).
unsigned DecodeField(const SettingsRecord& record, const PinField& field);

// The character sent for a pin state in a switch write ("1", "0", or "2" no change).
char PinStateToWire(std::int32_t state);
// The pin state for a character received in a switch reply.
std::int32_t PinStateFromWire(std::uint8_t c);

}  // namespace zorvik
