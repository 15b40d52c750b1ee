// Strings-file reader: entries, comments, escapes, encodings, and refusal of bad text.
#include <gtest/gtest.h>

#include "StringsFile.h"

using namespace qor::core;
using namespace std::string_literals;

namespace {

// The UTF-16 form of an ASCII/BMP text, with a byte-order mark.
std::string utf16WithBom(std::u16string_view text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
    return out;
}

}  // namespace

TEST(StringsFile, ReadsEntriesCommentsAndEscapes) {
    struct Case {
        const char* name;
        std::string text;
        StringsTable expected;
    };
    const Case cases[] = {
        {"plain entries, comments of both kinds",
         "/* Title of the panel */\n\"Job Routing\" = \"Acheminement\";\n"
         "// trailing note\n\"Fax\"=\"Télécopie\" ; /* inline */ \"Print To:\" = \"Imprimer :\";",
         {{"Job Routing", "Acheminement"}, {"Fax", "Télécopie"}, {"Print To:", "Imprimer :"}}},
        {"escapes",
         R"("q\"uote" = "a\\b\nc\td\'e"; "uni" = "\U00e9\u20AC\U0041"; "oct" = "\101\60";)",
         {{"q\"uote", "a\\b\nc\td'e"}, {"uni", "é€A"}, {"oct", "A0"}}},
        {"surrogate pair spelled by two escapes",
         R"("k" = "\UD83D\UDE00";)",
         {{"k", "\xF0\x9F\x98\x80"}}},
        {"bare words and a key standing alone",
         "Off = On;\n\"Solo\";",
         {{"Off", "On"}, {"Solo", "Solo"}}},
        {"a string may span lines; the last of two equal keys wins",
         "\"k\" = \"one\ntwo\";\n\"k\" = \"three\";",
         {{"k", "three"}}},
        {"UTF-8 byte-order mark, empty value", "\xEF\xBB\xBF\"Empty\" = \"\";", {{"Empty", ""}}},
        {"nothing but comments", "/* nothing */ // here\n", {}},
        {"UTF-16 little-endian",
         utf16WithBom(u"/* c */ \"Name:\" = \"Nom\u00a0:\";\r\n\"\u65e5\" = \"\u672c\";", false),
         {{"Name:", "Nom\u00a0:"}, {"日", "本"}}},
        {"UTF-16 big-endian", utf16WithBom(u"\"On\" = \"Ein\";", true), {{"On", "Ein"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        auto table = parseStrings(c.text, &error);
        ASSERT_TRUE(table) << error;
        EXPECT_EQ(*table, c.expected);
    }
}

TEST(StringsFile, MalformedTextGivesAMessageAndNoTable) {
    struct Case {
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {"\"a\" = \"b\";\n\"c\" = \"d\"\n\"e\" = \"f\";", "line 3: expected ';' after the value"},
        {"\"a\" \"b\";", "line 1: expected '=' after the key"},
        {"\"a\" = ;", "line 1: expected a value"},
        {"\"a\" = \"b\";\n\"open = \"x\";", "line 2"},
        {"\"a\" = \"b\";\n\n/* never closed", "line 3: comment not closed"},
        {"\"a\" = \"unterminated", "line 1: string not closed"},
        {"\"a\" = \"b\"; \"c\" =", "expected a value before the end"},
        {R"("a" = "\UD800";)", "surrogate"},
        {R"("a" = "\Uzz";)", "without hexadecimal digits"},
        {"\"a\" = \"\xC3\x28\";", "invalid UTF-8"},
        {"\"a\" = \"\xE2\x82\";", "UTF-8"},
        {"\"a\" = \"\xC0\xAF\";", "invalid UTF-8"},
        {"\xFF\xFE\x22\x00\x00"s, "odd number of bytes"},
        {"\xFF\xFE\x00\xD8\x41\x00"s, "unpaired UTF-16 surrogate"},
        {"= \"x\";", "expected a key"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        EXPECT_FALSE(parseStrings(c.text, &error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

TEST(StringsFile, MissingFileIsNamedInTheMessage) {
    std::string error;
    EXPECT_FALSE(readStringsFile("/nonexistent/Localizable.strings", &error));
    EXPECT_NE(error.find("/nonexistent/Localizable.strings"), std::string::npos);
}
