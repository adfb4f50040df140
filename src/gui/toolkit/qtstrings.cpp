#include "toolkit/qtstrings.h"

#include "text/codepage.h"

#include <QByteArray>
#include <QFile>

namespace pelkorl {

QString textFromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string utf8FromText(const QString& text) {
    return text.toStdString();
}

QString textFromCp1257(std::string_view bytes) {
    return textFromUtf8(cp1257ToUtf8(bytes));
}

std::string cp1257FromText(const QString& text) {
    return utf8ToCp1257(utf8FromText(text));
}

QString textFromBytes(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string bytesFromText(const QString& text) {
    return text.toLatin1().toStdString();
}

QString textFromPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

std::filesystem::path pathFromText(const QString& text) {
#ifdef _WIN32
    return std::filesystem::path(text.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(text).toStdString());
#endif
}

} // namespace pelkorl
