// Checks the option panels' keyword lists and strings files against the PPDs and each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "JobRoutingOptions.h"
#include "StrictStringsFile.h"

namespace {

using qor::test::keysOf;
using Strings = qor::test::StrictStringsFile;

struct Panel {
    std::string_view folder;
    // The title key; the PPDs name the group of the panel's keywords the same way.
    std::string_view titleKey;
};

constexpr Panel kPanels[] = {{"color", "Color"},
                             {"finishing", "Finishing"},
                             {"imaging", "Imaging"},
                             {"paper-handling", "PaperHandling"}};

// Set together with PageSize by the printing system, so no panel shows it on its own.
constexpr std::string_view kHiddenKeyword = "PageRegion";

// Keywords the Color panel's code acts on by name.
const std::vector<std::string> kColorCodeKeywords = {
    "MediaColor", "ManualRGBImage", "ManualRGBText", "ManualRGBGraphics", "ManualCMYK"};

struct PPDKeyword {
    std::string group;
    std::vector<std::string> options;  // in PPD order, each once
};

// Main keywords of both PPDs with their group and the union of their options.
std::map<std::string, PPDKeyword> readPPDKeywords() {
    std::map<std::string, PPDKeyword> keywords;
    for (const char* path : {QOR_MONO_PPD, QOR_COLOR_PPD}) {
        std::ifstream in(path);
        EXPECT_TRUE(in) << "cannot open " << path;
        std::string line, group, current;
        while (std::getline(in, line)) {
            if (line.starts_with("*OpenGroup: ")) {
                group = line.substr(12, line.find('/') - 12);
            } else if (line.starts_with("*CloseGroup:")) {
                group.clear();
            } else if (line.starts_with("*OpenUI *")) {
                current = line.substr(9, line.find_first_of("/:", 9) - 9);
                keywords[current].group = group;
            } else if (line.starts_with("*CloseUI:")) {
                current.clear();
            } else if (!current.empty() && line.starts_with("*" + current + " ")) {
                // "*Keyword Option/Text: ..." or "*Keyword Option: ..."
                const size_t start = current.size() + 2;
                const std::string option =
                    line.substr(start, line.find_first_of("/:", start) - start);
                auto& options = keywords[current].options;
                if (std::find(options.begin(), options.end(), option) == options.end())
                    options.push_back(option);
            }
        }
    }
    return keywords;
}

const std::map<std::string, PPDKeyword>& ppdKeywords() {
    static const auto keywords = readPPDKeywords();
    return keywords;
}

std::string resources(const Panel& panel) {
    return std::string(QOR_PANELS_DIR) + "/" + std::string(panel.folder) + "/Resources/";
}

std::vector<std::string> readKeywordList(const Panel& panel) {
    std::ifstream in(std::string(QOR_PANELS_DIR) + "/" + std::string(panel.folder) +
                     "/PMPPDKeysSupported.txt");
    EXPECT_TRUE(in) << "no keyword list for " << panel.folder;
    std::vector<std::string> list;
    for (std::string line; std::getline(in, line);) list.push_back(line);
    return list;
}

Strings readStrings(const Panel& panel, std::string_view localization) {
    return qor::test::readStrictStringsFile(resources(panel) + std::string(localization) +
                                            ".lproj/Localizable.strings");
}

std::string panelName(const ::testing::TestParamInfo<Panel>& info) {
    return std::string(info.param.titleKey);
}

void PrintTo(const Panel& panel, std::ostream* out) {
    *out << panel.folder;
}

class KeywordListTest : public ::testing::TestWithParam<Panel> {};

// The list is exactly the panel's PPD group, so a keyword added to the group is not lost.
TEST_P(KeywordListTest, ListsThePanelsPPDGroupOnceEach) {
    const Panel& panel = GetParam();
    const std::vector<std::string> list = readKeywordList(panel);
    std::set<std::string> listed;
    for (const auto& keyword : list) {
        EXPECT_TRUE(listed.insert(keyword).second) << "listed twice: " << keyword;
        const auto found = ppdKeywords().find(keyword);
        ASSERT_NE(found, ppdKeywords().end()) << "not a PPD keyword: '" << keyword << "'";
        EXPECT_EQ(found->second.group, panel.titleKey) << keyword;
        EXPECT_FALSE(found->second.options.empty()) << keyword;
    }
    std::set<std::string> group;
    for (const auto& [keyword, info] : ppdKeywords())
        if (info.group == panel.titleKey && keyword != kHiddenKeyword) group.insert(keyword);
    EXPECT_EQ(listed, group);
    if (panel.titleKey == "Color") {
        for (const auto& keyword : kColorCodeKeywords) EXPECT_TRUE(listed.contains(keyword));
    }
}

// English holds the title, the summary texts and every keyword and option the panel can show.
TEST_P(KeywordListTest, EnglishHasEveryDisplayedKeyAndNoOther) {
    const Panel& panel = GetParam();
    std::set<std::string> expected = {std::string(panel.titleKey), "Feature", "On", "Off"};
    for (const auto& keyword : readKeywordList(panel)) {
        expected.insert(keyword);
        const auto found = ppdKeywords().find(keyword);
        if (found != ppdKeywords().end())
            expected.insert(found->second.options.begin(), found->second.options.end());
    }
    const Strings english = readStrings(panel, "English");
    ASSERT_TRUE(english.errors.empty()) << english.errors.front();
    EXPECT_EQ(keysOf(english), expected);
}

INSTANTIATE_TEST_SUITE_P(Panels, KeywordListTest, ::testing::ValuesIn(kPanels), panelName);

struct Localized {
    Panel panel;
    std::string_view localization;
};

std::vector<Localized> allLocalizedFiles() {
    std::vector<Localized> all;
    for (const Panel& panel : kPanels)
        for (std::string_view localization : qor::jr::kLocalizations)
            all.push_back({panel, localization});
    return all;
}

void PrintTo(const Localized& file, std::ostream* out) {
    *out << file.panel.folder << " " << file.localization;
}

class StringsFileTest : public ::testing::TestWithParam<Localized> {};

TEST_P(StringsFileTest, IsStrictAndTranslatesEveryEnglishKeyDistinctly) {
    const auto& [panel, localization] = GetParam();
    const Strings file = readStrings(panel, localization);
    for (const auto& error : file.errors) ADD_FAILURE() << error;
    ASSERT_TRUE(file.errors.empty());
    EXPECT_EQ(keysOf(file), keysOf(readStrings(panel, "English")));

    // Two controls with one label, or two menu items with one text, cannot be told apart.
    auto text = [&](const std::string& key) {
        const auto found = file.entries.find(key);
        return found == file.entries.end() ? key : found->second;
    };
    std::map<std::string, std::string> controlLabels;
    for (const auto& keyword : readKeywordList(panel)) {
        const auto [clash, fresh] = controlLabels.emplace(text(keyword), keyword);
        EXPECT_TRUE(fresh) << keyword << " and " << clash->second << " both read " << clash->first;
        const auto found = ppdKeywords().find(keyword);
        if (found == ppdKeywords().end()) continue;
        std::map<std::string, std::string> items;
        for (const auto& option : found->second.options) {
            const auto [same, added] = items.emplace(text(option), option);
            EXPECT_TRUE(added) << keyword << ": " << option << " and " << same->second
                               << " both read " << same->first;
        }
    }
}

std::string localizedName(const ::testing::TestParamInfo<Localized>& info) {
    return std::string(info.param.panel.titleKey) + "_" + std::string(info.param.localization);
}

INSTANTIATE_TEST_SUITE_P(AllPanelsAndLocalizations, StringsFileTest,
                         ::testing::ValuesIn(allLocalizedFiles()), localizedName);

}  // namespace
