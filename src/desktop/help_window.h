#pragma once
// The program's own help: the HTML help beside the program in a window
// titled "ZORVIKA Help".
#include <QWidget>

#include <filesystem>

class QTextBrowser;

namespace zorvika {

inline constexpr const char* kHelpTitle = "ZORVIKA Help";

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // Shows `page`; when there is none, `missingText` and the page's path.
    HelpWindow(const std::filesystem::path& page, const QString& missingText);
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

} // namespace zorvika
