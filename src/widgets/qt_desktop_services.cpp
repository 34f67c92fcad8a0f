#include "widgets/qt_desktop_services.h"

#include "base/system_paths.h"
#include "components/file_types.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
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

// Windows users expect the system's own file dialogs; elsewhere, and
// wherever a script drives the dialog as widgets, Qt's dialog is shown.
bool systemDialogs(const QtDesktopServices& services) { return kWindowsDesktop && !services.script; }

// The save dialog of an export: its name keeps every dot of the proposed
// name, gets or swaps only the extension of the type the user selects, and
// is written as that type when the user accepts a name without one. The
// system's dialog swaps the extension by its own rule; the accepted name is
// given the type's extension the same way afterwards (`acceptedName`).
class SaveDialog final : public QFileDialog {
public:
    SaveDialog(QWidget* owner, const QString& title, const FileTypes& types, bool system)
        : QFileDialog(owner, title), extensions_(typeExtensions(types))
    {
        setOption(QFileDialog::DontUseNativeDialog, !system);
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
        setNameFilters(qtNameFilters(types));
        name_ = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* typeBox = findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        if (typeBox) {
            // The dialog's own handling of a new type runs between these two
            // signals and takes the text after the last dot for an extension.
            connect(typeBox, &QComboBox::currentIndexChanged, this, [this] {
                if (name_)
                    beforeChange_ = name_->text();
            });
            connect(this, &QFileDialog::filterSelected, this, [this, typeBox] {
                if (name_)
                    name_->setText(typed(beforeChange_, typeBox->currentIndex(), false));
            });
        }
    }

    // The type selected, by its place in the list.
    int selectedType() const { return static_cast<int>(nameFilters().indexOf(selectedNameFilter())); }
    void selectType(int type)
    {
        if (type >= 0 && type < nameFilters().size())
            selectNameFilter(nameFilters().at(type));
    }

    // The proposed name, with the extension of the selected type.
    void propose(const QString& name)
    {
        const QStringList filters = nameFilters();
        const int selected = static_cast<int>(filters.indexOf(selectedNameFilter()));
        selectFile(typed(name, selected, false));
    }

    // The accepted file, with the extension of the selected type.
    QString acceptedName() const
    {
        const QFileInfo file(selectedFiles().constFirst());
        return file.dir().filePath(typed(file.fileName(), selectedType(), true));
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

int QtDesktopServices::run(QDialog& dialog)
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

QString QtDesktopServices::chooseFileToOpen(QWidget* owner, const QString& title, const FileTypes& types)
{
    QFileDialog dialog(owner, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog, !systemDialogs(*this));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(qtNameFilters(types));
    const QString folder = !openFolder_.isEmpty() ? openFolder_ : saveFolder_;
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    if (run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    openFolder_ = folderOf(chosen);
    return chosen;
}

QString QtDesktopServices::chooseFileToSave(QWidget* owner, const QString& title, const QString& proposedName,
                                            const FileTypes& types, int& type)
{
    SaveDialog dialog(owner, title, types, systemDialogs(*this));
    const QString folder = !saveFolder_.isEmpty() ? saveFolder_ : openFolder_;
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    dialog.selectType(type);
    dialog.propose(proposedName);
    if (run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    type = dialog.selectedType();
    const QString chosen = dialog.acceptedName();
    saveFolder_ = folderOf(chosen);
    return chosen;
}

bool QtDesktopServices::openLink(const QString& target)
{
    return openUrl ? openUrl(target) : QDesktopServices::openUrl(QUrl(target, QUrl::TolerantMode));
}

int QtDesktopServices::countWindowsTitled(const QString& title) { return countTopLevelWindows(title); }

void QtDesktopServices::showMessage(QWidget* owner, const QString& text, MessageIcon icon)
{
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    switch (icon) {
    case MessageIcon::None: boxIcon = QMessageBox::NoIcon; break;
    case MessageIcon::Information: boxIcon = QMessageBox::Information; break;
    case MessageIcon::Warning: boxIcon = QMessageBox::Warning; break;
    }
    QMessageBox box(boxIcon, messageBoxTitle(), text, QMessageBox::Ok, owner);
    run(box);
}

bool QtDesktopServices::askQuestion(QWidget* owner, const QString& text)
{
    QMessageBox box(QMessageBox::Question, messageBoxTitle(), text, QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    run(box);
    return box.clickedButton() == box.button(QMessageBox::Yes);
}

void QtDesktopServices::showModal(QDialog& dialog) { run(dialog); }

} // namespace zorvika
