// UTF-8 to Mac Roman conversion: what is kept, what is dropped.
#include <gtest/gtest.h>

#include "MacRoman.h"

namespace qor::gfx {
namespace {

TEST(MacRoman, ConvertsAndDropsWhatItCannotHold) {
    const struct {
        std::string utf8;
        std::string macRoman;
    } cases[] = {
        {"Name:", "Name:"},
        {"Ren\xC3\xA9", "Ren\x8E"},  // é
        {"\xC3\x9C"
         "ber \xC3\x9F",
         "\x86"
         "ber \xA7"},  // Ü, ß
        {"a\xE2\x98\x83"
         "b",
         "ab"},                            // a snowman b: no snowman in Mac Roman
        {"\xE6\x97\xA5\xE6\x9C\xAC", ""},  // Japanese
        {"a\xFF"
         "b",
         "ab"},          // not UTF-8
        {"x\xC3", "x"},  // sequence cut short at the end
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(toMacRoman(c.utf8), c.macRoman);
    }
}

TEST(MacRoman, BytesMapBackToTheirCodePoints) {
    EXPECT_EQ(macRomanToUnicode('A'), U'A');
    EXPECT_EQ(macRomanToUnicode(0x8E), U'\u00E9');
    EXPECT_EQ(macRomanToUnicode(0xA7), U'\u00DF');
    EXPECT_EQ(macRomanToUnicode(0xD0), U'\u2013');
}

}  // namespace
}  // namespace qor::gfx
