#include <algorithm>
#include <set>
#include <sstream>

#include "cli/CliCommand.h"
#include "link/DeviceNames.h"
#include "link/SystemDevices.h"
#include "link/UsbDiscovery.h"
#include "resources/CliTexts.h"
#include "resources/MainTexts.h"

namespace zorvik {

namespace {

std::string Row(const std::string& name, const std::string& device, bool present)
{
    std::string line = "  " + name;
    line.append(line.size() < 16 ? 16 - line.size() : 1, ' ');
    line += device.empty() ? "-" : device;
    if (present)
        line += "  (present)";
    return line + "\n";
}

class PortsCommand final : public CliCommand {
public:
    CLI::App* Add(CLI::App& app) override
    {
        return app.add_subcommand(
            "ports", "The serial, parallel and USB ports, with the names the windows use and the "
                     "device files behind them (ZORVIK_PORT_MAP or ~/.config/zorvik/ports.conf "
                     "maps names to devices)");
    }

    int Run(CliContext& context) override
    {
        const DeviceNames names = DeviceNames::FromEnvironment();
        if (!names.LoadProblem().empty())
            context.console.Err(names.LoadProblem() + "\n");
        std::string text;

        const auto serial = ListSerialDevices(context.env.sysfsRoot);
        std::set<std::string> shown;
        text += std::string(kInterfaceNames[CodeNumber(InterfaceType::Serial)]) + "\n";
        for (const char* name : kSerialPortNames) {
            const std::string device = names.DevicePath(name);
            shown.insert(device);
            text += Row(name, device, std::find(serial.begin(), serial.end(), device) != serial.end());
        }
        for (const auto& device : serial)
            if (!shown.count(device))
                text += Row(device, device, true);

        const auto parallel = ListParallelDevices(context.env.sysfsRoot);
        text += std::string(kInterfaceNames[CodeNumber(InterfaceType::Parallel)]) + "\n";
        for (const char* name : kParallelPortNames) {
            const std::string device = names.DevicePath(name);
            text += Row(name, device, std::find(parallel.begin(), parallel.end(), device) != parallel.end());
        }

        // Discovery writes its own diagnostic lines; they go to standard error.
        std::ostringstream diagnostics;
        const auto usb = DiscoverUsbPrinters(context.env.usb, diagnostics);
        context.console.Err(diagnostics.str());
        text += std::string(kInterfaceNames[CodeNumber(InterfaceType::Usb)]) + "\n";
        for (const auto& entry : usb)
            text += "  " + entry + "\n";
        if (usb.empty())
            text += "  (none)\n";
        context.console.Out(text);
        return kExitOk;
    }
};

}  // namespace

std::unique_ptr<CliCommand> MakePortsCommand()
{
    return std::make_unique<PortsCommand>();
}

}  // namespace zorvik
