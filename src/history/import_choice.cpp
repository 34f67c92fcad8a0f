#include "history/import_choice.h"

#include "shell/frm_pub_main.h"
#include "widgets/gui_font.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QRadioButton>
#include <QSpinBox>

namespace zorvika {

ImportChoice::ImportChoice(frmPubMain& main, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(main.upfGetMsg(QStringLiteral("IMPORTTITLE")));
    setFont(windowFont());
    tags_ = new QRadioButton(main.upfGetMsg(QStringLiteral("IMPORTTAGS")), this);
    commits_ = new QRadioButton(main.upfGetMsg(QStringLiteral("IMPORTEVERY")), this);
    every_ = new QSpinBox(this);
    every_->setRange(1, 100000);
    every_->setValue(10);
    tags_->setChecked(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* grid = new QGridLayout(this);
    grid->addWidget(tags_, 0, 0, 1, 2);
    grid->addWidget(commits_, 1, 0);
    grid->addWidget(every_, 1, 1);
    grid->addWidget(buttons, 2, 0, 1, 2);
}

bool ImportChoice::byTags() const
{
    return tags_->isChecked();
}

int ImportChoice::everyNth() const
{
    return every_->value();
}

} // namespace zorvika
