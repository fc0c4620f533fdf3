// The port map (ports.conf, ZORVIK_PORT_MAP): any text loads without harm, the lines
// skipped are counted once each and in order, and every port name then stands for an
// absolute device path or for none.
#include <cstdint>
#include <sstream>
#include <string>

#include "FuzzCheck.h"

#include "link/DeviceNames.h"

using zorvik::fuzz::Require;

namespace {

void CheckName(const zorvik::DeviceNames& names, const std::string& name)
{
    const std::string path = names.DevicePath(name);
    Require(path.empty() || path.front() == '/');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zorvik;
    const std::string text(reinterpret_cast<const char*>(data), size);
    DeviceNames names;
    const int skipped = names.LoadText(text);
    Require(skipped == static_cast<int>(names.SkippedLines().size()));

    std::istringstream in(text);
    std::string line;
    int lines = 0;
    while (std::getline(in, line)) {
        ++lines;
        CheckName(names, line.substr(0, line.find('=')));
    }
    int previous = 0;
    for (const int number : names.SkippedLines()) {
        Require(number > previous && number <= lines);
        previous = number;
    }
    for (const char* name :
         {"COM1", "COM9", "\\\\.\\COM10", "\\\\.\\COM14", "LPT1", "LPT3", "com255", "COM256"})
        CheckName(names, name);
    CheckName(names, text);
    return 0;
}
