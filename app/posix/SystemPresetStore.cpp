#include "app/SystemPresetStore.h"

#include "app/PresetCupsDestinations.h"
#include "app/PresetSystemStore.h"

namespace zorvik {

std::unique_ptr<const PresetStore> MakeSystemPresetStore()
{
    return std::make_unique<PresetSystemStore>(std::make_unique<PresetCupsDestinations>(),
                                               PresetSettingsFile::DefaultPath());
}

}  // namespace zorvik
