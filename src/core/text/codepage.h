#pragma once
// Windows-1257 (Baltic) text of the record-keeping program's files, to and from UTF-8.
#include <string>
#include <string_view>

namespace pelkorl {

// Decodes Windows-1257 bytes. The two bytes the code page leaves undefined (0xA1, 0xA5)
// become U+FFFD; the other unassigned bytes of 0x80-0x9F stand for the C1 control of the
// same number, so every other byte survives a round trip.
std::string cp1257ToUtf8(std::string_view bytes);

// Encodes UTF-8 as Windows-1257. A character the code page lacks, and every malformed
// UTF-8 sequence (truncated, overlong, surrogate, beyond U+10FFFF, stray continuation
// byte), becomes one '?'.
std::string utf8ToCp1257(std::string_view utf8);

} // namespace pelkorl
