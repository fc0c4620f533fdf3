#include "app/WindowPreset.h"

#include "app/MainWindowState.h"
#include "app/Preset.h"

namespace zorvik {

std::unique_ptr<WindowPreset> WindowPreset::ForThisSystem()
{
    return std::make_unique<WindowPreset>(MakeSystemQueuePresets(), MakeOwnPresetValues());
}

void WindowPreset::Load(MainWindowState& window)
{
    if (!window.argument || !queues_ || !own_)
        return;
    auto preset = PresetFor(*window.argument, window.settings, *queues_, *own_);
    if (!preset)
        return;
    window.settings = std::move(*preset);
    window.FillLists(window.settings.interfaceType);
}

void WindowPreset::ApplySelections(MainWindowState& window)
{
    PresetLists lists;
    lists.port = window.List(MainList::Port).entries;
    lists.baudRate = window.List(MainList::BaudRate).entries;
    lists.dataBitsCount = window.List(MainList::DataBits).entries.size();
    lists.parityCount = window.List(MainList::Parity).entries.size();
    lists.stopBitsCount = window.List(MainList::StopBits).entries.size();
    lists.flowControlCount = window.List(MainList::FlowControl).entries.size();

    const PresetSelections s = ApplyPresetSelections(window.settings, lists);
    const auto select = [&window](MainList list, const std::optional<int>& index) {
        if (index)
            window.List(list).Select(*index);
    };
    select(MainList::Port, s.port);
    select(MainList::BaudRate, s.baudRate);
    select(MainList::DataBits, s.dataBits);
    select(MainList::Parity, s.parity);
    select(MainList::StopBits, s.stopBits);
    select(MainList::FlowControl, s.flowControl);
    if (s.ipOctets)
        window.ipAddress = *s.ipOctets;
}

}  // namespace zorvik
