#include "cli/FullStatusFile.h"

#include <filesystem>

#include "base/AtomicFile.h"
#include "resources/CliTexts.h"

namespace zorvik {

namespace {

constexpr std::size_t kRoomOffset = 72;  // switches 3 to 6, nine slots each
constexpr int kFirstRoomEntry = 2;
constexpr int kLastRoomEntry = 5;

std::size_t SlotOffset(int entry, int slot)
{
    return kRoomOffset + static_cast<std::size_t>((entry - kFirstRoomEntry) * kSlotCount + slot) * 4;
}

}  // namespace

std::vector<std::uint8_t> FullStatusFile::Encode(const SettingsRecord& record)
{
    std::vector<std::uint8_t> image = StatusFile::Encode(record);
    for (int e = kFirstRoomEntry; e <= kLastRoomEntry; ++e)
        for (int s = 0; s < kSlotCount; ++s) {
            const auto u = static_cast<std::uint32_t>(record.Pin(e, s));
            for (std::size_t i = 0; i < 4; ++i)
                image[SlotOffset(e, s) + i] = static_cast<std::uint8_t>(u >> (8 * i));
        }
    return image;
}

void FullStatusFile::Decode(const std::vector<std::uint8_t>& image, SettingsRecord& record)
{
    StatusFile::Decode(image, record);
    for (int e = kFirstRoomEntry; e <= kLastRoomEntry; ++e)
        for (int s = 0; s < kSlotCount; ++s) {
            std::uint32_t u = 0;
            for (std::size_t i = 0; i < 4; ++i)
                if (SlotOffset(e, s) + i < image.size())
                    u |= static_cast<std::uint32_t>(image[SlotOffset(e, s) + i]) << (8 * i);
            auto value = static_cast<std::int32_t>(u);
            if (s > 0 && value != PinOn && value != PinOff)
                value = PinNoChange;
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
