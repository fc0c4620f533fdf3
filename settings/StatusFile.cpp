#include "settings/StatusFile.h"

#include <utility>

#include "base/AtomicFile.h"
#include "base/BoundedFile.h"
#include "resources/SettingsTexts.h"

namespace zorvik {
namespace {

// The entries the window's status file carries; the room of the others stays zero.
constexpr int kFileEntries[] = {0, 1, 6, 7};
constexpr std::size_t kFontChoiceOffset = 288;

std::size_t SlotOffset(std::size_t entry, std::size_t slot)
{
    return 4 * (entry * static_cast<std::size_t>(kSlotCount) + slot);
}

void PutInt(std::vector<std::uint8_t>& image, std::size_t offset, std::int32_t value)
{
    const auto u = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i)
        image[offset + i] = static_cast<std::uint8_t>(u >> (8 * i));
}

std::int32_t GetInt(const std::vector<std::uint8_t>& image, std::size_t offset)
{
    std::uint32_t u = 0;
    for (std::size_t i = 0; i < 4; ++i)
        if (offset + i < image.size())
            u |= static_cast<std::uint32_t>(image[offset + i]) << (8 * i);
    return static_cast<std::int32_t>(u);
}

}  // namespace

void StatusFile::PutSlot(std::vector<std::uint8_t>& image, int entry, int slot, std::int32_t value)
{
    PutInt(image, SlotOffset(static_cast<std::size_t>(entry), static_cast<std::size_t>(slot)), value);
}

std::int32_t StatusFile::GetSlot(const std::vector<std::uint8_t>& image, int entry, int slot)
{
    return GetInt(image, SlotOffset(static_cast<std::size_t>(entry), static_cast<std::size_t>(slot)));
}

std::vector<std::uint8_t> StatusFile::Encode(const SettingsRecord& record)
{
    std::vector<std::uint8_t> image(kSize, 0);
    for (const int entry : kFileEntries)
        for (int s = 0; s < kSlotCount; ++s)
            PutSlot(image, entry, s, record.Pin(entry, s));
    PutInt(image, kFontChoiceOffset, record.fontChoice);
    return image;
}

void StatusFile::Decode(const std::vector<std::uint8_t>& image, SettingsRecord& record)
{
    for (const int entry : kFileEntries)
        for (int s = 0; s < kSlotCount; ++s)
            record.Pin(entry, s) = GetSlot(image, entry, s);
    record.fontChoice = GetInt(image, kFontChoiceOffset);
}

bool StatusFile::HasStatusExtension(const std::string& path)
{
    const std::string ext = kStatusExtension;
    return path.size() >= ext.size() && path.compare(path.size() - ext.size(), ext.size(), ext) == 0;
}

StatusFile::Result StatusFile::Save(const std::string& path, const SettingsRecord& record)
{
    return WriteFileAtomically(path, Encode(record)) ? Result::Ok : Result::CantWrite;
}

StatusFile::Result StatusFile::ReadImage(const std::string& path, std::vector<std::uint8_t>& image,
                                         std::string* reason)
{
    if (!HasStatusExtension(path))
        return Result::WrongFormat;
    FileRead read = ReadBoundedFile(path, kReadLimit);
    if (!read.Ok()) {
        if (reason)
            *reason = read.reason;
        return read.failure == FileReadFailure::CantOpen ? Result::CantOpen : Result::CantRead;
    }
    image = std::move(read.bytes);
    return Result::Ok;
}

StatusFile::Result StatusFile::Load(const std::string& path, SettingsRecord& record, std::string* reason)
{
    std::vector<std::uint8_t> image;
    const Result result = ReadImage(path, image, reason);
    if (result == Result::Ok)
        Decode(image, record);
    return result;
}

std::string StatusFile::Message(Result result, const std::string& path, const std::string& reason)
{
    switch (result) {
    case Result::Ok:
        return {};
    case Result::WrongFormat:
        return kMsgWrongFormat;
    case Result::CantOpen:
        return FileReadMessage(FileReadFailure::CantOpen, path, reason);
    case Result::CantRead:
        return FileReadMessage(FileReadFailure::CantRead, path, reason);
    case Result::CantWrite:
        return kMsgCantWriteFile + path;
    }
    return {};
}

}  // namespace zorvik
