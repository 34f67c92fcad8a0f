#pragma once
// Desktop services that never block: they answer the dialogs with the
// answers they were given, record every call, and hand modal windows to a
// script instead of running them.
#include "widgets/desktop_services.h"

#include <deque>
#include <functional>
#include <vector>

namespace zorvika {

struct RecordedMessage {
    QString text;
    MessageIcon icon;
};

struct RecordedDialog {
    QString title;
    QString proposedName;
    FileTypes types;
    int type = 0; // the save dialog's type when it opened
};

class RecordingServices final : public DesktopServices {
public:
    // The answers of the next dialogs, in order; with none left a dialog is cancelled.
    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    // The type the user selects in each save dialog answered; none: the type it opened with.
    std::deque<int> saveTypes;
    // The answers of the next questions (true: Yes); with none left the answer is No.
    std::deque<bool> questionAnswers;
    // What openLink answers: true when the desktop opened the target.
    bool linkOpens = true;
    // Runs while a modal window is "open"; the window is shown before and
    // closed after it. Without one, the window is shown and closed at once.
    std::function<void(QDialog&)> onModal;
    // When set, countWindowsTitled answers this instead of looking.
    std::function<int(const QString&)> windowCount;

    std::vector<RecordedDialog> openDialogs;
    std::vector<RecordedDialog> saveDialogs;
    std::vector<QString> links;
    std::vector<QString> countedTitles;
    std::vector<RecordedMessage> messages;
    std::vector<QString> questions;
    int modalCount = 0;

    QString chooseFileToOpen(QWidget* owner, const QString& title, const FileTypes& types) override;
    QString chooseFileToSave(QWidget* owner, const QString& title, const QString& proposedName,
                             const FileTypes& types, int& type) override;
    bool openLink(const QString& target) override;
    int countWindowsTitled(const QString& title) override;
    void showMessage(QWidget* owner, const QString& text, MessageIcon icon) override;
    bool askQuestion(QWidget* owner, const QString& text) override;
    void showModal(QDialog& dialog) override;
};

} // namespace zorvika
