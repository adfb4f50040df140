#pragma once
// A settings file of the private-profile kind: "[Section]" lines followed by "key=value"
// lines, read and written one value at a time with the rules of the Windows profile
// services, so that a file written by either side reads the same on the other.
//
// Reading:
// - Sections and keys match without regard to ASCII case; blanks around section names,
//   key names and values do not count. The first section of a name is the one used, and
//   the first key of a name in it.
// - Lines whose first non-blank character is ';' are comments. A '[' line without a ']'
//   is not a section header. A key line without '=' holds no value (the default is read).
// - A value enclosed in a pair of matching quotes (" or ') is read without them.
// - Values are bytes: backslashes and percent signs mean nothing; a NUL byte ends a value.
// - CRLF and LF line ends both read; a UTF-8 byte order mark before the first line is
//   ignored.
//
// Writing (a file is rewritten whole and atomically, see settings/atomicfile.h, so a failure
// leaves the old file whole):
// - Every other line is kept byte for byte. A key that exists gets its line rewritten as
//   "key=value"; a new key goes after the last non-blank line of its section; a new
//   section goes at the end of the file. New lines end the way the file's first line ends
//   (CRLF for a new file). The file is created by the first write.
// - A value with blanks at either end, or enclosed in a pair of matching quotes, is written
//   inside double quotes, so that it reads back as given rather than trimmed or unquoted.
//   A key whose value reads back unchanged keeps its line as it is.
// - A write that could not be read back as written (a line break or NUL in any part, ']'
//   in the section, '=' in the key, a key starting with ';' or '[') is refused, and so is
//   a write to a file that exists but cannot be read whole: both touch nothing.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace pelkorl {

// The bytes of a profile file, read and changed in memory.
class Profile {
public:
    static constexpr std::size_t DEFAULT_BUFFER_SIZE = 4096;

    Profile() = default;
    explicit Profile(std::string bytes) : bytes_(std::move(bytes)) {}

    const std::string& bytes() const { return bytes_; }

    // The value as a number: blanks, an optional sign, then decimal digits up to the first
    // other character ("0x" for hexadecimal). The digits accumulate modulo 2^32, so an
    // overflowing value wraps. A value without digits gives 0; a missing key or an empty
    // value gives `defaultValue`.
    int getInt(std::string_view section, std::string_view key, int defaultValue) const;

    // The value as text, cut to `bufferSize` - 1 bytes. A missing key gives `defaultValue`
    // without its trailing blanks, cut the same way.
    std::string getString(std::string_view section, std::string_view key,
                          std::string_view defaultValue,
                          std::size_t bufferSize = DEFAULT_BUFFER_SIZE) const;

    // Stores `value` under the key; false, changing nothing, when it could not be read back
    // as written.
    bool setString(std::string_view section, std::string_view key, std::string_view value);

private:
    std::string bytes_;
};

enum class ProfileWrite {
    Written,
    Refused,       // a value that could not be read back as written was not stored
    Unreadable,    // the file is there but cannot be read whole; nothing was written
    CannotCreate,  // no temporary file beside it (see settings/atomicfile.h)
    CannotWrite,   // the temporary file could not be written
    CannotReplace, // the temporary file could not take the old one's place
    LeftAlone,     // a read-only file, or a link to a file outside its folder: not written
};

class ProfileFile {
public:
    // Larger files are treated as unreadable: reads give the defaults, writes are refused.
    static constexpr std::size_t MAX_FILE_SIZE = 16 * 1024 * 1024;
    static constexpr std::size_t DEFAULT_BUFFER_SIZE = Profile::DEFAULT_BUFFER_SIZE;

    explicit ProfileFile(std::filesystem::path file);

    const std::filesystem::path& path() const { return file_; }

    // The file as it is now; empty when it is missing or cannot be read whole.
    Profile read() const;

    // Reads of one value, each from the file as it is now; see Profile.
    int getInt(std::string_view section, std::string_view key, int defaultValue) const;
    std::string getString(std::string_view section, std::string_view key,
                          std::string_view defaultValue,
                          std::size_t bufferSize = DEFAULT_BUFFER_SIZE) const;

    // Stores `value` under the key in the file; a value it already holds writes nothing.
    ProfileWrite writeString(std::string_view section, std::string_view key,
                             std::string_view value);

private:
    std::filesystem::path file_;
};

} // namespace pelkorl
