#include "link/SetupDiInterfaceList.h"

namespace zorvik {

UsbEnumResult SetupDiInterfaceList::At(std::size_t index, UsbInterfaceEntry& entry)
{
    std::uint32_t error = 0;
    if (!calls_.EnumInterface(index, error))
        return error == kSetupDiNoMoreItems ? UsbEnumResult::NoMore : UsbEnumResult::Failed;
    auto path = calls_.DetailPath();
    if (!path)
        return UsbEnumResult::Failed;
    // The path is itself the name the device is opened by.
    entry.path = *path;
    entry.node = std::move(*path);
    return UsbEnumResult::Found;
}

}  // namespace zorvik
