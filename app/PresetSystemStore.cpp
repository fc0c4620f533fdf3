#include "app/PresetSystemStore.h"

#include "app/PresetDeviceUri.h"

namespace zorvik {

PresetSystemStore::PresetSystemStore(std::unique_ptr<PresetDestinations> destinations,
                                     std::string ownSettingsPath)
    : destinations_(std::move(destinations)), own_(std::move(ownSettingsPath))
{
}

std::optional<PresetQueue> PresetSystemStore::FindQueue(const std::string& queue) const
{
    if (!destinations_)
        return std::nullopt;
    const auto uri = destinations_->DeviceUri(queue);
    if (!uri)
        return std::nullopt;
    return PresetQueueFromDeviceUri(*uri);
}

std::optional<std::string> PresetSystemStore::OwnText(std::string_view name) const
{
    return own_.Text(name);
}

std::optional<std::uint32_t> PresetSystemStore::OwnNumber(std::string_view name) const
{
    return own_.Number(name);
}

}  // namespace zorvik
