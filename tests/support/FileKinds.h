#pragma once
// Files of each kind a reader may be handed, made inside a TempDir: the regular file it
// expects, and the folder, named pipe, endless device and oversized file it must refuse
// at once, without blocking or filling memory.
#include <cstddef>
#include <ostream>
#include <string>

#include "support/TempDir.h"

namespace zorvik::test {

enum class FileKind { Regular, Directory, Fifo, DevZero, OverLimit };

inline constexpr FileKind kAllFileKinds[] = {FileKind::Regular, FileKind::Directory, FileKind::Fifo,
                                             FileKind::DevZero, FileKind::OverLimit};

// "Regular", "Directory", "NamedPipe", "DevZero", "OverLimit": usable as test names.
const char* FileKindName(FileKind kind);
inline void PrintTo(FileKind kind, std::ostream* os)
{
    *os << FileKindName(kind);
}

// Makes `name` in dir as the kind and returns its path: Regular holds `content`,
// DevZero is a symbolic link to /dev/zero, OverLimit a sparse file of limit + 1 bytes.
std::string MakeFileOfKind(const TempDir& dir, FileKind kind, const std::string& name,
                           const std::string& content, std::size_t limit);

// The reason a reader gives for refusing the kind; empty for Regular.
std::string RefusalOf(FileKind kind, std::size_t limit);

}  // namespace zorvik::test
