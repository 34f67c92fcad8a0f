#pragma once
// Geometry and fonts of the windows: positions are laid out in twips (15 to
// a device-independent pixel) and the texts use Tahoma 8.25 pt where it is
// installed, else the system's sans-serif font at the same size.
#include <QFont>
#include <QRect>

class QDialog;

namespace zorvika {

constexpr int kTwipsPerPixel = 15;

constexpr int px(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }
inline QRect twipRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}
// Hundredths of a millimetre to pixels at 96 dots per inch.
constexpr int pxFromHundredthsMm(int value) { return (value * 96 + 1270) / 2540; }

// Makes Tahoma available when the system has the file but not the family,
// once per program.
void loadWindowFonts();
QFont windowFont(bool bold = false);

// A secondary window: a dialog with a title and a close button, no size
// grip, its client area fixed at `client`, in the window font.
void makeFixedDialog(QDialog& dialog, QSize client);
// The family the windows use: "Tahoma" or the system's sans-serif family.
QString windowFontFamily();

} // namespace zorvika
