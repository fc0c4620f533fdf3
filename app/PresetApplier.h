#pragma once
// The main window's preset hook over a preset store: loads the preset the window's
// argument names and applies its list selections after each fill.
#include <memory>

#include "app/PresetStore.h"
#include "app/WindowPreset.h"

namespace zorvik {

class PresetApplier final : public WindowPreset {
public:
    // The store must outlive the applier.
    explicit PresetApplier(const PresetStore& store) : store_(store) {}
    explicit PresetApplier(std::unique_ptr<const PresetStore> store)
        : owned_(std::move(store)), store_(*owned_)
    {
    }

    // The presets of this system: the print scheduler's queues and the own settings
    // file in the system configuration folder.
    static std::unique_ptr<PresetApplier> ForThisSystem();

    void Load(MainWindowState& window) override;
    void ApplySelections(MainWindowState& window) override;

private:
    std::unique_ptr<const PresetStore> owned_;
    const PresetStore& store_;
};

}  // namespace zorvik
