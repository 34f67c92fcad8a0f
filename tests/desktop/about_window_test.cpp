// The about window: its texts, its links and its size.
#include "gui_fixture.h"

#include "desktop/about_window.h"
#include "desktop/links.h"
#include "widgets/clickable_picture.h"

#include <QLabel>

namespace zorvika::test {
namespace {

using About = GuiTest;

void openAbout(RecordingServices& services, MainWindow& w, const std::function<void(AboutWindow&)>& script)
{
    bool ran = false;
    services.onModal = [&](QDialog& dialog) {
        auto* about = qobject_cast<AboutWindow*>(&dialog);
        ASSERT_NE(about, nullptr);
        ran = true;
        script(*about);
    };
    QTest::mouseClick(w.button(MainWindow::Command::About), Qt::LeftButton);
    services.onModal = nullptr;
    EXPECT_TRUE(ran);
}

TEST_F(About, ShowsTheTextsOfTheMessageTableAndKeepsItsSize)
{
    useEnglishTable();
    MainWindow& w = open();
    openAbout(services, w, [&](AboutWindow& a) {
        EXPECT_TRUE(a.isModal());
        EXPECT_EQ(a.size(), QSize(432, 203)); // 6480 by 3045 twips
        EXPECT_EQ(a.windowTitle(), QStringLiteral("About ZORVIKA - VB6 Code Line Counter"));
        EXPECT_EQ(a.productLabel()->text(), QStringLiteral("ZORVIKA"));
        EXPECT_EQ(a.versionLabel()->text(), QStringLiteral("Version 1.00 Build 20080511"));
        EXPECT_EQ(a.copyrightLabel()->text(), QStringLiteral("Copyright (C) 2026 The ZORVIKA team"));
        EXPECT_EQ(a.homeButton()->text(), QStringLiteral("Home"));
        EXPECT_EQ(a.mailButton()->text(), QStringLiteral("Mail"));
        EXPECT_EQ(a.closeButton()->text(), QStringLiteral("Close"));
        EXPECT_FALSE(a.productLogo()->pixmap().isNull());
        EXPECT_FALSE(a.companyLogo()->pixmap().isNull());
        // The description stays inside the frame, above the first line.
        EXPECT_LE(a.descriptionLabel()->geometry().bottom(), 133);
    });
}

TEST_F(About, LogosAndButtonsOpenTheirLinksAndTheWindowStaysOpen)
{
    MainWindow& w = open();
    openAbout(services, w, [&](AboutWindow& a) {
        QTest::mouseClick(a.companyLogo(), Qt::LeftButton);
        QTest::mouseClick(a.homeButton(), Qt::LeftButton);
        QTest::mouseClick(a.productLogo(), Qt::LeftButton);
        QTest::mouseClick(a.mailButton(), Qt::LeftButton);
        EXPECT_TRUE(a.isVisible());
        QTest::mouseClick(a.closeButton(), Qt::LeftButton);
        EXPECT_FALSE(a.isVisible());
    });
    ASSERT_EQ(services.links.size(), 4u);
    EXPECT_EQ(services.links[0], links::kCompanyHome);
    EXPECT_EQ(services.links[1], links::kCompanyHome);
    EXPECT_EQ(services.links[2], links::kProductHome);
    EXPECT_EQ(services.links[3], links::kSupportMail);
}

TEST_F(About, AnEmptyTableStillShowsTheProductNameAndLogos)
{
    MainWindow& w = open();
    openAbout(services, w, [&](AboutWindow& a) {
        EXPECT_TRUE(a.windowTitle().isEmpty());
        EXPECT_TRUE(a.versionLabel()->text().isEmpty());
        EXPECT_TRUE(a.closeButton()->text().isEmpty());
        EXPECT_EQ(a.productLabel()->text(), QStringLiteral("ZORVIKA"));
        EXPECT_FALSE(a.productLogo()->pixmap().isNull());
    });
}

} // namespace
} // namespace zorvika::test
