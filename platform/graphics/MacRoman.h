// Conversion between UTF-8 text and the single-byte Mac Roman character set that text is drawn in.
#pragma once

#include <string>
#include <string_view>

namespace qor::gfx {

// The Mac Roman bytes of a UTF-8 text. Characters that Mac Roman cannot hold and bytes that
// are not valid UTF-8 are dropped, so the result never carries a stand-in character.
std::string toMacRoman(std::string_view utf8);

// The Unicode code point of one Mac Roman byte.
char32_t macRomanToUnicode(unsigned char byte);

}  // namespace qor::gfx
