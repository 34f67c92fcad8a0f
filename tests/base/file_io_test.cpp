#include "base/file_io.h"

#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace zorvika;
namespace fs = std::filesystem;

TEST(FileIo, ReadsOnlyRegularFilesAndNeverBlocks)
{
    test::TempFolder dir;
    std::string out;
    EXPECT_EQ(readRegularFile(dir / "missing", out), ReadStatus::Missing);
    EXPECT_EQ(readRegularFile(dir.path(), out), ReadStatus::NotRegular);
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
    EXPECT_EQ(readRegularFile(dir / "pipe", out), ReadStatus::NotRegular);
    EXPECT_EQ(readRegularFile("/dev/zero", out), ReadStatus::NotRegular);
    const std::string binary("a\0b\r\n", 5);
    dir.write("bin", binary);
    EXPECT_EQ(readRegularFile(dir / "bin", out), ReadStatus::Ok);
    EXPECT_EQ(out, binary);
}

TEST(FileIo, AtomicWriteReplacesWholeAndLeavesNoTemporaryFile)
{
    test::TempFolder dir;
    const auto target = dir.write("out.txt", "old");
    const Outcome written = writeFileAtomically(target, "new content");
    ASSERT_TRUE(written.ok()) << written.reason();
    EXPECT_EQ(test::readFile(target), "new content");
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir.path()))
        files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST(FileIo, FailedWriteKeepsOldFileAndTellsWhy)
{
    test::TempFolder dir;
    const auto target = dir.write("keep.txt", "precious");
    const Outcome noFolder = writeFileAtomically(target, "x", dir / "no-such-folder");
    EXPECT_FALSE(noFolder.ok());
    EXPECT_FALSE(noFolder.reason().empty());
    EXPECT_EQ(test::readFile(target), "precious");

    // A read-only file is not replaced, even by root.
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_TRUE(isReadOnlyFile(target));
    const Outcome readOnly = writeFileAtomically(target, "x");
    EXPECT_FALSE(readOnly.ok());
    EXPECT_NE(readOnly.reason().find("ermission"), std::string::npos) << readOnly.reason();
    EXPECT_EQ(test::readFile(target), "precious");
}
