#include "desktop/import_dialog.h"

#include "base/message_keys.h"

#include "desktop/desktop_context.h"
#include "widgets/gui_font.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QRadioButton>
#include <QSpinBox>

namespace zorvika {

ImportDialog::ImportDialog(const DesktopContext& context, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(context.text(keys::ImportTitle));
    setFont(windowFont());
    tags_ = new QRadioButton(context.text(keys::ImportTags), this);
    commits_ = new QRadioButton(context.text(keys::ImportEvery), this);
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

bool ImportDialog::byTags() const
{
    return tags_->isChecked();
}

int ImportDialog::everyNth() const
{
    return every_->value();
}

} // namespace zorvika
