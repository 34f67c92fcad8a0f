#pragma once
// What the windows ask of the desktop: the file dialogs, handing a link to
// the desktop, counting the program's windows by title, message boxes and
// running a window modally. The program uses the Qt implementation
// (qt_desktop_services.h); tests and the benchmark answer through a
// recording one that never blocks.
#include <QList>
#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

namespace zorvika {

enum class MessageIcon { None, Information, Warning };

// One entry of a file dialog's type list.
struct FileType {
    QString description; // "Comma separated values"
    QString patterns;    // "*.csv"; "*.vbp *.vbg"; "*.*" for every file
    bool operator==(const FileType&) const = default;
};
using FileTypes = QList<FileType>;

class DesktopServices {
public:
    virtual ~DesktopServices() = default;
    // The chosen file, or the empty text when the user cancels.
    virtual QString chooseFileToOpen(QWidget* owner, const QString& title, const FileTypes& types) = 0;
    // The whole path to write, or the empty text when the user cancels. The
    // dialog opens with type `type` selected and the proposed name carrying
    // that type's extension; `type` then holds the type the user left
    // selected.
    virtual QString chooseFileToSave(QWidget* owner, const QString& title, const QString& proposedName,
                                     const FileTypes& types, int& type) = 0;
    // Hands a web or mail link to the desktop; false when nothing opened it.
    virtual bool openLink(const QString& target) = 0;
    // How many visible top-level windows of the program have exactly this title.
    virtual int countWindowsTitled(const QString& title) = 0;
    // A message box with an OK button and the program's title.
    virtual void showMessage(QWidget* owner, const QString& text, MessageIcon icon) = 0;
    // A question box with Yes and No, No the default: true only for Yes.
    virtual bool askQuestion(QWidget* owner, const QString& text) = 0;
    // Shows the window modally and returns when it is closed.
    virtual void showModal(QDialog& dialog) = 0;
};

// The types as Qt's file dialogs take them: "description (patterns)", "*.*"
// standing for every file.
QStringList qtNameFilters(const FileTypes& types);
// The extension of each type, in order ("" for a type such as every file).
QStringList typeExtensions(const FileTypes& types);

// The first visible top-level window with exactly this title, or null.
QWidget* findTopLevelWindow(const QString& title);
// The number of visible top-level windows with exactly this title.
int countTopLevelWindows(const QString& title);

// The title of the program's message boxes.
QString messageBoxTitle();

} // namespace zorvika
