#include "components/qt_utility.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace zorvika {

QStringList QtUtility::ShowOpenDialog(QWidget* owner, const QString& title, const QString& filter, QString& fileName,
                                      qint16&)
{
    QFileDialog dialog(owner, title, fileName);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(qtFilterList(filter));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString QtUtility::ShowSaveDialog(QWidget* owner, const QString& title, const QString& initialName,
                                  const QString& filter, int, const QString& defaultExtension)
{
    QFileDialog dialog(owner, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(qtFilterList(filter));
    dialog.setDefaultSuffix(defaultExtension);
    dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

int QtUtility::OpenDocument(const QString& target, int)
{
    return QDesktopServices::openUrl(QUrl(target, QUrl::TolerantMode)) ? 1 : 0;
}

int QtUtility::FindWindowByTitle(const QString& title) { return countTopLevelWindows(title); }

void QtUtility::ShowMessage(QWidget* owner, const QString& text, MessageIcon icon)
{
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    switch (icon) {
    case MessageIcon::None: boxIcon = QMessageBox::NoIcon; break;
    case MessageIcon::Information: boxIcon = QMessageBox::Information; break;
    case MessageIcon::Exclamation:
    case MessageIcon::Warning: boxIcon = QMessageBox::Warning; break;
    }
    QMessageBox box(boxIcon, messageBoxTitle(), text, QMessageBox::Ok, owner);
    box.exec();
}

void QtUtility::ShowModal(QDialog& dialog) { dialog.exec(); }

} // namespace zorvika
