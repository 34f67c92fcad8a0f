#include "shell/selection.h"

#include "program_folder.h"
#include "shell/message_table.h"
#include "shell/project_run.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

using namespace zorvika;
namespace fs = std::filesystem;

TEST(GroupFile, EndingDecidesGroupOrProject)
{
    EXPECT_TRUE(isGroupFileName("x.vbg"));
    EXPECT_TRUE(isGroupFileName("X.VBG"));
    EXPECT_FALSE(isGroupFileName("x.vbp"));
    EXPECT_FALSE(isGroupFileName("x.vbgx"));
    EXPECT_FALSE(isGroupFileName("vbg"));
}

TEST(GroupFile, EntriesInFileOrder)
{
    EXPECT_EQ(readGroupEntries("VBGROUP 5.0\r\nStartupProject=A\\a.vbp\r\nProject=B\\b.vbp\r\nProject=c.vbp\r\n"),
              (std::vector<std::string>{"A\\a.vbp", "B\\b.vbp", "c.vbp"}));
    EXPECT_EQ(readGroupEntries("STARTUPPROJECT=x.vbp\nproject=x.vbp\n Project=y.vbp\nvbgroup again\n"),
              (std::vector<std::string>{"x.vbp", "x.vbp", ""}))
        << "a line with a leading space is no project line but takes a position";
    EXPECT_EQ(readGroupEntries("Project= spaced .vbp"), (std::vector<std::string>{" spaced .vbp"}));
}

TEST(WorkingCopy, InfoLineInFrontAndOneMoreLineEnd)
{
    EXPECT_EQ(workingCopyText("Type=Exe\r\nName=\"x\"\r\n"), "[Info]\r\nType=Exe\r\nName=\"x\"\r\n\r\n");
}

TEST(Selection, GroupGivesWorkingCopiesInOrder)
{
    test::TempFolder dir;
    const ProgramFolder folder = test::preparedProgramFolder(dir / "program");
    dir.write("g/A/a.vbp", "Type=Exe\r\nName=\"A\"\r\nForm=a.frm\r\n");
    dir.write("g/A/a.frm", "Attribute VB_Exposed = False\r\nx\r\n");
    dir.write("g/b/B.VBP", "Type=Exe\r\nName=\"B\"\r\n");
    dir.write("g/group.vbg", "VBGROUP 5.0\r\nStartupProject=A\\a.vbp\r\nProject=B\\b.vbp\r\nProject=missing.vbp\r\n");
    const auto result = makeSelection(dir / "g/group.vbg", folder);
    ASSERT_TRUE(result) << result.reason();
    const Selection& sel = *result;
    ASSERT_EQ(sel.size(), 3u);
    EXPECT_EQ(sel.projectPaths, (std::vector<std::string>{"A\\a.vbp", "B\\b.vbp", "missing.vbp"}));
    EXPECT_EQ(sel.groupFile, (dir / "g/group.vbg").lexically_normal().string());
    EXPECT_EQ(fs::path(sel.projectFiles[0]), folder.workingCopies() / "a.vbp");
    EXPECT_EQ(test::readFile(sel.projectFiles[0]), "[Info]\r\nType=Exe\r\nName=\"A\"\r\nForm=a.frm\r\n\r\n");
    EXPECT_EQ(test::readFile(sel.projectFiles[1]), "[Info]\r\nType=Exe\r\nName=\"B\"\r\n\r\n")
        << "found without regard to letter case";
    EXPECT_EQ(test::readFile(sel.projectFiles[2]), "[Info]\r\n\r\n") << "no other project's text";

    const MessageTable messages(folder);
    const ProjectRun run = runProject(sel, 0, messages);
    EXPECT_EQ(run.info.name(), "A");
    ASSERT_EQ(run.rows.size(), 1u);
    EXPECT_EQ(run.rows[0].cells[ColA], "2") << "module paths resolve against the project's own folder";
    EXPECT_TRUE(runProject(sel, 2, messages).rows.empty());
}

