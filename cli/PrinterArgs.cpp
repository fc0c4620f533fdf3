#include <algorithm>
#include <map>
#include <sstream>

#include "app/PresetSources.h"
#include "base/BoundedFile.h"
#include "cli/CliCommand.h"
#include "resources/CliTexts.h"

namespace zorvik {

namespace {

// The text a preset's port is named by on the command line: the port name, or an
// address with its TCP port, which the preset carries in the baud rate.
std::string PresetPortText(const PortSettings& preset)
{
    if (preset.interfaceType == InterfaceType::Ethernet)
        return preset.portName + ":" + std::to_string(preset.baudRate);
    return preset.portName;
}

}  // namespace

void PrinterArgs::AddTo(CLI::App* command)
{
    // One printer per -p, so a value that follows (the hex text of "send") is not
    // taken for a second printer.
    command
        ->add_option("-p,--port", ports,
                     "Printer to use; repeat for several at once. COM1, \\\\.\\COM10, /dev/ttyUSB0, LPT1, "
                     "LXT-640IV:<path> (see \"ports\"), or IPv4[:TCP port]")
        ->allow_extra_args(false);
    command->add_option("--targets", targetsFile,
                        "File listing printers, one per line ('#' starts a comment)");
    command->add_option("-j,--jobs", jobs, "Printers served at once when there are several")
        ->check(CLI::Range(1, Fleet::kMaxJobs))
        ->capture_default_str();
    lineOptions.push_back(command->add_option("--baud", line.baudRate, "Serial baud rate")
                              ->check(CLI::IsMember({2400, 4800, 9600, 19200, 38400, 57600, 115200}))
                              ->capture_default_str());
    lineOptions.push_back(command->add_option("--data-bits", line.dataBits, "Serial data bits")
                              ->check(CLI::IsMember({7, 8}))
                              ->capture_default_str());
    lineOptions.push_back(command->add_option("--parity", parity, "Serial parity")
                              ->check(CLI::IsMember({"none", "odd", "even", "mark", "space"}))
                              ->capture_default_str());
    lineOptions.push_back(command->add_option("--stop-bits", stopBits, "Serial stop bits")
                              ->check(CLI::IsMember({"1", "1.5", "2"}))
                              ->capture_default_str());
    lineOptions.push_back(command->add_option("--flow", flow, "Serial flow control")
                              ->check(CLI::IsMember({"hardware", "xon", "none"}))
                              ->capture_default_str());
    command->add_option("--tcp-port", line.tcpPort, "TCP port for addresses given without one")
        ->check(CLI::Range(1, 65535))
        ->capture_default_str();
    command->add_flag("--trace", trace,
                      "Print every write and read in hex with a millisecond timestamp on stderr");
}

Target PrinterArgs::QueueTarget(const CliContext& context, const LineOptions& given) const
{
    const std::string& queue = *context.queue;
    const auto queues =
        context.env.makeQueuePresets ? context.env.makeQueuePresets() : MakeSystemQueuePresets();
    const auto own =
        context.env.makeOwnPresetValues ? context.env.makeOwnPresetValues() : MakeOwnPresetValues();
    const PortSettings base{.baudRate = given.baudRate,
                            .dataBits = given.dataBits,
                            .stopBits = given.stopBits,
                            .parity = given.parity,
                            .flowControl = given.flowControl,
                            .tcpPort = given.tcpPort};
    const auto preset = PresetFor(queue, base, *queues, *own);
    if (!preset)
        throw UsageError{"--queue " + queue + ": " + kMsgQueueNoPort};
    // The queue's line settings, except where a line option was given.
    const auto wins = [this](std::size_t option) { return lineOptions.at(option)->count() > 0; };
    LineOptions line = given;
    line.baudRate = wins(0) ? given.baudRate : preset->baudRate;
    line.dataBits = wins(1) ? given.dataBits : preset->dataBits;
    line.parity = wins(2) ? given.parity : preset->parity;
    line.stopBits = wins(3) ? given.stopBits : preset->stopBits;
    line.flowControl = wins(4) ? given.flowControl : preset->flowControl;
    std::string error;
    auto target = ParseTarget(PresetPortText(*preset), line, &error);
    if (!target)
        throw UsageError{"--queue " + queue + ": " + error};
    return *target;
}

std::vector<Target> PrinterArgs::Targets(const CliContext& context) const
{
    LineOptions settings = line;
    const std::vector<std::string> parities = {"none", "odd", "even", "mark", "space"};
    settings.parity =
        CodeFromNumber<Parity>(std::find(parities.begin(), parities.end(), parity) - parities.begin());
    settings.stopBits = stopBits == "1"     ? StopBits::One
                        : stopBits == "1.5" ? StopBits::OneAndHalf
                                            : StopBits::Two;
    settings.flowControl = flow == "hardware" ? FlowControl::Hardware
                           : flow == "xon"    ? FlowControl::XonXoff
                                              : FlowControl::None;

    std::vector<std::string> names = ports;
    if (!targetsFile.empty()) {
        const FileRead read = ReadBoundedFile(targetsFile, kMaxTargetsFileBytes);
        if (!read.Ok())
            throw UsageError{"--targets: " + FileReadMessage(read, targetsFile)};
        const auto listed = ParseTargetList(std::string(read.bytes.begin(), read.bytes.end()));
        names.insert(names.end(), listed.begin(), listed.end());
    }
    if (names.empty() && !context.queue)
        throw UsageError{"name a printer with --port, --targets or --queue"};
    std::vector<Target> targets;
    if (names.empty())
        targets.push_back(QueueTarget(context, settings));
    std::map<std::string, std::string> seen;  // printer key -> the name first given
    for (const auto& name : names) {
        std::string error;
        const auto target = ParseTarget(name, settings, &error);
        if (!target)
            throw UsageError{error};
        const auto [first, added] = seen.emplace(PrinterKey(*target), name);
        if (!added)
            throw UsageError{"\"" + first->second + "\" and \"" + name + "\" " + kMsgSamePrinter};
        targets.push_back(*target);
    }
    const bool lineGiven = std::any_of(lineOptions.begin(), lineOptions.end(),
                                       [](const CLI::Option* o) { return o->count() > 0; });
    const bool anySerial = std::any_of(targets.begin(), targets.end(),
                                       [](const Target& t) { return t.type == InterfaceType::Serial; });
    if (lineGiven && !anySerial)
        throw UsageError{"the serial line settings apply to serial printers only"};
    return targets;
}

int PrinterArgs::Run(CliContext& context, const PrinterAction& action, FleetOutput output) const
{
    const auto targets = Targets(context);
    Fleet fleet(context.env, context.console, trace, jobs, output);
    return fleet.Run(targets, action) ? kExitOk : kExitFailed;
}

}  // namespace zorvik
