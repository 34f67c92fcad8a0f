#pragma once
// ZORVIKA's own button icons: PNG pictures in the program's Qt resources,
// rendered from the SVG sources in resources/icons by scripts/render-icons.sh,
// drawn for it in one style, the same on every desktop whatever its theme.
#include <QIcon>
#include <QString>

namespace zorvika {

// The icon of that name: ":/icons/<name>.png" at 16 pixels, the size the
// buttons show, and ":/icons/<name>@2x.png" at 32 for a device pixel ratio
// of 2; a null icon when the program has no picture of that name.
QIcon programIcon(const QString& name);

} // namespace zorvika
