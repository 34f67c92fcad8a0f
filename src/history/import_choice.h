#pragma once
// Which revisions an import from a git repository takes: every tagged one,
// or every N-th commit of the current branch.
#include <QDialog>

class QRadioButton;
class QSpinBox;

namespace zorvika {

class frmPubMain;

class ImportChoice : public QDialog {
    Q_OBJECT
public:
    explicit ImportChoice(frmPubMain& main, QWidget* parent);

    QRadioButton* tags() const { return tags_; }
    QRadioButton* commits() const { return commits_; }
    QSpinBox* every() const { return every_; }
    bool byTags() const;
    int everyNth() const;

private:
    QRadioButton* tags_ = nullptr;
    QRadioButton* commits_ = nullptr;
    QSpinBox* every_ = nullptr;
};

} // namespace zorvika
