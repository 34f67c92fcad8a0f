#pragma once
// The keyboard of the windows: command keys, and a Tab order that reads the
// window's layout top to bottom and, within a row, left to right.
#include <QKeySequence>

#include <functional>

class QWidget;

namespace zorvika {

// `keys` anywhere in `window` runs `command`, whichever of its controls has
// the focus: a control that would take the keys for itself (a text box's
// Ctrl+E) leaves them to the command. Call it when the window's controls are
// made.
void addCommandKey(QWidget* window, const QKeySequence& keys, const std::function<void()>& command);

// Orders Tab through every control of `window` that takes the focus by Tab:
// rows from the top, controls of one row (their tops within half the
// height of the row's first control) from the left.
void setReadingTabOrder(QWidget* window);

} // namespace zorvika
