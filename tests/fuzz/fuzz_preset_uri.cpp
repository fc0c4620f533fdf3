// Device URIs and settings text of the port presets: any text is read without harm,
// a URI either names an interface with settings the window can show or names none,
// and the line settings made from a serial URI read back as valid codes.
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"

#include "app/PresetDeviceUri.h"
#include "app/PresetParsers.h"
#include "app/PresetSettingsFile.h"

using zorvik::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zorvik;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const PresetQueue queue = PresetQueueFromDeviceUri(text);
    switch (ClassifyQueuePort(queue.port)) {
    case PresetPortKind::Serial: {
        Require(queue.lineSettings.has_value() &&
                (queue.port.back() == ':' ||
                 (queue.port.starts_with("/dev/") && queue.port.find("/../") == std::string::npos)));
        PortSettings line{.baudRate = 9600, .dataBits = 8};
        ParseSerialLineSettings(*queue.lineSettings, line);
        Require(line.baudRate != 0);
        Require(line.dataBits == 7 || line.dataBits == 8);
        Require(CodeNumber(line.parity) >= 0 && CodeNumber(line.parity) <= 4);
        Require(CodeNumber(line.stopBits) >= 0 && CodeNumber(line.stopBits) <= 2);
        Require(CodeNumber(line.flowControl) >= 0 && CodeNumber(line.flowControl) <= 2);
        break;
    }
    case PresetPortKind::TcpIp:
        Require(queue.portNumber && *queue.portNumber >= 1 && *queue.portNumber <= 65535);
        Require(SplitDottedAddress(std::string_view(queue.port).substr(3)).octets.has_value());
        break;
    case PresetPortKind::Parallel:
    case PresetPortKind::Usb:
        Require(!queue.lineSettings && !queue.portNumber);
        break;
    case PresetPortKind::Net:
    case PresetPortKind::Other:
        Require(!queue.lineSettings && !queue.portNumber);
        break;
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
