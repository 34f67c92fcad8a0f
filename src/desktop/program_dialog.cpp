#include "desktop/program_dialog.h"

#include "desktop/logos.h"
#include "widgets/gui_font.h"
#include "widgets/icon_button.h"
#include "widgets/window_keys.h"

namespace zorvika {

ProgramDialog::ProgramDialog(DesktopContext& context, QWidget* parent, QSize design, Sizing sizing)
    : QDialog(parent), context_(context), layout_(new DesignLayout(this, design))
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (sizing == Sizing::Fixed) {
        flags |= Qt::MSWindowsFixedSizeDialogHint;
        layout_->setSizeConstraint(QLayout::SetFixedSize);
    } else {
        flags |= Qt::WindowMaximizeButtonHint;
        setSizeGripEnabled(true);
    }
    setWindowFlags(flags);
    setFont(windowFont());
    setWindowIcon(productIcon());
    resize(design);
}

void ProgramDialog::place(QWidget* widget, QRect place, Follows follows, std::function<int()> neededWidth)
{
    layout_->addWidget(widget, place, follows, std::move(neededWidth));
}

IconButton* ProgramDialog::addButton(QRect place, const char* icon, std::string_view captionKey,
                                     const std::function<void()>& onClick, Follows follows, bool iconOnly)
{
    auto* button = new IconButton(icon, this);
    button->setFont(windowFont());
    if (iconOnly)
        button->setIconOnlyText(text(captionKey));
    else
        button->setText(text(captionKey));
    connect(button, &QPushButton::clicked, this, [this, onClick] { run(onClick); });
    layout_->addWidget(button, place, follows);
    return button;
}

void ProgramDialog::relayout()
{
    layout_->invalidate();
    layout_->activate();
}

void ProgramDialog::finishControls(const std::function<void()>& exportKey)
{
    addCommandKey(this, QKeySequence(Qt::Key_F1), [this] { context_.openHelp(this); });
    if (exportKey)
        addCommandKey(this, QKeySequence(Qt::CTRL | Qt::Key_E), [this, exportKey] { run(exportKey); });
    layout_->activate();
    setReadingTabOrder(this);
}

} // namespace zorvika
