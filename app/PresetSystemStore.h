#pragma once
// The presets of this system: printer queues from a destinations source (the
// print system's, or given by hand) and the own settings from a settings file.
#include <memory>

#include "app/PresetDestinations.h"
#include "app/PresetSettingsFile.h"
#include "app/PresetStore.h"

namespace zorvik {

class PresetSystemStore final : public PresetStore {
public:
    PresetSystemStore(std::unique_ptr<PresetDestinations> destinations, std::string ownSettingsPath);

    std::optional<PresetQueue> FindQueue(const std::string& queue) const override;
    std::optional<std::string> OwnText(std::string_view name) const override;
    std::optional<std::uint32_t> OwnNumber(std::string_view name) const override;

private:
    std::unique_ptr<PresetDestinations> destinations_;
    PresetSettingsFile own_;
};

}  // namespace zorvik
