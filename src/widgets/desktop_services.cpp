#include "widgets/desktop_services.h"

#include "components/file_types.h"

#include <QApplication>
#include <QWidget>

namespace zorvika {

QStringList qtNameFilters(const FileTypes& types)
{
    QStringList filters;
    for (const FileType& type : types) {
        QString description = type.description.trimmed();
        QString patterns = type.patterns.trimmed();
        if (patterns.isEmpty())
            continue;
        if (patterns == QLatin1String("*.*"))
            patterns = QStringLiteral("*");
        // Qt reads the patterns from the parentheses at the end of an entry:
        // a description that already ends with its own patterns loses them.
        if (description.endsWith(QLatin1Char(')'))) {
            const qsizetype open = description.lastIndexOf(QLatin1Char('('));
            if (open >= 0)
                description = description.left(open).trimmed();
        }
        filters << (description.isEmpty() ? QStringLiteral("(%1)").arg(patterns)
                                          : QStringLiteral("%1 (%2)").arg(description, patterns));
    }
    return filters;
}

QStringList typeExtensions(const FileTypes& types)
{
    QStringList extensions;
    for (const FileType& type : types)
        if (!type.patterns.trimmed().isEmpty())
            extensions << QString::fromStdString(patternExtension(type.patterns.trimmed().toStdString()));
    return extensions;
}

namespace {

QList<QWidget*> shownWindowsTitled(const QString& title)
{
    QList<QWidget*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == title)
            found << w;
    return found;
}

} // namespace

QWidget* findTopLevelWindow(const QString& title)
{
    const QList<QWidget*> found = shownWindowsTitled(title);
    return found.isEmpty() ? nullptr : found.constFirst();
}

int countTopLevelWindows(const QString& title) { return static_cast<int>(shownWindowsTitled(title).size()); }

QString messageBoxTitle() { return QStringLiteral("ZORVIKA"); }

} // namespace zorvika
