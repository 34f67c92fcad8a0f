#pragma once
// The utility component as the windows use it: the file dialogs, opening a
// link, finding a window by its title, message boxes and showing a window
// modally. The program uses the Qt implementation (qt_utility.h); tests and
// the benchmark answer through the recording one (recording_utility.h).
#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

namespace zorvika {

enum class MessageIcon { None, Information, Exclamation, Warning };

// The window style of every link: maximised.
inline constexpr int kMaximised = 3;

class Utility {
public:
    virtual ~Utility() = default;
    // The chosen paths, or an empty list when the user cancels.
    virtual QStringList ShowOpenDialog(QWidget* owner, const QString& title, const QString& filter, QString& fileName,
                                       qint16& option) = 0;
    // The whole path to write, or the empty text when the user cancels.
    virtual QString ShowSaveDialog(QWidget* owner, const QString& title, const QString& initialName,
                                   const QString& filter, int option, const QString& defaultExtension) = 0;
    virtual int OpenDocument(const QString& target, int windowStyle) = 0;
    // 1 or more when a top-level window of the program has exactly this title.
    virtual int FindWindowByTitle(const QString& title) = 0;
    // A message box with an OK button and the program's title.
    virtual void ShowMessage(QWidget* owner, const QString& text, MessageIcon icon) = 0;
    // A question box with Yes and No, No the default: true only for Yes.
    virtual bool AskQuestion(QWidget* owner, const QString& text) = 0;
    // Shows the window modally and returns when it is closed.
    virtual void ShowModal(QDialog& dialog) = 0;
};

// The file-type filter: descriptions and patterns joined by NUL characters.
QString joinFilter(const QStringList& descriptionsAndPatterns);
// The same filter as Qt's dialogs take it: one "description (patterns)" entry
// per file type; "*.*" stands for every file.
QStringList qtFilterList(const QString& nulJoinedFilter);

// The extensions of a filter's types, in order ("" for a type such as every file).
QStringList filterExtensions(const QString& nulJoinedFilter);

// The number of visible top-level windows with exactly this title.
int countTopLevelWindows(const QString& title);
// The first visible top-level window with exactly this title, or null.
QWidget* findTopLevelWindow(const QString& title);

// The program's title of message boxes.
QString messageBoxTitle();

} // namespace zorvika
