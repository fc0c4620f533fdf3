#pragma once
// Port names as the user sees them ("COM1", "\\.\COM10", "LPT1") mapped to the
// device files of this system. By default COMn is /dev/ttyS<n-1> and LPTn is
// /dev/lp<n-1>. A map file of NAME=/dev/path lines overrides any name, so a
// USB-serial adapter can stand behind "COM1" without recompiling:
//
//   # comments and blank lines are allowed
//   COM1=/dev/ttyUSB0
//   "COM2"="/dev/ttyACM0"     (quotes around either side are dropped)
//   com3=/dev/pts/4           (names are matched without regard to case)
//
// "COM10" and "\\.\COM10" are the same name. A name that is itself a path
// ("/dev/ttyUSB0") is its own device file.
#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zorvik {

class DeviceNames {
public:
    // The built-in mapping only.
    DeviceNames() = default;

    // The built-in mapping plus the user's map file: the file named by the
    // ZORVIK_PORT_MAP environment variable when it is set, otherwise
    // $XDG_CONFIG_HOME/zorvik/ports.conf (or ~/.config/zorvik/ports.conf).
    static DeviceNames FromEnvironment();
    // The same with the environment values handed in (unset: no value).
    static DeviceNames FromEnvironment(const std::optional<std::string>& portMap,
                                       const std::optional<std::string>& xdgConfigHome,
                                       const std::optional<std::string>& home);

    // A map file is read up to this size.
    static constexpr std::size_t kMaxMapFileBytes = std::size_t{1} << 20;

    // Adds the entries of a map file. Lines that are not NAME=/absolute/path are
    // skipped and counted. False when the file cannot be read (then LoadProblem()
    // says why, unless the file does not exist).
    bool LoadFile(const std::filesystem::path& file);
    // Adds the entries of map text; returns how many lines were skipped as malformed.
    int LoadText(const std::string& text);
    void Set(const std::string& name, const std::string& devicePath);

    // The device file behind a port name; empty when the name stands for none.
    std::string DevicePath(const std::string& portName) const;

    // Lines of the last loaded text that were not understood (1-based), for diagnostics.
    const std::vector<int>& SkippedLines() const { return skipped_; }
    // Why the last map file was not used, naming it; empty when it was read or is absent.
    const std::string& LoadProblem() const { return loadProblem_; }

private:
    std::map<std::string, std::string> overrides_;  // normalised name -> device file
    std::vector<int> skipped_;
    std::string loadProblem_;
};

// The device files of COMn and LPTn (n from 1) on this system: /dev/ttyS<n-1> and
// /dev/lp<n-1> on Linux; the system's own names on Windows.
std::string SerialDeviceFile(int n);
std::string ParallelDeviceFile(int n);

// The serial and parallel ports among a system's device names ("COM3", "LPT1",
// "Global", "C:", ... as Windows lists them), as SerialDeviceFile and
// ParallelDeviceFile give them, each list in natural order without repeats.
struct PortDeviceFiles {
    std::vector<std::string> serial;
    std::vector<std::string> parallel;
};
PortDeviceFiles PortsAmongDeviceNames(const std::vector<std::string>& deviceNames);

}  // namespace zorvik
