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
    HelpWindow(const std::filesystem::path& helpFile, QWidget* owner);
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

} // namespace zorvika
