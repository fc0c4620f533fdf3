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
            ((value >> k) & 1u) ? PinOn : PinOff;
}

void FillField(SettingsRecord& record, const PinField& field, std::int32_t state)
{
    for (int k = 0; k < field.bits; ++k)
        record.Pin(field.entry, field.pinOfBit[static_cast<std::size_t>(k)]) = state;
}

unsigned DecodeField(const SettingsRecord& record, const PinField& field)
{
    unsigned value = 0;
    for (int k = 0; k < field.bits; ++k)
        if (record.Pin(field.entry, field.pinOfBit[static_cast<std::size_t>(k)]) == PinOn)
            value |= 1u << k;
    return value;
}

char PinStateToWire(std::int32_t state)
{
    switch (state) {
    case PinOn:
        return '1';
    case PinOff:
        return '0';
    default:
        return '2';
    }
}

std::int32_t PinStateFromWire(std::uint8_t c)
{
    if (c == '1')
        return PinOn;
    if (c == '0')
        return PinOff;
    return PinNoChange;
}

}  // namespace zorvik
