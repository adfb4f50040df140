#pragma once
// Sizes and constants of the record-keeping program's publisher file.
#include <cstddef>
#include <cstdint>

namespace pelkorl {

inline constexpr std::size_t RECORD_SIZE = 336;
// Records per service year, header included; the store never holds more.
inline constexpr int RECORD_CAPACITY = 310;
// Texts of shifted files store byte i of a field as plain + i + TEXT_SHIFT (mod 256).
inline constexpr std::uint8_t TEXT_SHIFT = 0x2A;

} // namespace pelkorl
