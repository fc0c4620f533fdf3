#include "app/PresetApplier.h"

#include "app/MainWindowState.h"
#include "app/Preset.h"
#include "app/SystemPresetStore.h"

namespace zorvik {

namespace {

// The members a preset reads and writes, from the window to the preset's copy and back.
template <typename From, typename To> void CopyMembers(const From& from, To& to)
{
    to.interfaceType = from.interfaceType;
    to.portName = from.portName;
    to.baudRate = from.baudRate;
    to.dataBits = from.dataBits;
    to.parity = from.parity;
    to.stopBits = from.stopBits;
    to.flowControl = from.flowControl;
    to.tcpPort = from.tcpPort;
}

PresetMembers MembersOf(const MainWindowState& window)
{
    PresetMembers m;
    CopyMembers(window, m);
    return m;
}

}  // namespace

std::unique_ptr<PresetApplier> PresetApplier::ForThisSystem()
{
    return std::make_unique<PresetApplier>(MakeSystemPresetStore());
}

void PresetApplier::Load(MainWindowState& window)
{
    if (!window.argument)
        return;
    PresetMembers m = MembersOf(window);
    if (!RunPreset(store_, *window.argument, m))
        return;
    CopyMembers(m, window);
    window.FillLists(m.interfaceType);
}

void PresetApplier::ApplySelections(MainWindowState& window)
{
    PresetMembers m = MembersOf(window);
    PresetLists lists;
    lists.port = window.List(MainList::Port).entries;
    lists.baudRate = window.List(MainList::BaudRate).entries;
    lists.dataBitsCount = window.List(MainList::DataBits).entries.size();
    lists.parityCount = window.List(MainList::Parity).entries.size();
    lists.stopBitsCount = window.List(MainList::StopBits).entries.size();
    lists.flowControlCount = window.List(MainList::FlowControl).entries.size();

    const PresetSelections s = ApplyPresetSelections(m, lists);
    CopyMembers(m, window);
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
