#pragma once
// Converting between the library's UTF-8 texts and paths and Qt's strings.
#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

namespace zorvika {

inline QString qtext(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }
inline std::string utf8(const QString& text) { return text.toStdString(); }

// A path as the file system names it (the local 8-bit encoding of file names).
std::filesystem::path localPath(const QString& path);
QString qpath(const std::filesystem::path& path);

} // namespace zorvika
