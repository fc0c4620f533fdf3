#pragma once
// Port presets for the main window. Started with a printer queue's name, the
// window takes its interface and communication settings from that queue, or from
// the program's own settings when the name is the product's own queue. The preset
// runs once while the window opens; its list selections are applied again after
// every list fill for serial, parallel and Ethernet while an argument is present.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/PresetSources.h"

namespace zorvik {

enum class PresetSource { None, Own, Queue };
// Own for the product's own queue name (whole, case-sensitive), Queue for any
// other non-empty argument, None without one.
PresetSource ChoosePresetSource(std::string_view argument);

// The entries of the main window's lists.
struct PresetLists {
    std::vector<std::string> port;
    std::vector<std::string> baudRate;
    std::size_t dataBitsCount = 2;
    std::size_t parityCount = 5;
    std::size_t stopBitsCount = 3;
    std::size_t flowControlCount = 3;
};

// What the window shows after the selections: no value leaves a list or the IP
// field as it is, -1 leaves a list without selection.
struct PresetSelections {
    std::optional<int> port, baudRate, dataBits, parity, stopBits, flowControl;
    std::optional<std::array<std::uint8_t, 4>> ipOctets;

    friend bool operator==(const PresetSelections&, const PresetSelections&) = default;
};

// The selections for the current interface type. Serial and parallel look up the
// lists; Ethernet splits the port name into the IP octets and moves the carried
// TCP port into tcpPort (the port name keeps only the last number's text). USB
// selects nothing.
PresetSelections ApplyPresetSelections(PortSettings& members, const PresetLists& lists);

}  // namespace zorvik
