#pragma once
// The main window's preset hook over a preset store: loads the preset the window's
// argument names and applies its list selections after each fill.
#include "app/PresetStore.h"
#include "app/WindowPreset.h"

namespace zorvik {

class PresetApplier final : public WindowPreset {
public:
    // The store must outlive the applier.
    explicit PresetApplier(const PresetStore& store) : store_(store) {}

    void Load(MainWindowState& window) override;
    void ApplySelections(MainWindowState& window) override;

private:
    const PresetStore& store_;
};

}  // namespace zorvik
