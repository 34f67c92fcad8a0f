// Every button icon's SVG source is shipped as its PNG renders, at the
// size the buttons show and at twice that.
#include "widgets/icons.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>

namespace zorvika::test {
namespace {

TEST(ProgramIcon, EverySourceIsShippedAtTheButtonsSizeAndTwiceIt)
{
    int sources = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(ZORVIKA_SOURCE_DIR) / "resources/icons")) {
        const std::string name = entry.path().stem().string();
        if (entry.path().extension() != ".svg" || name == "zorvika") // the application icon has its own sizes
            continue;
        ++sources;
        SCOPED_TRACE(name);
        const QIcon icon = programIcon(QString::fromStdString(name));
        ASSERT_FALSE(icon.isNull()) << "render it with scripts/render-icons.sh and list it in resources/icons.qrc";
        EXPECT_EQ(QImage(QStringLiteral(":/icons/%1.png").arg(QString::fromStdString(name))).size(), QSize(16, 16));
        EXPECT_EQ(QImage(QStringLiteral(":/icons/%1@2x.png").arg(QString::fromStdString(name))).size(), QSize(32, 32));
        // A screen of device pixel ratio 2 shows the larger picture, not the small one scaled up.
        EXPECT_EQ(icon.pixmap(QSize(16, 16), 2.0).size(), QSize(32, 32));
        EXPECT_EQ(icon.pixmap(QSize(16, 16), 1.0).size(), QSize(16, 16));
    }
    EXPECT_GT(sources, 0);
    EXPECT_TRUE(programIcon(QStringLiteral("no-such-icon")).isNull());
}

} // namespace
} // namespace zorvika::test
