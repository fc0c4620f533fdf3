// Targets files of zorvik-cli: any text splits into printer names without harm, each
// name one word that is no comment, and each name either names a printer with the
// settings of its interface or is refused with a reason.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"

#include "cli/Target.h"
#include "link/PrinterLink.h"

using zorvik::fuzz::Require;

namespace {

void CheckTarget(const std::string& text)
{
    using namespace zorvik;
    const LineOptions line;
    std::string error;
    const auto target = ParseTarget(text, line, &error);
    if (!target) {
        Require(!error.empty());
        return;
    }
    Require(target->text == text);
    if (target->type == InterfaceType::Ethernet) {
        const std::string& host = target->settings.portName;
        Require(target->settings.tcpPort >= 1 && target->settings.tcpPort <= 65535);
        Require(!host.empty() && host.find_first_not_of("0123456789.") == std::string::npos);
        Require(!ClassifyPortName(text, 0));
    } else {
        Require(ClassifyPortName(text, 0) == target->type);
        Require(target->settings.portName == text && target->settings.baudRate == line.baudRate);
    }
    const std::string safe = FileSafeName(text);
    Require(safe.size() == text.size());
    Require(safe.find_first_of("/\\:\n\r\t ") == std::string::npos && safe != "." && safe != "..");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zorvik;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto names = ParseTargetList(text);
    std::size_t lines = 1;
    for (const char c : text)
        lines += c == '\n';
    Require(names.size() <= lines);
    for (const auto& name : names) {
        Require(!name.empty() && name.front() != '#');
        Require(name.find_first_of(" \t\n\r\f\v") == std::string::npos);
        Require(text.find(name) != std::string::npos);
        CheckTarget(name);
    }
    CheckTarget(text);
    return 0;
}
