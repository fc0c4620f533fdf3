#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "base/AtomicFile.h"
#include "base/BoundedFile.h"
#include "support/FileKinds.h"
#include "support/RowName.h"
#include "support/TempDir.h"

namespace zorvik {
namespace {

using test::FileKind;

struct ReadRow {
    const char* name;
    // Makes the file in the folder and returns the path to read.
    std::function<std::string(const test::TempDir&)> make;
    std::size_t limit;
    FileReadFailure failure;
    const char* reason;    // the whole reason; nullptr: any (a system text)
    std::size_t size = 0;  // bytes read when it succeeds
};

std::string Kind(const test::TempDir& dir, FileKind kind, std::size_t limit)
{
    return test::MakeFileOfKind(dir, kind, "f", "abc", limit);
}

std::string Sized(const test::TempDir& dir, std::size_t size)
{
    const std::string path = dir.File("sized");
    EXPECT_TRUE(WriteFileAtomically(path, std::vector<std::uint8_t>(size, 0xAB)));
    return path;
}

const ReadRow kReadRows[] = {
    {"Regular", [](auto& d) { return Kind(d, FileKind::Regular, 16); }, 16, FileReadFailure::None, "", 3},
    {"Empty", [](auto& d) { return Sized(d, 0); }, 16, FileReadFailure::None, "", 0},
    {"AtTheLimit", [](auto& d) { return Sized(d, 292); }, 292, FileReadFailure::None, "", 292},
    {"OneOver", [](auto& d) { return Sized(d, 293); }, 292, FileReadFailure::TooLarge,
     "larger than 292 bytes"},
    {"FarOver", [](auto& d) { return Sized(d, 1000); }, 292, FileReadFailure::TooLarge,
     "larger than 292 bytes"},
    {"SparseOverOneMiB", [](auto& d) { return Kind(d, FileKind::OverLimit, 1 << 20); }, 1 << 20,
     FileReadFailure::TooLarge, "larger than 1 MiB"},
    {"Directory", [](auto& d) { return Kind(d, FileKind::Directory, 16); }, 16, FileReadFailure::NotRegular,
     "not a regular file"},
    {"NamedPipe", [](auto& d) { return Kind(d, FileKind::Fifo, 16); }, 16, FileReadFailure::NotRegular,
     "not a regular file"},
    {"LinkToDevZero", [](auto& d) { return Kind(d, FileKind::DevZero, 16); }, 16, FileReadFailure::NotRegular,
     "not a regular file"},
    {"DevZero", [](auto&) { return std::string("/dev/zero"); }, 16 << 20, FileReadFailure::NotRegular,
     "not a regular file"},
    {"LinkToARegularFile",
     [](auto& d) {
         const std::string target = Kind(d, FileKind::Regular, 16);
         std::filesystem::create_symlink(target, d.File("link"));
         return d.File("link");
     },
     16, FileReadFailure::None, "", 3},
    // Its size shows as 0 until it is read: the read itself must stop past the limit.
    {"GrowsWhileRead", [](auto&) { return std::string("/proc/self/maps"); }, 16, FileReadFailure::TooLarge,
     "larger than 16 bytes"},
    {"Missing", [](auto& d) { return d.File("missing"); }, 16, FileReadFailure::CantOpen,
     "No such file or directory"},
    {"InAMissingFolder", [](auto& d) { return d.File("no/such"); }, 16, FileReadFailure::CantOpen, nullptr},
};

void PrintTo(const ReadRow& row, std::ostream* out)
{
    *out << row.name;
}

class BoundedFileTest : public ::testing::TestWithParam<ReadRow> {};

TEST_P(BoundedFileTest, ReadsOnlyARegularFileWithinTheLimit)
{
    const ReadRow& row = GetParam();
    test::TempDir dir;
    const std::string path = row.make(dir);
    const FileRead read = ReadBoundedFile(path, row.limit);
    EXPECT_EQ(read.failure, row.failure);
    if (row.reason) {
        EXPECT_EQ(read.reason, row.reason);
    }
    if (row.failure == FileReadFailure::None) {
        EXPECT_EQ(read.bytes.size(), row.size);
        EXPECT_EQ(FileReadMessage(read, path), "");
    } else {
        EXPECT_FALSE(read.reason.empty());
        EXPECT_TRUE(read.bytes.empty());
        const std::string lead =
            row.failure == FileReadFailure::CantOpen ? "Can't open the file: " : "Can't read the file: ";
        EXPECT_EQ(FileReadMessage(read, path), lead + path + " (" + read.reason + ")");
    }
}

INSTANTIATE_TEST_SUITE_P(Files, BoundedFileTest, ::testing::ValuesIn(kReadRows), test::RowName());

TEST(BoundedFile, UnreadableFileFailsToOpenWithTheSystemsReason)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads any file";
    test::TempDir dir;
    const std::string path = Sized(dir, 4);
    ::chmod(path.c_str(), 0);
    const FileRead read = ReadBoundedFile(path, 16);
    EXPECT_EQ(read.failure, FileReadFailure::CantOpen);
    EXPECT_EQ(read.reason, "Permission denied");
}

TEST(BoundedFile, SizesAreWrittenInTheLargestWholeUnit)
{
    const std::pair<std::size_t, const char*> rows[] = {
        {1, "1 byte"},        {292, "292 bytes"}, {1024, "1 KiB"},      {4096, "4 KiB"},
        {1536, "1536 bytes"}, {1 << 20, "1 MiB"}, {16 << 20, "16 MiB"}, {(1 << 20) + 1024, "1025 KiB"},
    };
    for (const auto& [bytes, text] : rows)
        EXPECT_EQ(SizeText(bytes), text) << bytes;
}

}  // namespace
}  // namespace zorvik
