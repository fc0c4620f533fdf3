#pragma once
// Reads of whole files that a user or the environment names: status files, command
// files, the port map, the targets list, the preset settings. Only a regular file is
// read, and only up to a limit the caller sets, so a device (/dev/zero), a named pipe
// or a folder given by mistake fails at once with a reason instead of blocking or
// filling memory. Symbolic links are followed.
#include <cstdint>
#include <string>
#include <vector>

namespace zorvik {

enum class FileReadFailure {
    None,
    CantOpen,    // the file is missing or may not be opened
    NotRegular,  // a folder, device, pipe or socket
    TooLarge,    // more bytes than the limit, before or while it was read
    CantRead,    // the system failed a read
};

struct FileRead {
    std::vector<std::uint8_t> bytes;  // the whole file when Ok()
    FileReadFailure failure = FileReadFailure::None;
    int error = 0;       // errno of a failed system call, else 0
    std::string reason;  // for messages: the system's text, "not a regular file", "larger than 1 MiB"

    bool Ok() const { return failure == FileReadFailure::None; }
};

// Opens without waiting (a pipe with no writer does not block), refuses anything but
// a regular file and reads at most limit + 1 bytes of it.
FileRead ReadBoundedFile(const std::string& path, std::size_t limit);

// "Can't open the file: PATH (reason)" for CantOpen, "Can't read the file: PATH (reason)"
// for the other failures; empty for None. No brackets when the reason is empty.
std::string FileReadMessage(FileReadFailure failure, const std::string& path, const std::string& reason);
inline std::string FileReadMessage(const FileRead& read, const std::string& path)
{
    return FileReadMessage(read.failure, path, read.reason);
}

// A size as the messages write it: "16 MiB", "4 KiB", "292 bytes".
std::string SizeText(std::size_t bytes);

}  // namespace zorvik
