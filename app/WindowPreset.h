#pragma once
// Presets of the main window from the system's printer configuration, chosen by the
// command-line argument. The window calls Load once while it opens and
// ApplySelections after every list fill for serial, parallel and Ethernet while an
// argument is present.
#include <memory>

#include "app/PresetSources.h"

namespace zorvik {

class MainWindowState;

class WindowPreset {
public:
    // Sources that are missing give no presets.
    WindowPreset(std::unique_ptr<const QueuePresets> queues, std::unique_ptr<const OwnPresetValues> own)
        : queues_(std::move(queues)), own_(std::move(own))
    {
    }
    virtual ~WindowPreset() = default;

    // The presets of this system (MakeSystemQueuePresets, MakeOwnPresetValues).
    static std::unique_ptr<WindowPreset> ForThisSystem();

    // Reads the preset into the window's settings and fills the lists for the interface
    // type it found; without one nothing changes.
    virtual void Load(MainWindowState& window);
    virtual void ApplySelections(MainWindowState& window);

private:
    std::unique_ptr<const QueuePresets> queues_;
    std::unique_ptr<const OwnPresetValues> own_;
};

}  // namespace zorvik
