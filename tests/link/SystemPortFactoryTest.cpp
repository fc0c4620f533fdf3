#include <gtest/gtest.h>

#include "link/NetPort.h"
#include "link/ParallelPort.h"
#include "link/SerialPort.h"
#include "link/SystemPortFactory.h"

namespace zorvik {
namespace {

TEST(SystemPortFactory, MakesTheRealPortOfEachInterface)
{
    VirtualPacer pacer;
    SilentNotifier notifier;
    const auto factory = MakeSystemPortFactory(pacer, notifier, DeviceNames{});
    EXPECT_NE(dynamic_cast<SerialPort*>(factory->Make(InterfaceType::Serial).get()), nullptr);
    EXPECT_NE(dynamic_cast<ParallelPort*>(factory->Make(InterfaceType::Parallel).get()), nullptr);
    EXPECT_NE(dynamic_cast<NetPort*>(factory->Make(InterfaceType::Ethernet).get()), nullptr);

    DeviceNames names;
    names.Set("COM1", "/dev/zorvik-no-such-line");
    PrinterLink mapped(MakeSystemPortFactory(pacer, notifier, names));
    ASSERT_EQ(mapped.CreatePort({.portName = "COM1", .baudRate = 9600, .dataBits = 8}), 1);
    EXPECT_EQ(mapped.Open(), 0);
    EXPECT_EQ(pacer.Pauses(), std::vector<std::uint32_t>{100});
}

}  // namespace
}  // namespace zorvik
