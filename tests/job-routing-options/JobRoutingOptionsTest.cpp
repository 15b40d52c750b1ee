// Tests of the job-routing value escaping and the two decoders.
#include <gtest/gtest.h>

#include "JobRoutingOptions.h"

using namespace qor::jr;

TEST(ValueEscaping, EncodesTheSixCharactersAndBothDecodersRoundTrip) {
    struct Case {
        const char* plain;
        const char* escaped;
    } cases[] = {
        {"O'Brien, J <x=y>", "O<27>Brien<2C><20>J<20><3C>x<3D>y<3E>"},
        {"<20>", "<3C>20<3E>"},
        {"<3C>27>", "<3C>3C<3E>27<3E>"},
        {"Émile Zola", "Émile<20>Zola"},
        {"", ""},
        {"555-1234", "555-1234"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encodeSpecialCharacters(c.plain), c.escaped) << c.plain;
        EXPECT_EQ(decodeSpecialCharacters(c.escaped), c.plain) << c.escaped;
        EXPECT_EQ(filterDecodeSpecialCharacters(c.escaped), c.plain) << c.escaped;
    }
}

TEST(ValueEscaping, DecodersDifferOnlyWhereThePanelNeverWrites) {
    // Lower-case codes: the filter decodes them, the panel leaves them.
    EXPECT_EQ(filterDecodeSpecialCharacters("<2c>"), ",");
    EXPECT_EQ(decodeSpecialCharacters("<2c>"), "<2c>");
    // Texts shorter than four characters are never decoded.
    EXPECT_EQ(filterDecodeSpecialCharacters("<2C"), "<2C");
    EXPECT_EQ(decodeSpecialCharacters("a b"), "a b");
    // Replaced characters are not searched again.
    EXPECT_EQ(filterDecodeSpecialCharacters("<3E<3E>"), "<3E>");
    EXPECT_EQ(filterDecodeSpecialCharacters("a<20>b<20>c<2C>"), "a b c,");
}
