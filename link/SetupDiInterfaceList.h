#pragma once
// The USB interface list of Windows seen through the three calls discovery makes on
// it: enumerate the interface at an index, read its device path, and probe the path
// with a shared open. The calls sit behind SetupDiCalls so the walk over them is
// tested with a fake enumeration.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "link/UsbDiscovery.h"

namespace zorvik {

// ERROR_NO_MORE_ITEMS: the enumeration is past its last interface.
inline constexpr std::uint32_t kSetupDiNoMoreItems = 259;

class SetupDiCalls {
public:
    virtual ~SetupDiCalls() = default;
    // SetupDiEnumDeviceInterfaces at index; on failure `error` holds the system's code.
    virtual bool EnumInterface(std::size_t index, std::uint32_t& error) = 0;
    // SetupDiGetDeviceInterfaceDetailA for the interface enumerated last: its device
    // path, no value when the detail cannot be had.
    virtual std::optional<std::string> DetailPath() = 0;
    // CreateFileA shared for reading and writing, closed again at once.
    virtual bool OpenShared(const std::string& path) = 0;
};

class SetupDiInterfaceList final : public UsbInterfaceList {
public:
    explicit SetupDiInterfaceList(SetupDiCalls& calls) : calls_(calls) {}
    UsbEnumResult At(std::size_t index, UsbInterfaceEntry& entry) override;
    bool Probe(const UsbInterfaceEntry& entry) override { return calls_.OpenShared(entry.path); }

private:
    SetupDiCalls& calls_;
};

}  // namespace zorvik
