// Code page 1251 (Cyrillic), which the game uses for text bytes 128..255.
#pragma once

#include <cstdint>

namespace lumenvale::assets {

// Unicode character for a byte of code page 1251 text; 0 for the one unassigned byte (0x98).
// Bytes below 128 are ASCII.
char32_t cp1251ToUnicode(std::uint8_t byte);

}  // namespace lumenvale::assets
