#include "settings/SettingsRecord.h"

namespace zorvik {

void SettingsRecord::ClearPins()
{
    for (auto& entry : entries)
        entry.pins.fill(0);
}

void EncodeField(SettingsRecord& record, const PinField& field, unsigned value)
{
    for (int k = 0; k < field.bits; ++k)
        record.Pin(field.entry, field.pinOfBit[static_cast<std::size_t>(k)]) =
            SlotOf(((value >> k) & 1u) ? PinState::On : PinState::Off);
}

void FillField(SettingsRecord& record, const PinField& field, PinState state)
{
    for (int k = 0; k < field.bits; ++k)
        record.Pin(field.entry, field.pinOfBit[static_cast<std::size_t>(k)]) = SlotOf(state);
}

unsigned DecodeField(const SettingsRecord& record, const PinField& field)
{
    unsigned value = 0;
    for (int k = 0; k < field.bits; ++k)
        if (record.Pin(field.entry, field.pinOfBit[static_cast<std::size_t>(k)]) == PinState::On)
            value |= 1u << k;
    return value;
}

char PinStateToWire(std::int32_t state)
{
    switch (state) {
    case SlotOf(PinState::On):
        return '1';
    case SlotOf(PinState::Off):
        return '0';
    default:
        return '2';
    }
}

std::int32_t PinStateFromWire(std::uint8_t c)
{
    if (c == '1')
        return SlotOf(PinState::On);
    if (c == '0')
        return SlotOf(PinState::Off);
    return SlotOf(PinState::NoChange);
}

}  // namespace zorvik
