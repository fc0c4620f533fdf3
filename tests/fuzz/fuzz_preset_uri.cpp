// Device URIs and settings text of the port presets: any text is read without harm,
// a URI either names an interface with settings the window can show or names none,
// and a serial URI gives line settings of valid codes.
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"

#include "app/PresetParsers.h"
#include "app/PresetSettingsFile.h"
#include "app/PresetSources.h"
#include "link/DeviceNames.h"

using zorvik::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zorvik;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const PortSettings base{.baudRate = 9600, .dataBits = 8};
    if (const auto preset = PresetFromDeviceUri(text, base, DeviceNames())) {
        const PortSettings& line = *preset;
        switch (line.interfaceType) {
        case InterfaceType::Serial:
            Require(line.portName.starts_with("COM") ||
                    (line.portName.starts_with("/dev/") && line.portName.find("/../") == std::string::npos));
            Require(line.baudRate != 0);
            Require(line.dataBits == 7 || line.dataBits == 8);
            Require(CodeNumber(line.parity) >= 0 && CodeNumber(line.parity) <= 4);
            Require(CodeNumber(line.stopBits) >= 0 && CodeNumber(line.stopBits) <= 2);
            Require(CodeNumber(line.flowControl) >= 0 && CodeNumber(line.flowControl) <= 2);
            break;
        case InterfaceType::Ethernet:
            Require(line.baudRate >= 1 && line.baudRate <= 65535);
            Require(SplitDottedAddress(line.portName).octets.has_value());
            break;
        case InterfaceType::Parallel:
            Require(line.portName.starts_with("LPT"));
            break;
        case InterfaceType::Usb:
            Require(line.portName == "USB001");
            break;
        }
    }

    // Arbitrary text as line settings, addresses and settings files.
    PortSettings any;
    ParseSerialLineSettings(text, any);
    Require(CodeNumber(any.parity) >= 0 && CodeNumber(any.parity) <= 4 && any.dataBits >= 0 &&
            any.dataBits <= 9);
    const DottedAddress address = SplitDottedAddress(text);
    Require(address.rest.size() <= size);
    if (const auto value = PresetSettingsFile::FindValue(text, "Port"))
        Require(value->size() <= size);
    return 0;
}
