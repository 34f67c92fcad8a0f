#pragma once
// The desktop services done with Qt: Qt's file dialogs and message boxes,
// links handed to the desktop, modal windows run in their own event loop.
// Both file dialogs open in the folder where the user last chose a file in
// this run of the program.
#include "widgets/desktop_services.h"

#include <functional>

namespace zorvika {

class QtDesktopServices final : public DesktopServices {
public:
    QString chooseFileToOpen(QWidget* owner, const QString& title, const FileTypes& types) override;
    QString chooseFileToSave(QWidget* owner, const QString& title, const QString& proposedName,
                             const FileTypes& types, int& type) override;
    bool openLink(const QString& target) override;
    int countWindowsTitled(const QString& title) override;
    void showMessage(QWidget* owner, const QString& text, MessageIcon icon) override;
    bool askQuestion(QWidget* owner, const QString& text) override;
    void showModal(QDialog& dialog) override;

    // When set, every dialog and window this runs (file dialogs, message
    // boxes, modal windows) is shown and handed to `script` instead of
    // running its own event loop; what the script leaves is the result, and
    // a dialog still open afterwards is cancelled. Tests drive the real
    // dialogs with it.
    std::function<void(QDialog&)> script;
    // When set, openLink hands the target to it instead of the desktop.
    std::function<bool(const QString&)> openUrl;

private:
    int run(QDialog& dialog);

    QString openFolder_;
    QString saveFolder_;
};

} // namespace zorvika
