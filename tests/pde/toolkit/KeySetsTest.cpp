// Tests of the key sets: option lists and defaults from the PPD, the pair search, the list.
#include <gtest/gtest.h>

#include <string>

#include "KeySets.h"

namespace {

const std::string kKeySetsPPD = std::string(QOR_TEST_FIXTURES) + "/keysets.ppd";

struct PPD : ::testing::Test {
    PPDContextViel ctx = nullptr;
    void SetUp() override {
        ASSERT_EQ(ppdOpenCompiledPPDFromFile(kKeySetsPPD.c_str(), &ctx), kPPDNoErr);
        ASSERT_EQ(setInstallableOptions(ctx, nullptr), kPPDNoErr);
    }
    void TearDown() override { ppdCloseCompiledPPD(ctx); }

    xUIHeader header(const std::string& keyword) {
        Str255 key;
        PStringFromString(keyword, key);
        xUIHeader h;
        EXPECT_TRUE(ppdGetUIHeader(ctx, ppdGetMainIndex(ctx, key), &h)) << keyword;
        return h;
    }
};

TEST_F(PPD, OptionListsAndDefaults) {
    struct Case {
        const char* keyword;
        std::size_t entries;
        std::int16_t defaultValue;
    };
    for (const Case& c : {
             Case{"MediaColor", 4, 3},     // popup: position of the default's text
             Case{"ManualCMYK", 2, 1},     // on/off whose default reads "On"
             Case{"ManualRGBText", 2, 0},  // on/off whose default reads "Off"
             Case{"InputSlot", 3, 2},      // repeated texts: the last match counts
         }) {
        SCOPED_TRACE(c.keyword);
        KeywordInfoList list;
        std::int16_t value = -5;
        xUIHeader h = header(c.keyword);
        EXPECT_EQ(GetUIListFromPPD(ctx, &list, &h, &value), 0);
        EXPECT_EQ(list.size(), c.entries);
        EXPECT_EQ(value, c.defaultValue);
    }

    KeywordInfoList list;
    std::int16_t value = 0;
    xUIHeader h = header("MediaColor");
    GetUIListFromPPD(ctx, &list, &h, &value);
    EXPECT_EQ(list[3], (KeywordInfoArray{"MediaColor", "Manual", "Manual", "False"}));
    EXPECT_EQ(list[2][kInfoTranslation], "Vivid Color");

    UISet set;
    SaveUIHeaderSet(&h, &set);
    EXPECT_EQ(set, (UISet{h.mainKeyIndex, h.groupKeyIndex, kPPDPickOne, 4}));
}

TEST_F(PPD, InstalledOptionMarksTheChoiceItForbids) {
    KeywordInfoList list;
    std::int16_t value = 0;
    xUIHeader h = header("Staple");
    GetUIListFromPPD(ctx, &list, &h, &value);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], (KeywordInfoArray{"Staple", "Off", "Off", "False"}));
    EXPECT_EQ(list[1], (KeywordInfoArray{"Staple", "On", "On", "True"}));
}

TEST_F(PPD, HeadersWithoutKeywordOrOptionsGiveAnEmptyList) {
    xUIHeader noOptions = header("MediaColor");
    noOptions.numOptions = 0;
    xUIHeader noKeyword = header("MediaColor");
    noKeyword.mainKeyIndex = 0;
    // A default the library cannot translate matches no option: the default stays 1.
    xUIHeader noDefault = header("MediaColor");
    noDefault.defaultOption = 0;
    for (const xUIHeader* h : {&noOptions, &noKeyword}) {
        KeywordInfoList list;
        std::int16_t value = -5;
        EXPECT_EQ(GetUIListFromPPD(ctx, &list, h, &value), 0);
        EXPECT_TRUE(list.empty());
        EXPECT_EQ(value, 1);
    }
    KeywordInfoList list;
    std::int16_t value = -5;
    GetUIListFromPPD(ctx, &list, &noDefault, &value);
    EXPECT_EQ(list.size(), 4u);
    EXPECT_EQ(value, 1);
    value = -5;
    EXPECT_EQ(GetUIListFromPPD(ctx, nullptr, &noOptions, &value), 0);
    EXPECT_EQ(value, 1);
}

TEST(FindPPDKeyPairsMatch, ComparesBothKeywordsExactly) {
    const KeywordInfoList list = {{"PrintTo", "JRPrinter", "Printer", "False"},
                                  {"PrintTo", "JRFax", "Fax", "False"},
                                  {"PrintTo", "JRFax", "Fax again", "False"}};
    struct Case {
        const char* main;
        const char* option;
        std::int16_t expected;
    };
    for (const Case& c : {Case{"PrintTo", "JRPrinter", 0}, Case{"PrintTo", "JRFax", 1},
                          Case{"printto", "JRFax", -1}, Case{"PrintTo", "jrfax", -1},
                          Case{"PrintTo", "Fax", -1}, Case{"", "", -1}})
        EXPECT_EQ(FindPPDKeyPairsMatch(&list, c.main, c.option), c.expected)
            << c.main << " " << c.option;
    EXPECT_EQ(FindPPDKeyPairsMatch(nullptr, "PrintTo", "JRFax"), -1);
}

TEST(KeySetList, InsertsCopiesThatLiveOnTheirOwn) {
    KeySetInfo record;
    KeySetInfoSetStringRef(&record, "MediaColor");
    KeySetInfoSetDefaultRef(&record, 3);
    KeySetInfoSetInfoArrayRef(&record, {{"MediaColor", "Auto", "Automatic", "False"}});

    KeySetList list;
    list.append(record);
    list.append(record);
    ASSERT_EQ(list.count(), 2u);
    EXPECT_NE(list.at(0), list.at(1));
    EXPECT_NE(list.at(0), &record);
    EXPECT_TRUE(KeySetInfoEqual(list.at(0), list.at(1)));
    EXPECT_EQ(list.indexOf(record), 0);

    // Filling the list's record changes neither the inserted record nor the other copy.
    KeySetInfoSetDefaultRef(list.at(0), 1);
    EXPECT_EQ(KeySetInfoGetDefaultRef(&record), 3);
    EXPECT_EQ(KeySetInfoGetDefaultRef(list.at(1)), 3);
    EXPECT_EQ(list.indexOf(record), 1);

    list.removeAt(0);
    ASSERT_EQ(list.count(), 1u);
    EXPECT_EQ(*KeySetInfoGetStringRef(list.at(0)), "MediaColor");
    EXPECT_EQ(KeySetInfoGetInfoArrayRef(list.at(0))->size(), 1u);
    EXPECT_EQ(list.at(1), nullptr);
    list.removeAt(5);
    EXPECT_EQ(list.count(), 1u);

    EXPECT_EQ(KeySetInfoGetControlRef(list.at(0)), nullptr);
    EXPECT_EQ(KeySetInfoGetStringRef(nullptr), nullptr);
    EXPECT_EQ(KeySetInfoGetDefaultRef(nullptr), 0);
}

}  // namespace
