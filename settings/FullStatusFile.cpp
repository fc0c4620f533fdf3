#include "settings/FullStatusFile.h"

#include <filesystem>

#include "base/AtomicFile.h"
#include "resources/SettingsTexts.h"

namespace zorvik {

namespace {

// Switches 3 to 6, whose room the window leaves as zeros.
constexpr int kFirstRoomEntry = 2;
constexpr int kLastRoomEntry = 5;

}  // namespace

std::vector<std::uint8_t> FullStatusFile::Encode(const SettingsRecord& record)
{
    std::vector<std::uint8_t> image = StatusFile::Encode(record);
    for (int e = kFirstRoomEntry; e <= kLastRoomEntry; ++e)
        for (int s = 0; s < kSlotCount; ++s)
            StatusFile::PutSlot(image, e, s, record.Pin(e, s));
    return image;
}

void FullStatusFile::Decode(const std::vector<std::uint8_t>& image, SettingsRecord& record)
{
    StatusFile::Decode(image, record);
    for (int e = kFirstRoomEntry; e <= kLastRoomEntry; ++e)
        for (int s = 0; s < kSlotCount; ++s) {
            auto value = StatusFile::GetSlot(image, e, s);
            if (s > 0 && value != PinState::On && value != PinState::Off)
                value = SlotOf(PinState::NoChange);
            record.Pin(e, s) = value;
        }
}

StatusFile::Result FullStatusFile::Save(const std::string& path, const SettingsRecord& record)
{
    return WriteFileAtomically(path, Encode(record)) ? StatusFile::Result::Ok : StatusFile::Result::CantWrite;
}

std::string FullStatusFile::Refusal(const std::string& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status))
        return {};
    if (!std::filesystem::is_regular_file(status))
        return path + ": " + kMsgStatusFileNotRegular;
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        return {};
    if (size != StatusFile::kSize)
        return path + ": " + kMsgStatusFileHolds + std::to_string(size) + kMsgStatusFileSize +
               std::to_string(StatusFile::kSize) + kMsgBytes;
    return {};
}

StatusFile::Result FullStatusFile::Load(const std::string& path, SettingsRecord& record, std::string* reason)
{
    if (!StatusFile::HasStatusExtension(path) || !Refusal(path).empty())
        return StatusFile::Result::WrongFormat;
    std::vector<std::uint8_t> image;
    const auto result = StatusFile::ReadImage(path, image, reason);
    if (result != StatusFile::Result::Ok)
        return result;
    if (image.size() != StatusFile::kSize)
        return StatusFile::Result::WrongFormat;  // changed since it was looked at
    Decode(image, record);
    return result;
}

}  // namespace zorvik
