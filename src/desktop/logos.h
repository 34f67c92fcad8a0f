#pragma once
// ZORVIKA's pictures: the application icon (resources/icons, the windows'
// icon and the product logo at any size) and the 141 by 56 company logo of
// the about window, drawn by the program around it.
#include <QIcon>
#include <QPixmap>

namespace zorvika {

QPixmap productLogo(int size = 48);
QPixmap companyLogo();
QIcon productIcon();

} // namespace zorvika
