#pragma once
// Status files that keep all eight switches. The window's status file leaves the
// room for switches 3 to 6 as zeros and never reads it; the tool writes those
// switches there, so a rollback file restores them too. Zeros there mean "keep",
// so a file the window saved still loads with switches 3 to 6 left as they are,
// and the window loads the tool's files as it always did.
#include <cstdint>
#include <string>
#include <vector>

#include "settings/StatusFile.h"

namespace zorvik {

class FullStatusFile {
public:
    static std::vector<std::uint8_t> Encode(const SettingsRecord& record);
    // Switches 1, 2, 11, 12 and the font choice as the window reads them, then
    // switches 3 to 6 from their room (a value that is no pin state counts as keep).
    static void Decode(const std::vector<std::uint8_t>& image, SettingsRecord& record);

    static StatusFile::Result Save(const std::string& path, const SettingsRecord& record);
    // Why the file at path is no status file the tool takes: not a regular file, or
    // not exactly StatusFile::kSize bytes (the window reads a short file as zeros;
    // the tool would write those as settings). Empty when it is, or when it cannot
    // be looked at (Load tells why then).
    static std::string Refusal(const std::string& path);
    // Leaves the record untouched unless the result is Ok; a file Refusal refuses
    // is WrongFormat. Read as StatusFile::Load reads (bounded, never blocking).
    static StatusFile::Result Load(const std::string& path, SettingsRecord& record,
                                   std::string* reason = nullptr);
};

}  // namespace zorvik
