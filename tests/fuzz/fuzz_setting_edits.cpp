// Edits of zorvik-cli's "set": any text as a pin edit ("MSW.PIN=on|off|keep") is read
// as a switch and pin that exist and a pin state, or refused with a reason; any text
// as a list choice picks an entry of that list or none.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"

#include "cli/SettingEdits.h"

using zorvik::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zorvik;
    const std::string text(reinterpret_cast<const char*>(data), size);

    std::string error;
    if (const auto edit = ParsePinEdit(text, &error)) {
        Require(edit->entry >= 0 && edit->entry < kSwitchCount);
        Require(edit->pin >= 1 && edit->pin <= kPinCount);
        Require(edit->state == PinState::On || edit->state == PinState::Off ||
                edit->state == PinState::NoChange);
    } else {
        Require(!error.empty());
    }

    for (const char* list : {"code-page", "print-speed", "emulation", "single-font", "double-font"}) {
        const auto items = ListItems(list);
        Require(!items.empty());
        if (const auto choice = ParseListChoice(text, items))
            Require(*choice >= 0 && static_cast<std::size_t>(*choice) < items.size());
    }
    // Any list at all, the text among its entries.
    const std::vector<std::string> own = {"", text, "0"};
    if (const auto choice = ParseListChoice(text, own))
        Require(*choice >= 0 && *choice < 3);
    return 0;
}
