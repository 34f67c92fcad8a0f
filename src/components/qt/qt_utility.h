#pragma once
// The utility component on the desktop: Qt's file dialogs and message boxes,
// links handed to the desktop, modal windows run in their own event loop.
// Both file dialogs open in the folder where the user last chose a file in
// this run of the program.
#include "components/qt/utility.h"

#include <functional>

namespace zorvika {

class QtUtility final : public Utility {
public:
    QStringList ShowOpenDialog(QWidget* owner, const QString& title, const QString& filter, QString& fileName,
                               qint16& option) override;
    QString ShowSaveDialog(QWidget* owner, const QString& title, const QString& initialName, const QString& filter,
                           int option, const QString& defaultExtension) override;
    int OpenDocument(const QString& target, int windowStyle) override;
    int FindWindowByTitle(const QString& title) override;
    void ShowMessage(QWidget* owner, const QString& text, MessageIcon icon) override;
    bool AskQuestion(QWidget* owner, const QString& text) override;
    void ShowModal(QDialog& dialog) override;

    // When set, every dialog and window this component runs (file dialogs,
    // message boxes, modal windows) is shown and handed to `script` instead
    // of running its own event loop; what the script leaves is the result,
    // and a dialog still open afterwards is cancelled. Tests drive the real
    // dialogs with it.
    std::function<void(QDialog&)> script;
    // When set, OpenDocument hands the target to it instead of the desktop.
    std::function<bool(const QString&)> openUrl;

private:
    int run(QDialog& dialog);

    QString openFolder_;
    QString saveFolder_;
};

} // namespace zorvika
