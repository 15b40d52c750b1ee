// Localization choice from the language environment.
#include <gtest/gtest.h>

#include "Localization.h"

using namespace qor::core;

TEST(Localization, PicksTheBestLocalizationForEachEnvironment) {
    // The Job Routing bundle's localizations, named as that bundle names them.
    const std::vector<std::string> available = {
        "English", "French", "Italian", "German",   "Spanish", "pt",    "da",    "fi",
        "nl",      "no",     "sv",      "Japanese", "zh_TW",   "zh_CN", "Korean"};
    struct Case {
        LanguageEnvironment env;  // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
        const char* expected;
    };
    const Case cases[] = {
        {{"", "", "", "fr_FR.UTF-8"}, "French"},
        {{"", "", "", "pt_BR"}, "pt"},
        {{"", "", "", "de_DE@euro"}, "German"},
        {{"", "", "", "ja_JP.eucJP"}, "Japanese"},
        {{"", "", "", "zh_TW.Big5"}, "zh_TW"},
        {{"", "", "", "zh_HK.UTF-8"}, "zh_TW"},
        {{"", "", "", "zh_CN.GB18030"}, "zh_CN"},
        {{"", "", "", "nb_NO.UTF-8"}, "no"},
        {{"", "", "", "ko_KR"}, "Korean"},
        {{"", "it_IT.UTF-8", "es_ES", "fr_FR"}, "Italian"},
        {{"", "", "es_ES.UTF-8", "fr_FR"}, "Spanish"},
        {{"sv:de", "", "", "fr_FR.UTF-8"}, "sv"},
        {{"xx_YY:ru:da", "", "", "en_US"}, "da"},
        {{"fr", "", "", "C.UTF-8"}, "English"},
        {{"", "", "", "ru_RU.UTF-8"}, "English"},
        {{"", "", "", ""}, "English"},
        {{"", "", "", "en_GB"}, "English"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.env.language + "|" + c.env.lcAll + "|" + c.env.lcMessages + "|" +
                     c.env.lang);
        EXPECT_EQ(preferredLocalization(available, c.env), c.expected);
    }
}

TEST(Localization, RegionsAndFallbacksAmongCodeNamedLocalizations) {
    LanguageEnvironment brazil{"", "", "", "pt_BR.UTF-8"};
    EXPECT_EQ(preferredLocalization({"pt_PT", "pt_BR", "en"}, brazil, "en"), "pt_BR");
    EXPECT_EQ(preferredLocalization({"pt_PT", "en"}, brazil, "en"), "pt_PT");
    EXPECT_EQ(preferredLocalization({"de", "en"}, brazil, "en"), "en");
    EXPECT_EQ(preferredLocalization({"de", "it"}, brazil, "en"), "de");
    EXPECT_EQ(preferredLocalization({}, brazil), "");
    EXPECT_EQ(preferredLanguages({"de:fr_CA", "", "", "fr_CA.UTF-8"}),
              (std::vector<std::string>{"de", "fr_CA"}));
}
