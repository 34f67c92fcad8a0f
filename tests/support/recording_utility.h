#pragma once
// A utility component that never blocks: it answers the dialogs with the
// answers it was given, records every call, and hands modal windows to a
// script instead of running them.
#include "components/qt/utility.h"

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
    QString initialName;
    QString filter;
    QString defaultExtension;
};

class RecordingUtility final : public Utility {
public:
    // The answers of the next dialogs, in order; with none left a dialog is cancelled.
    std::deque<QStringList> openAnswers;
    std::deque<QString> saveAnswers;
    // The answers of the next questions (true: Yes); with none left the answer is No.
    std::deque<bool> questionAnswers;
    // What OpenDocument answers: 1 when the desktop opened the target, 0 when it could not.
    int documentResult = 1;
    // Runs while a modal window is "open"; the window is shown before and
    // closed after it. Without one, the window is shown and closed at once.
    std::function<void(QDialog&)> onModal;
    // When set, FindWindowByTitle answers this instead of looking.
    std::function<int(const QString&)> findWindow;

    std::vector<RecordedDialog> openDialogs;
    std::vector<RecordedDialog> saveDialogs;
    std::vector<QString> documents;
    std::vector<int> documentStyles;
    std::vector<QString> findTitles;
    std::vector<RecordedMessage> messages;
    std::vector<QString> questions;
    int modalCount = 0;

    QStringList ShowOpenDialog(QWidget* owner, const QString& title, const QString& filter, QString& fileName,
                               qint16& option) override;
    QString ShowSaveDialog(QWidget* owner, const QString& title, const QString& initialName, const QString& filter,
                           int option, const QString& defaultExtension) override;
    int OpenDocument(const QString& target, int windowStyle) override;
    int FindWindowByTitle(const QString& title) override;
    void ShowMessage(QWidget* owner, const QString& text, MessageIcon icon) override;
    bool AskQuestion(QWidget* owner, const QString& text) override;
    void ShowModal(QDialog& dialog) override;
};

} // namespace zorvika
