#include "settings/MemorySwitchModel.h"

namespace zorvik {

MemorySwitchModel::MemorySwitchModel()
{
    for (std::size_t i = 0; i < labels.size(); ++i)
        labels[i] = kReservedPinLabels[i];
    lists.fill(SwitchOptionList::Standard);
}

void MemorySwitchModel::Show()
{
    if (onShow)
        onShow();
}

const std::array<const char*, 3>* MemorySwitchModel::Options(int pin) const
{
    if (!listsFilled || pin < 1 || pin > kPinCount)
        return nullptr;
    return &kSwitchOptionItems[static_cast<std::size_t>(lists[static_cast<std::size_t>(pin - 1)])];
}

void MemorySwitchModel::ShowSwitch(int page, bool enabled)
{
    if (!ready)
        return;
    currentPage = page;
    for (std::size_t i = 0; i < labels.size(); ++i)
        labels[i] = kReservedPinLabels[i];
    backEnabled = enabled;
    nextEnabled = enabled;
    lists.fill(SwitchOptionList::Standard);
    listsFilled = true;
    for (int pin = 1; pin <= kPinCount; ++pin)
        selectors[static_cast<std::size_t>(pin - 1)] = record_ ? record_->Pin(0, pin) : -1;
    pinEnabled.fill(enabled);

    if (enabled && page >= 1 && page <= kPages) {
        for (const SwitchLabelRow& row : kSwitchLabelRows) {
            if (row.page != page)
                continue;
            const auto i = static_cast<std::size_t>(row.pin - 1);
            labels[i] = row.label;
            lists[i] = row.list;
            pinEnabled[i] = row.enabled;
        }
        for (int pin = 1; pin <= kPinCount; ++pin)
            selectors[static_cast<std::size_t>(pin - 1)] = record_ ? record_->Pin(page - 1, pin) : -1;
        caption = std::to_string(kSwitchNumbers[static_cast<std::size_t>(page - 1)]);
        if (page == 1)
            backEnabled = false;
        if (page == kPages)
            nextEnabled = false;
    }
    Show();
}

void MemorySwitchModel::Store(int page, int pin)
{
    if (!record_ || page < 1 || page > kSwitchCount || pin < 1 || pin > kPinCount)
        return;
    record_->Pin(page - 1, pin) = selectors[static_cast<std::size_t>(pin - 1)];
}

void MemorySwitchModel::StorePin(int pin, int index)
{
    if (pin < 1 || pin > kPinCount || index < 0 || index > 2)
        return;
    selectors[static_cast<std::size_t>(pin - 1)] = index;
    Store(currentPage, pin);
}

void MemorySwitchModel::ResetAllPins()
{
    const int onView = currentPage;
    selectors.fill(SlotOf(PinState::Off));
    for (int position = kSwitchCount; position >= 1; --position)
        for (int pin = 1; pin <= kPinCount; ++pin)
            Store(position, pin);
    // Come back to the page on view, so that labels, caption and the switch a
    // selection change is stored into agree again.
    currentPage = onView;
    if (ready)
        ShowSwitch(onView, true);
    else
        Show();
}

void MemorySwitchModel::Next()
{
    if (currentPage < kPages)
        ShowSwitch(currentPage + 1, true);
}

void MemorySwitchModel::Back()
{
    if (currentPage > 1)
        ShowSwitch(currentPage - 1, true);
}

}  // namespace zorvik
