#pragma once
// What the program's secondary windows (about, history, growth, procedures)
// share: the context they are given, the window font and icon, the layout
// at the design size (fixed, or growing with the window), the buttons of
// their rows, F1 for the help and Ctrl+E for the window's export.
#include "desktop/desktop_context.h"
#include "widgets/design_layout.h"

#include <QDialog>

#include <functional>
#include <string_view>

namespace zorvika {

class IconButton;

class ProgramDialog : public QDialog {
    Q_OBJECT
public:
    enum class Sizing { Fixed, Grows };

    // The client size at which the layout shows the design.
    QSize designSize() const { return layout_->designSize(); }
    DesktopContext& context() const { return context_; }

protected:
    ProgramDialog(DesktopContext& context, QWidget* parent, QSize design, Sizing sizing);

    QString text(std::string_view key) const { return context_.text(key); }
    DesignLayout* designLayout() const { return layout_; }
    // Puts `widget` at `place` (pixels at the design size) in the window's layout.
    void place(QWidget* widget, QRect place, Follows follows = Follow::None,
               std::function<int()> neededWidth = {});
    // A button of the window at `place`: its icon, its caption (or, with
    // `iconOnly`, its tooltip) from the message table, and what a click does.
    IconButton* addButton(QRect place, const char* icon, std::string_view captionKey,
                          const std::function<void()>& onClick, Follows follows = Follow::None, bool iconOnly = false);
    // Called when the controls are made: the command keys (F1 the help,
    // Ctrl+E `exportKey` when given) and the Tab order.
    void finishControls(const std::function<void()>& exportKey = {});
    // Lays the window out again at once, after a control's content changed its needed width.
    void relayout();
    // Runs a command of this window; an error it raises is told in a warning box.
    void run(const std::function<void()>& command) { context_.runCommand(this, command); }

private:
    DesktopContext& context_;
    DesignLayout* layout_;
};

} // namespace zorvika
