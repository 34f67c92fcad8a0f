#include "desktop/help_window.h"

#include "desktop/logos.h"

#include "widgets/gui_text.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace zorvika {

HelpWindow::HelpWindow(const std::filesystem::path& page, const QString& missingText)
    : QWidget(nullptr, Qt::Window), browser_(new QTextBrowser(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(productIcon());
    setWindowTitle(QString::fromLatin1(kHelpTitle));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setOpenExternalLinks(true);
    const QString file = qpath(page);
    if (QFileInfo(file).isFile()) {
        browser_->setSource(QUrl::fromLocalFile(file));
    } else {
        // The viewer itself tells that the help is missing.
        browser_->setPlainText(missingText + QLatin1Char('\n') + file);
    }
    resize(720, 560);
}

} // namespace zorvika
