#include "analysis/path_resolver.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

using namespace zorvika;
namespace fs = std::filesystem;

TEST(PathResolver, BackslashesAndRelativeFolders)
{
    test::TempFolder dir;
    dir.write("proj/Forms/Main.frm", "x");
    dir.write("shared/x.bas", "y");
    PathResolver r;
    const auto main = r.resolve(dir / "proj", "Forms\\Main.frm");
    ASSERT_TRUE(main);
    EXPECT_TRUE(fs::equivalent(*main, dir / "proj/Forms/Main.frm"));
    const auto shared = r.resolve(dir / "proj", "..\\shared\\x.bas");
    ASSERT_TRUE(shared);
    EXPECT_TRUE(fs::equivalent(*shared, dir / "shared/x.bas"));
    EXPECT_TRUE(r.resolve(dir / "proj", "Forms/Main.frm"));
    EXPECT_TRUE(r.resolve(dir / "proj", ".\\Forms\\\\Main.frm"));
}

TEST(PathResolver, ComponentsWithAnotherLetterCase)
{
    test::TempFolder dir;
    dir.write("proj/Forms/Effects_Blacklight.frm", "x");
    PathResolver r;
    const auto found = r.resolve(dir / "proj", "FORMS\\Effects_BlackLight.FRM");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->filename(), "Effects_Blacklight.frm");
    EXPECT_FALSE(r.resolve(dir / "proj", "Forms\\Other.frm"));
}

TEST(PathResolver, DriveLettersAndEmptyPathsNameNoFile)
{
    test::TempFolder dir;
    dir.write("C:/src/a.frm", "x"); // even a folder named "C:" is not taken
    PathResolver r;
    EXPECT_FALSE(r.resolve(dir.path(), "C:\\src\\a.frm"));
    EXPECT_FALSE(r.resolve(dir.path(), "c:/src/a.frm"));
    EXPECT_FALSE(r.resolve(dir.path(), ""));
    EXPECT_TRUE(isDriveLetterPath("z:x"));
    EXPECT_FALSE(isDriveLetterPath("1:x"));
}

TEST(PathResolver, AbsolutePaths)
{
    test::TempFolder dir;
    const auto file = dir.write("abs/Thing.cls", "x");
    PathResolver r;
    EXPECT_TRUE(r.resolve("/nonexistent", file.string()));
    std::string upper = (dir / "ABS/thing.CLS").string();
    EXPECT_TRUE(r.resolve("/nonexistent", upper));
}

TEST(PathResolver, Windows1252NameFindsItsUtf8File)
{
    test::TempFolder dir;
    dir.write("M\xC3\xBCller.bas", "x");
    PathResolver r;
    EXPECT_TRUE(r.resolve(dir.path(), "m\xFCller.bas"));
}
