#pragma once
// Qt's own texts (the buttons and labels of its dialogs and message boxes)
// in the language that the message table names under "LANGUAGE".
#include <QTranslator>

#include <memory>

namespace zorvika {

class MessageTable;

// Installs Qt's translations for the table's language ("de"), found where
// Qt keeps them, for as long as the returned translator lives; English, an
// empty key or a language without them leaves Qt's texts English (null).
std::unique_ptr<QTranslator> installQtTranslations(const MessageTable& messages);

} // namespace zorvika
