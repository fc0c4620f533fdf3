#include "support/FileKinds.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>

#include "base/BoundedFile.h"
#include "resources/CommonTexts.h"

namespace zorvik::test {

const char* FileKindName(FileKind kind)
{
    switch (kind) {
    case FileKind::Regular:
        return "Regular";
    case FileKind::Directory:
        return "Directory";
    case FileKind::Fifo:
        return "NamedPipe";
    case FileKind::DevZero:
        return "DevZero";
    case FileKind::OverLimit:
        return "OverLimit";
    }
    return "?";
}

std::string MakeFileOfKind(const TempDir& dir, FileKind kind, const std::string& name,
                           const std::string& content, std::size_t limit)
{
    const std::string path = dir.File(name);
    switch (kind) {
    case FileKind::Regular:
        std::ofstream(path, std::ios::binary) << content;
        break;
    case FileKind::Directory:
        std::filesystem::create_directory(path);
        break;
    case FileKind::Fifo:
        if (::mkfifo(path.c_str(), 0600) != 0)
            throw std::runtime_error("mkfifo failed");
        break;
    case FileKind::DevZero:
        std::filesystem::create_symlink("/dev/zero", path);
        break;
    case FileKind::OverLimit:
        std::ofstream(path, std::ios::binary) << content;
        std::filesystem::resize_file(path, limit + 1);
        break;
    }
    return path;
}

std::string RefusalOf(FileKind kind, std::size_t limit)
{
    switch (kind) {
    case FileKind::Regular:
        return {};
    case FileKind::Directory:
    case FileKind::Fifo:
    case FileKind::DevZero:
        return kReasonNotRegularFile;
    case FileKind::OverLimit:
        return kReasonLargerThan + SizeText(limit);
    }
    return {};
}

}  // namespace zorvik::test
