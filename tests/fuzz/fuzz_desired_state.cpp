// Desired states of "zorvik-cli set --state": any text is either refused with a reason
// or read as edits that can be written: list indexes inside their lists, pins that
// exist with a state of on or off, power save in range, no two edits of one pin that
// differ, no code page beside a double-byte font that fixes it, and pins already
// folded into the named settings (folding again changes nothing).
#include <cstdint>
#include <string>

#include "FuzzCheck.h"

#include "cli/DesiredState.h"

using zorvik::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zorvik;
    const std::string text(reinterpret_cast<const char*>(data), size);
    SettingEdits edits;
    const std::string error = ParseDesiredState(text, edits);
    if (!error.empty())
        return 0;
    const std::pair<const std::optional<int>&, const char*> lists[] = {
        {edits.codePage, "code-page"},     {edits.printSpeed, "print-speed"}, {edits.emulation, "emulation"},
        {edits.singleFont, "single-font"}, {edits.doubleFont, "double-font"},
    };
    for (const auto& [index, list] : lists)
        if (index)
            Require(*index >= 0 && static_cast<std::size_t>(*index) < ListItems(list).size());
    for (const auto& edit : edits.pins) {
        Require(edit.entry >= 0 && edit.entry < kSwitchCount);
        Require(edit.pin >= 1 && edit.pin <= kPinCount);
        Require(edit.state == PinState::On || edit.state == PinState::Off);
    }
    if (edits.powerSave)
        Require(*edits.powerSave == 0 || *edits.powerSave == 1);
    if (edits.entranceTime)
        Require(*edits.entranceTime >= 6 && *edits.entranceTime <= 255);
    Require(edits.PinConflict().empty());
    Require(!(edits.doubleFont && *edits.doubleFont >= 2 && edits.codePage));
    SettingEdits again = edits;
    Require(again.FoldPinsIntoSettings().empty());
    Require(again.pins.size() == edits.pins.size());
    SettingsRecord record;
    edits.ApplyTo(record);
    return 0;
}
