#include "widgets/gui_text.h"

#include <QFile>

namespace zorvika {

std::filesystem::path localPath(const QString& path)
{
    const QByteArray bytes = QFile::encodeName(path);
    return std::filesystem::path(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

QString qpath(const std::filesystem::path& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

} // namespace zorvika
