#pragma once
// Status files (*.sts): a raw image of the record, 73 little-endian 32-bit integers
// (292 bytes). Switches 1, 2, 11 and 12 (all nine slots) and the double-byte font
// choice are kept; the room for switches 3 to 6 is written as zeros and never read.
#include <cstdint>
#include <string>
#include <vector>

#include "settings/SettingsRecord.h"

namespace zorvik {

class StatusFile {
public:
    static constexpr std::size_t kSize = 292;
    // Longer files load as their first kSize bytes, up to this size; a larger one is refused.
    static constexpr std::size_t kReadLimit = 4096;

    enum class Result { Ok, WrongFormat, CantOpen, CantRead, CantWrite };

    static std::vector<std::uint8_t> Encode(const SettingsRecord& record);
    // Copies switches 1, 2, 11, 12 and fontChoice from the image into the record;
    // missing bytes count as zero, bytes after the 292nd are ignored.
    static void Decode(const std::vector<std::uint8_t>& image, SettingsRecord& record);

    // One slot of an image: entry e (0 to 7, switches 1 to 6, 11, 12) has nine slots
    // from byte 36 * e, each a little-endian 32-bit integer. Bytes missing from a short
    // image read as zero.
    static void PutSlot(std::vector<std::uint8_t>& image, int entry, int slot, std::int32_t value);
    static std::int32_t GetSlot(const std::vector<std::uint8_t>& image, int entry, int slot);

    // True when the last three characters are exactly "sts".
    static bool HasStatusExtension(const std::string& path);

    // Writes to a temporary name and renames it into place.
    static Result Save(const std::string& path, const SettingsRecord& record);
    // Leaves the record untouched unless the result is Ok; *reason (if given) says why
    // the file could not be opened or read.
    static Result Load(const std::string& path, SettingsRecord& record, std::string* reason = nullptr);
    // The bytes of a status file, checked by name and read within kReadLimit; Load's
    // results and reasons.
    static Result ReadImage(const std::string& path, std::vector<std::uint8_t>& image,
                            std::string* reason = nullptr);

    // The message for a failed result, naming the file and the reason when there is one;
    // empty for Ok.
    static std::string Message(Result result, const std::string& path, const std::string& reason = {});
};

}  // namespace zorvik
