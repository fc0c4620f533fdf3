#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

#include "base/AtomicFile.h"
#include "base/BoundedFile.h"
#include "support/TempDir.h"

namespace zorvik {
namespace {

TEST(AtomicFile, WritesReadsAndReplacesWhole)
{
    test::TempDir dir;
    const auto path = dir.File("a.bin");
    ASSERT_TRUE(WriteFileAtomically(path, {1, 2, 3}));
    ASSERT_TRUE(WriteFileAtomically(path, {9}));
    const FileRead back = ReadBoundedFile(path, 16);
    ASSERT_TRUE(back.Ok());
    EXPECT_EQ(back.bytes, std::vector<std::uint8_t>{9});
    // Nothing but the file itself is left behind in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(AtomicFile, FailedWriteLeavesTheOldFileAndSaysWhy)
{
    test::TempDir dir;
    const auto path = dir.File("keep.sts");
    ASSERT_TRUE(WriteFileAtomically(path, {7, 7}));
    ::chmod(dir.Path().c_str(), 0555);  // no new files in the folder
    std::string error;
    const bool ok = WriteFileAtomically(path, {1}, &error);
    ::chmod(dir.Path().c_str(), 0755);
    if (::geteuid() == 0 && ok)
        GTEST_SKIP() << "root ignores folder permissions";
    EXPECT_FALSE(ok);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadBoundedFile(path, 16).bytes, (std::vector<std::uint8_t>{7, 7}));
}

}  // namespace
}  // namespace zorvik

namespace zorvik {
namespace {

TEST(AtomicFile, FailedRenameLeavesNoTemporaryBehind)
{
    test::TempDir dir;
    const auto target = dir.File("occupied");
    std::filesystem::create_directory(target);
    std::filesystem::create_directory(target + "/inside");
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(target, {1, 2}, &error));
    EXPECT_NE(error.find("rename"), std::string::npos);
    FileWriteError failure;
    EXPECT_FALSE(WriteFileAtomically(target, {1, 2}, &failure));
    EXPECT_EQ(failure.error, EISDIR);
    EXPECT_NE(failure.step.find("rename"), std::string::npos);
    EXPECT_EQ(failure.reason, std::strerror(EISDIR));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
    EXPECT_TRUE(std::filesystem::is_directory(target + "/inside"));
}

}  // namespace
}  // namespace zorvik
