#include "desktop/qt_language.h"

#include "base/message_keys.h"

#include "shell/message_table.h"
#include "widgets/gui_text.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace zorvika {

std::unique_ptr<QTranslator> installQtTranslations(const MessageTable& messages)
{
    const QString language = qtext(messages.get(keys::Language)).trimmed();
    if (language.isEmpty() || language.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0)
        return nullptr;
    const QLocale locale(language);
    auto translator = std::make_unique<QTranslator>();
    // Qt's own texts lie in the "translations" folder beside the program
    // where Qt is linked in (Windows), else where the system's Qt keeps them.
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), beside) &&
        !translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

} // namespace zorvika
