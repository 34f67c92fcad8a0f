// The about window: its texts, its links and its size.
#include "gui_fixture.h"

#include "about/frm_pub_about.h"
#include "shell/links.h"
#include "widgets/click_label.h"

#include <QLabel>

namespace zorvika::test {
namespace {

using About = GuiTest;

void openAbout(RecordingUtility& utility, frmPubMain& w, const std::function<void(frmPubAbout&)>& script)
{
    bool ran = false;
    utility.onModal = [&](QDialog& dialog) {
        auto* about = qobject_cast<frmPubAbout*>(&dialog);
        ASSERT_NE(about, nullptr);
        ran = true;
        script(*about);
    };
    QTest::mouseClick(w.sbt(BtnAbout), Qt::LeftButton);
    utility.onModal = nullptr;
    EXPECT_TRUE(ran);
}

TEST_F(About, ShowsTheTextsOfTheMessageTableAndKeepsItsSize)
{
    useEnglishTable();
    frmPubMain& w = open();
    openAbout(utility, w, [&](frmPubAbout& a) {
        EXPECT_TRUE(a.isModal());
        EXPECT_EQ(a.size(), QSize(432, 203)); // 6480 by 3045 twips
        EXPECT_EQ(a.windowTitle(), QStringLiteral("About ZORVIKA - VB6 Code Line Counter"));
        EXPECT_EQ(a.Label1()->text(), QStringLiteral("ZORVIKA"));
        EXPECT_EQ(a.lblVer()->text(), QStringLiteral("Version 1.00 Build 20080511"));
        EXPECT_EQ(a.lblCopy()->text(), QStringLiteral("Copyright (C) 2026 The ZORVIKA team"));
        EXPECT_EQ(a.sbtWeb()->text(), QStringLiteral("Home"));
        EXPECT_EQ(a.sbtMailer()->text(), QStringLiteral("Mail"));
        EXPECT_EQ(a.sbtClose()->text(), QStringLiteral("Close"));
        EXPECT_FALSE(a.imgProdLogo()->pixmap().isNull());
        EXPECT_FALSE(a.imgCompLogo()->pixmap().isNull());
        // The description stays inside the frame, above the first line.
        EXPECT_LE(a.lblDesc()->geometry().bottom(), 133);
    });
}

TEST_F(About, LogosAndButtonsOpenTheirLinksAndTheWindowStaysOpen)
{
    frmPubMain& w = open();
    openAbout(utility, w, [&](frmPubAbout& a) {
        QTest::mouseClick(a.imgCompLogo(), Qt::LeftButton);
        QTest::mouseClick(a.sbtWeb(), Qt::LeftButton);
        QTest::mouseClick(a.imgProdLogo(), Qt::LeftButton);
        QTest::mouseClick(a.sbtMailer(), Qt::LeftButton);
        EXPECT_TRUE(a.isVisible());
        QTest::mouseClick(a.sbtClose(), Qt::LeftButton);
        EXPECT_FALSE(a.isVisible());
    });
    ASSERT_EQ(utility.documents.size(), 4u);
    EXPECT_EQ(utility.documents[0], links::kCompanyHome);
    EXPECT_EQ(utility.documents[1], links::kCompanyHome);
    EXPECT_EQ(utility.documents[2], links::kProductHome);
    EXPECT_EQ(utility.documents[3], links::kSupportMail);
    for (int style : utility.documentStyles)
        EXPECT_EQ(style, 3);
}

TEST_F(About, AnEmptyTableStillShowsTheProductNameAndLogos)
{
    frmPubMain& w = open();
    openAbout(utility, w, [&](frmPubAbout& a) {
        EXPECT_TRUE(a.windowTitle().isEmpty());
        EXPECT_TRUE(a.lblVer()->text().isEmpty());
        EXPECT_TRUE(a.sbtClose()->text().isEmpty());
        EXPECT_EQ(a.Label1()->text(), QStringLiteral("ZORVIKA"));
        EXPECT_FALSE(a.imgProdLogo()->pixmap().isNull());
    });
}

} // namespace
} // namespace zorvika::test
