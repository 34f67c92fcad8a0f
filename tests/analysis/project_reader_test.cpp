#include "analysis/project_reader.h"

#include <gtest/gtest.h>

using namespace zorvika;

TEST(ModuleEntries, EveryKindOfEntryInFileOrder)
{
    const std::string project = "Type=Exe\r\n"
                                "Form=frmMain.frm\r\n"
                                "Module=modMain; modMain.bas\r\n"
                                "Class=clsData; clsData.cls\r\n"
                                "UserControl=ctlGrid.ctl\r\n"
                                "PropertyPage=pagGrid.pag\r\n"
                                "Designer=dsrReport.Dsr\r\n"
                                "UserDocument=docHome.dob\r\n"
                                "FORM=..\\shared\\frmAbout.frm\r\n"
                                "Module=modMain;modMain.bas;extra\r\n"
                                "Form=notes.txt\r\n"
                                " Form=frmMain.frm\r\n"
                                "\tForm=frmMain.frm\r\n"
                                "Module=modMain\r\n"
                                "Form=\r\n"
                                "Reference=*\\G{00020430}#2.0#0#stdole2.tlb#OLE Automation\r\n"
                                "Object={831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0; mscomctl.ocx\r\n"
                                "[MS Transaction Server]\r\n"
                                "Form=frmMain.frm\r\n";
    const std::vector<std::string> expected = {
        "frmMain.frm", "modMain.bas", "clsData.cls", "ctlGrid.ctl", "pagGrid.pag", "dsrReport.Dsr",
        "docHome.dob", "..\\shared\\frmAbout.frm", "modMain.bas", "notes.txt", "", "frmMain.frm"};
    EXPECT_EQ(readModuleEntries(project), expected);
}

TEST(ModuleEntries, LineEndsOfEveryKindAndSpacesAroundThePath)
{
    EXPECT_EQ(readModuleEntries("Form=  a.frm  \nClass=C;  b.cls \rModule=M; c.bas"),
              (std::vector<std::string>{"a.frm", "b.cls", "c.bas"}));
}

TEST(ModuleType, ByTheLastFourCharactersInOrder)
{
    EXPECT_EQ(moduleTypeOf("frmMain.frm"), "Form");
    EXPECT_EQ(moduleTypeOf("FORMS\\MAIN.FRM"), "Form");
    EXPECT_EQ(moduleTypeOf("modMain.bas"), "Module");
    EXPECT_EQ(moduleTypeOf("clsData.cls"), "ClassModule");
    EXPECT_EQ(moduleTypeOf("ctlGrid.ctl"), "UserControl");
    EXPECT_EQ(moduleTypeOf("pagGrid.pag"), "PropertyPage");
    EXPECT_EQ(moduleTypeOf("dsrReport.Dsr"), "Designer");
    EXPECT_EQ(moduleTypeOf("docHome.dob"), "UserDocument");
    EXPECT_EQ(moduleTypeOf("notes.txt"), "OtherModule");
    EXPECT_EQ(moduleTypeOf(".frm"), "Form");
    EXPECT_EQ(moduleTypeOf("frm"), "OtherModule") << "three characters or fewer";
    EXPECT_EQ(moduleTypeOf(""), "OtherModule");
    EXPECT_TRUE(isStandardModulePath("A.BAS"));
    EXPECT_FALSE(isStandardModulePath("bas"));
}

TEST(ProjectInfo, EightBoxesFromSectionInfo)
{
    const std::string copy = "[Info]\r\nType=Exe\r\nName=\"prjDemo\"\r\nMajorVer=1\r\nMinorVer=0\r\n"
                             "RevisionVer=12\r\nVersionProductName=\"Demo Product\"\r\n"
                             "Description=\"A demo\"\r\nVersionComments=\"none\"\r\n"
                             "VersionCompanyName=\"ACME\"\r\nVersionLegalCopyright=\"(c) ACME\"\r\n"
                             "VersionLegalTrademarks=\"TM\"\r\n[MS Transaction Server]\r\nName=\"other\"\r\n\r\n";
    const ProjectInfo info = projectInfoFromText(copy);
    const std::array<std::string, 8> expected = {"prjDemo", "1.0.12", "Demo Product", "A demo",
                                                 "none", "ACME", "(c) ACME", "TM"};
    EXPECT_EQ(info.values, expected);
}

TEST(ProjectInfo, MissingKeysGiveEmptyTextsAndTwoDots)
{
    const ProjectInfo info = projectInfoFromText("[Info]\r\nType=Exe\r\nMinorVer=3\r\n");
    EXPECT_EQ(info.name(), "");
    EXPECT_EQ(info.version(), ".3.");
    EXPECT_EQ(projectInfoFromText("").version(), "..");
}

TEST(ProjectInfo, Windows1252TextsAreShownAsUtf8)
{
    const ProjectInfo info = projectInfoFromText("[Info]\r\nVersionCompanyName=\"M\xFCller\"\r\n");
    EXPECT_EQ(info.values[5], "M\xC3\xBCller");
}
