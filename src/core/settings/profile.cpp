#include "settings/profile.h"

#include "records/fileio.h"
#include "settings/atomicfile.h"
#include "text/trim.h"

#include <cstdint>
#include <optional>

namespace pelkorl {
namespace {

namespace fs = std::filesystem;

// Blanks as the profile services see them; ^Z is an old end-of-file mark.
constexpr std::string_view PROFILE_BLANKS = " \t\r\n\v\f\x1a";

bool isBlank(char c) {
    return PROFILE_BLANKS.find(c) != std::string_view::npos;
}

std::string_view trim(std::string_view text) {
    return trimmed(text, PROFILE_BLANKS);
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

// One line of the file: [begin, contentEnd) is its text, [contentEnd, end) its line end.
struct Line {
    std::size_t begin = 0;
    std::size_t contentEnd = 0;
    std::size_t end = 0;
};

class LineReader {
public:
    explicit LineReader(std::string_view bytes) : bytes_(bytes) {}

    bool next(Line& line) {
        if (pos_ >= bytes_.size())
            return false;
        line.begin = pos_;
        const std::size_t newline = bytes_.find('\n', pos_);
        if (newline == std::string_view::npos) {
            line.contentEnd = line.end = bytes_.size();
        } else {
            line.contentEnd = newline > pos_ && bytes_[newline - 1] == '\r' ? newline - 1 : newline;
            line.end = newline + 1;
        }
        pos_ = line.end;
        return true;
    }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

enum class LineKind { Blank, Comment, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Blank;
    std::string_view name; // section or key name, trimmed
    bool hasValue = false; // the key line has a '='
    std::string_view value;
};

constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";

ParsedLine parseLine(std::string_view bytes, const Line& line) {
    std::string_view text = bytes.substr(line.begin, line.contentEnd - line.begin);
    if (line.begin == 0 && text.substr(0, BYTE_ORDER_MARK.size()) == BYTE_ORDER_MARK)
        text.remove_prefix(BYTE_ORDER_MARK.size());
    text = trim(text);
    ParsedLine parsed;
    if (text.empty())
        return parsed;
    if (text.front() == ';') {
        parsed.kind = LineKind::Comment;
        return parsed;
    }
    if (text.front() == '[') {
        const std::size_t close = text.rfind(']');
        if (close != std::string_view::npos) {
            parsed.kind = LineKind::Section;
            parsed.name = trim(text.substr(1, close - 1));
            return parsed;
        }
    }
    parsed.kind = LineKind::Key;
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        parsed.name = text;
        return parsed;
    }
    parsed.name = trim(text.substr(0, equals));
    parsed.hasValue = true;
    parsed.value = trim(text.substr(equals + 1));
    return parsed;
}

struct Lookup {
    bool sectionFound = false;
    bool keyFound = false;
    ParsedLine key;
    Line keyLine;
    // After the last non-blank line of the section (its header at least).
    std::size_t insertAt = 0;
    bool insertNeedsLineEnd = false;
};

// Finds `key` in the first section named `section`; both already trimmed.
Lookup find(std::string_view bytes, std::string_view section, std::string_view key) {
    Lookup lookup;
    LineReader reader(bytes);
    Line line;
    bool inSection = false;
    while (reader.next(line)) {
        const ParsedLine parsed = parseLine(bytes, line);
        if (parsed.kind == LineKind::Section) {
            if (inSection)
                break;
            if (sameName(parsed.name, section)) {
                lookup.sectionFound = inSection = true;
                lookup.insertAt = line.end;
                lookup.insertNeedsLineEnd = line.end == line.contentEnd;
            }
            continue;
        }
        if (!inSection || parsed.kind == LineKind::Blank)
            continue;
        lookup.insertAt = line.end;
        lookup.insertNeedsLineEnd = line.end == line.contentEnd;
        if (parsed.kind == LineKind::Key && !key.empty() && sameName(parsed.name, key)) {
            lookup.keyFound = true;
            lookup.key = parsed;
            lookup.keyLine = line;
            break;
        }
    }
    return lookup;
}

bool enclosedInQuotes(std::string_view value) {
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
           value.back() == value.front();
}

// A value as read from its line (already trimmed), as the caller sees it.
std::string_view storedValue(std::string_view value) {
    // Callers of the services get C strings: a NUL ends the value.
    value = value.substr(0, value.find('\0'));
    if (enclosedInQuotes(value))
        value = value.substr(1, value.size() - 2);
    return value;
}

// The text that reads back as `value`: reading trims blanks and strips a pair of quotes,
// so a value that either would change goes inside a pair of quotes of its own.
std::string valueText(std::string_view value) {
    if (!value.empty() &&
        (isBlank(value.front()) || isBlank(value.back()) || enclosedInQuotes(value)))
        return "\"" + std::string(value) + "\"";
    return std::string(value);
}

// The stored value of a key, as the caller sees it; nothing when there is none.
std::optional<std::string> readValue(std::string_view bytes, std::string_view section,
                                     std::string_view key) {
    const Lookup lookup = find(bytes, trim(section), trim(key));
    if (!lookup.keyFound || !lookup.key.hasValue)
        return std::nullopt;
    return std::string(storedValue(lookup.key.value));
}

std::string_view lineEndOf(std::string_view bytes) {
    const std::size_t newline = bytes.find('\n');
    if (newline == std::string_view::npos)
        return "\r\n";
    return newline > 0 && bytes[newline - 1] == '\r' ? "\r\n" : "\n";
}

bool holdsAny(std::string_view text, std::string_view characters) {
    return text.find_first_of(characters) != std::string_view::npos;
}

constexpr std::string_view LINE_BREAK_OR_NUL{"\r\n\0", 3};

bool writable(std::string_view section, std::string_view key, std::string_view value) {
    if (section.empty() || key.empty())
        return false;
    if (holdsAny(section, LINE_BREAK_OR_NUL) || holdsAny(section, "]"))
        return false;
    if (holdsAny(key, LINE_BREAK_OR_NUL) || holdsAny(key, "=") || key.front() == ';' ||
        key.front() == '[')
        return false;
    return !holdsAny(value, LINE_BREAK_OR_NUL);
}

ProfileWrite writeOutcome(WriteResult result) {
    switch (result) {
    case WriteResult::Written:
        return ProfileWrite::Written;
    case WriteResult::NotRegular:
        return ProfileWrite::Unreadable;
    case WriteResult::CannotCreate:
        return ProfileWrite::CannotCreate;
    case WriteResult::CannotWrite:
        return ProfileWrite::CannotWrite;
    case WriteResult::OutsideFolder:
    case WriteResult::ReadOnly:
    case WriteResult::NotOurs:
        return ProfileWrite::LeftAlone;
    case WriteResult::CannotReplace:
        break;
    }
    return ProfileWrite::CannotReplace;
}

} // namespace

int Profile::getInt(std::string_view section, std::string_view key, int defaultValue) const {
    const std::optional<std::string> value = readValue(bytes_, section, key);
    if (!value || value->empty())
        return defaultValue;
    std::string_view text = *value;
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0' && text[i + 1] == 'x') {
        base = 16;
        i += 2;
    }
    std::uint32_t total = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && lowerAscii(c) >= 'a' && lowerAscii(c) <= 'f')
            digit = static_cast<unsigned>(lowerAscii(c) - 'a' + 10);
        else
            break;
        total = total * base + digit;
    }
    if (negative)
        total = 0u - total;
    return static_cast<int>(static_cast<std::int32_t>(total));
}

