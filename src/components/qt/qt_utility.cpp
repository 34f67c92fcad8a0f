#include "components/qt/qt_utility.h"

#include "components/file_types.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace zorvika {

namespace {

std::vector<std::string> stdList(const QStringList& texts)
{
    std::vector<std::string> out;
    for (const QString& t : texts)
        if (!t.isEmpty())
            out.push_back(t.toStdString());
    return out;
}

// The save dialog of an export: its name keeps every dot of the proposed
// name, gets or swaps only the extension of the type the user selects, and
// is written as that type when the user accepts a name without one.
class SaveDialog final : public QFileDialog {
public:
    SaveDialog(QWidget* owner, const QString& title, const QString& filter)
        : QFileDialog(owner, title), extensions_(filterExtensions(filter))
    {
        setOption(QFileDialog::DontUseNativeDialog);
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
        setNameFilters(qtFilterList(filter));
        name_ = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* types = findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        if (types) {
            // The dialog's own handling of a new type runs between these two
            // signals and takes the text after the last dot for an extension.
            connect(types, &QComboBox::currentIndexChanged, this, [this] {
                if (name_)
                    beforeChange_ = name_->text();
            });
            connect(this, &QFileDialog::filterSelected, this, [this, types] {
                if (name_)
                    name_->setText(typed(beforeChange_, types->currentIndex(), false));
            });
        }
    }

    // The proposed name, with the extension of the selected type.
    void propose(const QString& name)
    {
        const QStringList filters = nameFilters();
        const int selected = static_cast<int>(filters.indexOf(selectedNameFilter()));
        selectFile(typed(name, selected, false));
    }

    void accept() override
    {
        if (name_ && !name_->text().isEmpty()) {
            const int selected = static_cast<int>(nameFilters().indexOf(selectedNameFilter()));
            name_->setText(typed(name_->text(), selected, true));
        }
        QFileDialog::accept();
    }

private:
    QString typed(const QString& name, int type, bool keepKnown) const
    {
        const std::string extension =
            type >= 0 && type < extensions_.size() ? extensions_[type].toStdString() : std::string();
        const std::vector<std::string> known = stdList(extensions_);
        const std::string result = keepKnown ? nameWithType(name.toStdString(), extension, known)
                                             : nameForType(name.toStdString(), extension, known);
        return QString::fromStdString(result);
    }

    QStringList extensions_;
    QLineEdit* name_ = nullptr;
    QString beforeChange_;
};

QString folderOf(const QString& file) { return QFileInfo(file).absolutePath(); }

} // namespace

int QtUtility::run(QDialog& dialog)
{
    if (!script)
        return dialog.exec();
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    script(dialog);
    if (dialog.isVisible())
        dialog.reject();
    return dialog.result();
}

QStringList QtUtility::ShowOpenDialog(QWidget* owner, const QString& title, const QString& filter, QString& fileName,
                                      qint16&)
{
    QFileDialog dialog(owner, title, fileName);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(qtFilterList(filter));
    const QString folder = !openFolder_.isEmpty() ? openFolder_ : saveFolder_;
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    if (run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    openFolder_ = folderOf(dialog.selectedFiles().constFirst());
    return dialog.selectedFiles();
}

QString QtUtility::ShowSaveDialog(QWidget* owner, const QString& title, const QString& initialName,
                                  const QString& filter, int, const QString&)
{
    SaveDialog dialog(owner, title, filter);
    const QString folder = !saveFolder_.isEmpty() ? saveFolder_ : openFolder_;
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    dialog.propose(initialName);
    if (run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    saveFolder_ = folderOf(chosen);
    return chosen;
}

int QtUtility::OpenDocument(const QString& target, int)
{
    const QUrl url(target, QUrl::TolerantMode);
    const bool opened = openUrl ? openUrl(target) : QDesktopServices::openUrl(url);
    return opened ? 1 : 0;
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
    run(box);
}

bool QtUtility::AskQuestion(QWidget* owner, const QString& text)
{
    QMessageBox box(QMessageBox::Question, messageBoxTitle(), text, QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    run(box);
    return box.clickedButton() == box.button(QMessageBox::Yes);
}

void QtUtility::ShowModal(QDialog& dialog) { run(dialog); }

} // namespace zorvika
