// The strings-file scanner, the English fallback and where the bundle's files are looked for.
#include <gtest/gtest.h>

#include <map>

#include "JobRoutingBundle.h"
#include "ScopedEnv.h"
#include "transDictionary.h"

namespace qor {
namespace {

std::map<std::string, std::string> entries(const transDictionary& table) {
    std::map<std::string, std::string> all;
    for (const auto& key : table.keyEnumerator()) all[key] = *table.getValue(key);
    return all;
}

TEST(transDictionary, ScansEntriesWithQuotesAsTheOnlyDelimiter) {
    using Entries = std::map<std::string, std::string>;
    const struct {
        const char* name;
        std::string text;
        Entries expected;
    } cases[] = {
        {"one entry keeps the blank inside its value",
         "\"Name:\" = \"Nom :\";\n",
         {{"Name:", "Nom :"}}},
        {"two entries on one line", "\"A\"=\"1\";\"B\"=\"2\";", {{"A", "1"}, {"B", "2"}}},
        {"a quote in a comment shifts the pairing",
         "/* the \"To:\" label */\n\"Name:\" = \"Nom\";\n",
         {{"To:", "Name:"}}},
        {"leading white space of key and value is lost, trailing kept",
         "\" \tName: \" =\n\"  Nom \";",
         {{"Name: ", "Nom "}}},
        {"no-break space counts as white space", "\"K\" = \"\xC2\xA0V\";", {{"K", "V"}}},
        {"an escaped quote ends the value", "\"Say\" = \"a \\\"b\\\"\";", {{"Say", "a \\"}}},
        {"a key without its value at the end is dropped", "\"A\" = \"1\";\n\"B\" = ", {{"A", "1"}}},
        {"a value without its closing quote runs to the end", "\"A\" = \"1", {{"A", "1"}}},
        {"a later entry replaces an earlier one", "\"A\" = \"1\";\n\"A\" = \"2\";", {{"A", "2"}}},
        {"empty value and empty key", "\"A\" = \"\";\n\"\" = \"x\";", {{"A", ""}, {"", "x"}}},
        {"an entry that is not UTF-8 is dropped",
         "\"A\" = \"\xFF\";\n\"B\" = \"\xC3\xA9\";",
         {{"B", "\xC3\xA9"}}},
        {"nothing but text", "no entries here\n", {}},
        {"empty text", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto table = transDictionary::initWithText(c.text);
        EXPECT_EQ(entries(table), c.expected);
        EXPECT_EQ(table.count(), c.expected.size());
    }
}

TEST(transDictionary, LookupIsExact) {
    const auto table = transDictionary::initWithText("\"Name:\" = \"Nom :\";");
    ASSERT_NE(table.getValue("Name:"), nullptr);
    EXPECT_EQ(table.getValue("name:"), nullptr);
    EXPECT_EQ(table.getValue("Name"), nullptr);
}

class TranslationFiles : public ::testing::Test {
  protected:
    const std::string resources = std::string(QOR_TEST_BUNDLE) + "/Contents/Resources";
    const std::string english = resources + "/English.lproj/Localizable.strings";
    const std::string french = resources + "/French.lproj/Localizable.strings";
};

TEST_F(TranslationFiles, ReadsTheRequestedFile) {
    ::testing::internal::CaptureStderr();
    const auto table = transDictionary::initWithFilePath(french, english);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ASSERT_NE(table.getValue("Name:"), nullptr);
    EXPECT_EQ(*table.getValue("Name:"), "Nom :");
    EXPECT_EQ(table.count(), 11u);
}

TEST_F(TranslationFiles, MissingFileFallsBackToEnglishWithAMessage) {
    const std::string missing = resources + "/German.lproj/Localizable.strings";
    ::testing::internal::CaptureStderr();
    const auto table = transDictionary::initWithFilePath(missing, english);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "ERROR: Unable to open file " + missing + " English is being used.\n");
    ASSERT_NE(table.getValue("Name:"), nullptr);
    EXPECT_EQ(*table.getValue("Name:"), "Name:");
}

TEST_F(TranslationFiles, NeitherFileGivesAnEmptyTableAndSaysSo) {
    ::testing::internal::CaptureStderr();
    const auto table = transDictionary::initWithFilePath("/nonexistent/a.strings", resources);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Unable to open file /nonexistent/a.strings English is being used."),
              std::string::npos);
    EXPECT_NE(err.find("ERROR: Unable to open file " + resources + "\n"), std::string::npos);
    EXPECT_EQ(table.count(), 0u);
}

TEST(JobRoutingBundle, DefaultsAndTheRunTimeOverride) {
    {
        test::ScopedEnv bundle("QOR_JOB_ROUTING_BUNDLE", "");
        EXPECT_EQ(jobRoutingBundlePath(), QOR_DEFAULT_BUNDLE);
        EXPECT_EQ(englishStringsPath(),
                  std::string(QOR_DEFAULT_BUNDLE) +
                      "/Contents/Resources/English.lproj/Localizable.strings");
    }
    test::ScopedEnv bundle("QOR_JOB_ROUTING_BUNDLE", "/opt/q/JR.plugin");
    EXPECT_EQ(jobRoutingBundlePath(), "/opt/q/JR.plugin");
    EXPECT_EQ(englishStringsPath(),
              "/opt/q/JR.plugin/Contents/Resources/English.lproj/Localizable.strings");
    EXPECT_EQ(stringsFilePath("/b", "sv"), "/b/Contents/Resources/sv.lproj/Localizable.strings");
}

}  // namespace
}  // namespace qor
