#pragma once
// Boxes whose text may be wider than they are: the whole text shows as the
// box's tooltip whenever it does not fit, and a drop-down list opens as wide
// as its widest entry.
class QComboBox;
class QLineEdit;

namespace zorvika {

void tipWhenCut(QLineEdit* box);
void tipWhenCut(QComboBox* box);

// The width the box needs to show its whole current text.
int neededWidth(const QLineEdit* box);
int neededWidth(const QComboBox* box);

// True when the box shows only part of its text.
bool textIsCut(const QLineEdit* box);
bool textIsCut(const QComboBox* box);

} // namespace zorvika
