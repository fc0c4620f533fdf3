#pragma once
// The IEEE 1284 device ID a printer reports about itself: KEY:VALUE pairs ended by
// semicolons, such as "MFG:KARVO;MDL:LXT-640IV;CMD:ESC/POS;". The kernel's USB printer
// driver shows it, without its two length bytes, in the interface's ieee1284_id file.
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik {

// The value of the first field named by one of keys (keys and values are taken letter
// for letter, as the standard writes them); none when no such field is there.
std::optional<std::string> Ieee1284Field(std::string_view id, std::initializer_list<std::string_view> keys);

// True when the ID names this program's printer: the maker (MFG or MANUFACTURER) is
// the printer's maker and the model (MDL or MODEL) carries the model family. The udev
// rule in packaging/udev matches the same IDs.
bool Ieee1284NamesPrinter(std::string_view id);

}  // namespace zorvik
