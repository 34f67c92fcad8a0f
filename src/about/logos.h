#pragma once
// ZORVIKA's pictures, drawn by the program: the 48 by 48 product logo (also
// the windows' icon) and the 141 by 56 company logo of the about window.
#include <QIcon>
#include <QPixmap>

namespace zorvika {

QPixmap productLogo(int size = 48);
QPixmap companyLogo();
QIcon productIcon();

} // namespace zorvika
