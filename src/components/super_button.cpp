#include "components/super_button.h"

#include <QStyle>

namespace zorvika {

SuperButton::SuperButton(int index, QWidget* parent) : QPushButton(parent), index_(index)
{
    setAutoDefault(false);
    setIconSize(QSize(16, 16));
    connect(this, &QPushButton::clicked, this, [this] { emit clickedIndex(index_); });
}

void SuperButton::setThemeIcon(const char* themeName, int standardPixmap)
{
    const QIcon fallback = style()->standardIcon(static_cast<QStyle::StandardPixmap>(standardPixmap));
    setIcon(QIcon::fromTheme(QString::fromLatin1(themeName), fallback));
}

} // namespace zorvika
