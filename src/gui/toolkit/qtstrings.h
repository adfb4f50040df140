#pragma once
// Text crossing between the core and Qt, in one place: UTF-8 strings (the string table,
// layouts' captions), Windows-1257 record bytes, raw byte texts and file paths.
#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

namespace pelkorl {

QString textFromUtf8(std::string_view utf8);
std::string utf8FromText(const QString& text);

// Record texts of the record-keeping program's files.
QString textFromCp1257(std::string_view bytes);
// Characters the code page lacks become '?'.
std::string cp1257FromText(const QString& text);

// One character per byte and back (inch values are kept as the bytes typed), so every
// byte reaches the widget and returns unchanged; characters beyond U+00FF become '?'.
QString textFromBytes(std::string_view bytes);
std::string bytesFromText(const QString& text);

// Paths as Qt names files: the native encoding, never throwing on a name that is not
// valid UTF-8.
QString textFromPath(const std::filesystem::path& path);
std::filesystem::path pathFromText(const QString& text);

} // namespace pelkorl
