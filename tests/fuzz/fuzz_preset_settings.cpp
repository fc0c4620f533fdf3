// The program's own preset file (an INI text): any text and any key name are read
// without harm, a value found is a piece of the text (quotes and escapes removed),
// and a number is a whole decimal of 32 bits that prints back the same.
//
// Input: the key name up to the first newline, then the file's text.
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"

#include "app/PresetSettingsFile.h"

using zorvik::fuzz::Require;

namespace {

void CheckValue(std::string_view text, std::string_view name)
{
    using namespace zorvik;
    const auto value = PresetSettingsFile::FindValue(text, name);
    if (!value)
        return;
    Require(value->size() <= text.size());
    Require(value->find('\n') == std::string::npos);
    if (const auto number = PresetSettingsFile::ParseNumber(*value)) {
        Require(value->find_first_not_of("0123456789") == std::string::npos);
        Require(PresetSettingsFile::ParseNumber(std::to_string(*number)) == number);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto newline = input.find('\n');
    const std::string_view name = input.substr(0, newline);
    const std::string_view text = newline == std::string_view::npos ? input : input.substr(newline + 1);
    CheckValue(text, name);
    for (const char* key : {"Port", "UsbdeviceName", "TcpIp", "TcpPort", "BaudRate", "DataBits",
                            "FlowControl", "Parity", "StopBits"})
        CheckValue(text, key);
    CheckValue(input, name);
    return 0;
}
