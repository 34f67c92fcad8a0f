#pragma once
// ZORVIKA's own button icons: SVG pictures in the program's Qt resources,
// drawn for it in one style, the same on every desktop whatever its theme.
#include <QIcon>
#include <QString>

namespace zorvika {

// The icon of that name (":/icons/<name>.svg"), drawn at 16 and 32 pixels;
// a null icon when the program has no picture of that name.
QIcon programIcon(const QString& name);

} // namespace zorvika
