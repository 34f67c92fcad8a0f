#pragma once
// The utility component on the desktop: Qt's file dialogs and message boxes,
// links handed to the desktop, modal windows run in their own event loop.
#include "components/utility.h"

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
    void ShowModal(QDialog& dialog) override;
};

} // namespace zorvika
