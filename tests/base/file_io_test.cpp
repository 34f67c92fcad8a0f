#include "base/child_process.h"
#include "base/file_io.h"

#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

using namespace zorvika;
namespace fs = std::filesystem;

TEST(FileIo, ReadsOnlyRegularFilesAndNeverBlocks)
{
    test::TempFolder dir;
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
    const struct {
        fs::path path;
        ReadError kind;
    } refused[] = {
        {dir / "missing", ReadError::Missing},
        {dir / "missing" / "below", ReadError::Missing},
        {dir.path(), ReadError::NotRegular},
        {dir / "pipe", ReadError::NotRegular},
        {"/dev/zero", ReadError::NotRegular},
    };
    for (const auto& c : refused) {
        const auto read = readRegularFile(c.path);
        ASSERT_FALSE(read) << c.path;
        EXPECT_EQ(read.kind(), c.kind) << c.path;
    }
    const std::string binary("a\0b\r\n", 5);
    dir.write("bin", binary);
    const auto read = readRegularFile(dir / "bin");
    ASSERT_TRUE(read) << read.reason();
    EXPECT_EQ(*read, binary);
    EXPECT_EQ(readRegularFile(dir / "bin", 4).kind(), ReadError::TooLarge);
}

// Each row makes the system fail for real; the failure carries the system's
// own words (or the reader's) and the cause they stand for, also once a
// caller has named what failed with `about`.
TEST(FileIo, TheSystemsErrorsReachTheirCause)
{
    test::TempFolder dir;
    const fs::path file = dir.write("file", "x");
    const fs::path locked = dir / "locked";
    const fs::path lockedIn = dir.write("locked/file", "x");
    const fs::path secret = dir.write("secret", "x");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    fs::permissions(secret, fs::perms::none);
    const bool root = ::geteuid() == 0; // root reads and writes past permissions
    struct Case {
        const char* name;
        std::function<Failure<>()> failing;
        Cause cause;
        std::string words; // what the reason ends in
        bool needsPermissions;
    };
    auto failureOf = [](const auto& result) {
        EXPECT_FALSE(result);
        return result ? fail("it did not fail") : result.failure().as(Failed::Failed);
    };
    const Case cases[] = {
        {"a missing file opened", [&] { return failureOf(openForReading(dir / "none")); }, Cause::NoSuchFile,
         "No such file or directory", false},
        {"a file taken for a folder", [&] { return failureOf(openForReading(file / "below")); }, Cause::NoSuchFile,
         "Not a directory", false},
        {"a missing folder opened", [&] { return failureOf(OpenFolder::open(dir / "none")); }, Cause::NoSuchFile,
         "No such file or directory", false},
        {"a missing file read", [&] { return failureOf(readRegularFile(dir / "none")); }, Cause::NoSuchFile,
         "no such file", false},
        {"a folder read", [&] { return failureOf(readRegularFile(dir.path())); }, Cause::NotRegularFile,
         "not a regular file", false},
        {"a full disk", [&] { return failureOf(writeOutputFile("/dev/full", "x")); }, Cause::DiskFull,
         "No space left on device", false},
        {"a read-only target", [&] {
             fs::permissions(dir.write("kept", "x"), fs::perms::owner_read);
             return failureOf(writeFileAtomically(dir / "kept", "y"));
         }, Cause::PermissionDenied, "Permission denied", false},
        {"a folder without write permission", [&] { return failureOf(writeFileAtomically(locked / "new", "x")); },
         Cause::PermissionDenied, "Permission denied", true},
        {"a file without read permission", [&] { return failureOf(readRegularFile(secret)); },
         Cause::PermissionDenied, "cannot be read", true},
        {"a removal in a folder without write permission", [&] { return failureOf(removeFileAt(lockedIn)); },
         Cause::PermissionDenied, "Permission denied", true},
        {"a program that is not there", [&] { return failureOf(runChild(dir / "none", {}, std::chrono::seconds(10))); },
         Cause::NoSuchFile, "No such file or directory", false},
    };
    for (const Case& c : cases) {
        if (c.needsPermissions && root)
            continue;
        const Failure<> failure = c.failing();
        EXPECT_EQ(failure.cause, c.cause) << c.name << ": " << failure.reason;
        EXPECT_TRUE(failure.reason.ends_with(c.words)) << c.name << ": " << failure.reason;
        const Failure<> named = failure.about("the/file");
        EXPECT_EQ(named.reason, "the/file: " + failure.reason) << c.name;
        EXPECT_EQ(named.reasonSaying("<own words>"),
                  "the/file: " + failure.reason.substr(0, failure.reason.size() - c.words.size()) + "<own words>")
            << c.name;
    }
    fs::permissions(locked, fs::perms::owner_all);
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
