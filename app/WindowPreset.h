#pragma once
// Presets of the main window from the system's printer configuration, chosen by the
// command-line argument. The window calls Load once while it opens and
// ApplySelections after every list fill for serial, parallel and Ethernet while an
// argument is present.
namespace zorvik {

class MainWindowState;

class WindowPreset {
public:
    virtual ~WindowPreset() = default;
    // Reads the preset into the window's members (key path already set) and fills
    // the lists for the interface type it found.
    virtual void Load(MainWindowState& window) = 0;
    virtual void ApplySelections(MainWindowState& window) = 0;
};

}  // namespace zorvik