TEST(Selection, SameFileNameInTwoFoldersGetsTwoWorkingCopies)
{
    test::TempFolder dir;
    const ProgramFolder folder = test::preparedProgramFolder(dir / "program");
    dir.write("g/one/app.vbp", "Name=\"One\"\r\n");
    dir.write("g/two/app.vbp", "Name=\"Two\"\r\n");
    dir.write("g/x.vbg", "VBGROUP 5.0\r\nProject=one\\app.vbp\r\nProject=two\\app.vbp\r\n");
    const auto result = makeSelection(dir / "g/x.vbg", folder);
    ASSERT_TRUE(result);
    const Selection& sel = *result;
    EXPECT_NE(sel.projectFiles[0], sel.projectFiles[1]);
    const MessageTable messages(folder);
    EXPECT_EQ(runProject(sel, 0, messages).info.name(), "One");
    EXPECT_EQ(runProject(sel, 1, messages).info.name(), "Two");
}

TEST(Selection, ChoosingTwiceOverwritesTheWorkingCopy)
{
    test::TempFolder dir;
    const ProgramFolder folder = test::preparedProgramFolder(dir / "program");
    const auto project = dir.write("p/demo.vbp", "Type=Exe\r\n");
    ASSERT_TRUE(makeSelection(project, folder));
    const auto again = makeSelection(project, folder);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->projectPaths, (std::vector<std::string>{project.string()}));
    EXPECT_EQ(test::readFile(folder.workingCopies() / "demo.vbp"), "[Info]\r\nType=Exe\r\n\r\n");
}

TEST(Selection, UnreadableOrWrongFilesAreRefusedWithTheirName)
{
    test::TempFolder dir;
    const ProgramFolder folder{dir.path()};
    ensureWorkFiles(folder);
    dir.write("bin.vbp", std::string("\x7f" "ELF\0\0\0", 7));
    dir.write("notes.vbg", "just some words\r\n");
    fs::create_directory(dir / "folder.vbp");
    // The windows choose their message by the kind.
    const std::pair<const char*, SelectionError> cases[] = {{"none.vbp", SelectionError::Missing},
                                                            {"bin.vbp", SelectionError::NotProject},
                                                            {"notes.vbg", SelectionError::NotGroup},
                                                            {"folder.vbp", SelectionError::NotRegular}};
    for (const auto& [name, kind] : cases) {
        SCOPED_TRACE(name);
        const auto chosen = makeSelection(dir / name, folder);
        ASSERT_FALSE(chosen);
        EXPECT_EQ(chosen.kind(), kind);
        EXPECT_NE(chosen.reason().find(name), std::string::npos) << chosen.reason();
    }
}

TEST(Progress, PositionTextAndSteps)
{
    EXPECT_EQ(positionText(1, 3), "  1/3");
    EXPECT_FALSE(previousStep("  0/0"));
    EXPECT_FALSE(nextStep("  0/0", 0));
    EXPECT_FALSE(previousStep("  1/1"));
    EXPECT_FALSE(nextStep("  1/1", 1));
    EXPECT_FALSE(previousStep("  1/3")) << "already at the first project";
    auto next = nextStep("  1/3", 3);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->index, 1u);
    EXPECT_EQ(next->progressText, "  2/3");
    EXPECT_FALSE(nextStep("  3/3", 3)) << "already at the last project";
    auto prev = previousStep("  3/3");
    ASSERT_TRUE(prev);
    EXPECT_EQ(prev->index, 1u);
    EXPECT_EQ(prev->progressText, "  2/3");
    EXPECT_FALSE(nextStep("garbage", 3));
    auto big = nextStep("  40000/40001", 40001);
    ASSERT_TRUE(big) << "no 16-bit cap on positions";
    EXPECT_EQ(big->progressText, "  40001/40001");
}
