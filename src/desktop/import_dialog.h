#pragma once
// Which revisions an import from a git repository takes: every tagged one,
// or every N-th commit of the current branch.
#include <QDialog>

class QRadioButton;
class QSpinBox;

namespace zorvika {

class DesktopContext;

class ImportDialog : public QDialog {
    Q_OBJECT
public:
    ImportDialog(const DesktopContext& context, QWidget* parent);

    QRadioButton* tagsChoice() const { return tags_; }
    QRadioButton* commitsChoice() const { return commits_; }
    QSpinBox* everyBox() const { return every_; }
    bool byTags() const;
    int everyNth() const;

private:
    QRadioButton* tags_ = nullptr;
    QRadioButton* commits_ = nullptr;
    QSpinBox* every_ = nullptr;
};

} // namespace zorvika