std::string Profile::getString(std::string_view section, std::string_view key,
                               std::string_view defaultValue, std::size_t bufferSize) const {
    std::string result;
    if (std::optional<std::string> value = readValue(bytes_, section, key)) {
        result = std::move(*value);
    } else {
        defaultValue = defaultValue.substr(0, defaultValue.find('\0'));
        while (!defaultValue.empty() && isBlank(defaultValue.back()))
            defaultValue.remove_suffix(1);
        result = defaultValue;
    }
    if (bufferSize == 0)
        return {};
    if (result.size() > bufferSize - 1)
        result.resize(bufferSize - 1);
    return result;
}

bool Profile::setString(std::string_view section, std::string_view key, std::string_view value) {
    section = trim(section);
    key = trim(key);
    if (!writable(section, key, value))
        return false;
    const std::string& bytes = bytes_;
    const std::string_view lineEnd = lineEndOf(bytes);
    const Lookup lookup = find(bytes, section, key);

    // An unchanged value keeps its line as it is.
    if (lookup.keyFound && lookup.key.hasValue && storedValue(lookup.key.value) == value)
        return true;
    const std::string text = valueText(value);
    std::string updated;
    updated.reserve(bytes.size() + section.size() + key.size() + text.size() + 8);
    if (lookup.keyFound) {
        updated.append(bytes, 0, lookup.keyLine.begin);
        updated.append(lookup.key.name).append("=").append(text);
        updated.append(bytes, lookup.keyLine.contentEnd);
    } else if (lookup.sectionFound) {
        updated.append(bytes, 0, lookup.insertAt);
        if (lookup.insertNeedsLineEnd)
            updated.append(lineEnd);
        updated.append(key).append("=").append(text).append(lineEnd);
        updated.append(bytes, lookup.insertAt);
    } else {
        updated = bytes;
        if (!updated.empty() && updated.back() != '\n')
            updated.append(lineEnd);
        updated.append("[").append(section).append("]").append(lineEnd);
        updated.append(key).append("=").append(text).append(lineEnd);
    }
    bytes_ = std::move(updated);
    return true;
}

ProfileFile::ProfileFile(std::filesystem::path file) : file_(std::move(file)) {}

namespace {

// The file's bytes; Missing reads as an empty file, any other failure as unreadable.
bool loadProfile(const fs::path& file, Profile& profile) {
    Bytes bytes;
    const ReadError error = readWholeFile(file, ProfileFile::MAX_FILE_SIZE, bytes);
    if (error != ReadError::None && error != ReadError::Missing)
        return false;
    profile = Profile(std::string(bytes.begin(), bytes.end()));
    return true;
}

} // namespace

Profile ProfileFile::read() const {
    Profile profile;
    if (!loadProfile(file_, profile))
        return Profile();
    return profile;
}

int ProfileFile::getInt(std::string_view section, std::string_view key, int defaultValue) const {
    return read().getInt(section, key, defaultValue);
}

std::string ProfileFile::getString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue, std::size_t bufferSize) const {
    return read().getString(section, key, defaultValue, bufferSize);
}

ProfileWrite ProfileFile::writeString(std::string_view section, std::string_view key,
                                      std::string_view value) {
    Profile profile;
    if (!loadProfile(file_, profile))
        return ProfileWrite::Unreadable;
    const std::string before = profile.bytes();
    if (!profile.setString(section, key, value))
        return ProfileWrite::Refused;
    if (profile.bytes() == before)
        return ProfileWrite::Written;
    return writeOutcome(writeFileAtomically(file_, profile.bytes()));
}

} // namespace pelkorl
