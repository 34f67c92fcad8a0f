#include "components/qt/utility.h"

#include "components/file_types.h"

#include <QApplication>
#include <QWidget>

namespace zorvika {

QString joinFilter(const QStringList& descriptionsAndPatterns)
{
    return descriptionsAndPatterns.join(QChar(u'\0'));
}

QStringList qtFilterList(const QString& nulJoinedFilter)
{
    const QStringList parts = nulJoinedFilter.split(QChar(u'\0'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        QString pattern = parts[i + 1].trimmed();
        if (pattern.isEmpty())
            continue;
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
        // Qt reads the patterns from the parentheses at the end of an entry:
        // a description that already ends with its own patterns loses them.
        if (description.endsWith(QLatin1Char(')'))) {
            const qsizetype open = description.lastIndexOf(QLatin1Char('('));
            if (open >= 0)
                description = description.left(open).trimmed();
        }
        filters << (description.isEmpty() ? QStringLiteral("(%1)").arg(pattern)
                                          : QStringLiteral("%1 (%2)").arg(description, pattern));
    }
    return filters;
}

QStringList filterExtensions(const QString& nulJoinedFilter)
{
    const QStringList parts = nulJoinedFilter.split(QChar(u'\0'));
    QStringList extensions;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (!parts[i + 1].trimmed().isEmpty())
            extensions << QString::fromStdString(patternExtension(parts[i + 1].trimmed().toStdString()));
    }
    return extensions;
}

// The visible top-level windows with exactly this title.
static QList<QWidget*> shownWindowsTitled(const QString& title)
{
    QList<QWidget*> found;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle() == title)
            found << w;
    }
    return found;
}

QWidget* findTopLevelWindow(const QString& title)
{
    const QList<QWidget*> found = shownWindowsTitled(title);
    return found.isEmpty() ? nullptr : found.constFirst();
}

int countTopLevelWindows(const QString& title) { return static_cast<int>(shownWindowsTitled(title).size()); }

QString messageBoxTitle() { return QStringLiteral("ZORVIKA"); }

} // namespace zorvika
