#pragma once
// The presets of this system: the print scheduler's queues and the own settings file
// on Linux, the printer registry on Windows.
#include <memory>

#include "app/PresetStore.h"

namespace zorvik {

std::unique_ptr<const PresetStore> MakeSystemPresetStore();

}  // namespace zorvik
