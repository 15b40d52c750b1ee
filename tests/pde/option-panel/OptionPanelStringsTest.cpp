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

namespace {

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

bool isValidUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        const size_t len = lead < 0x80           ? 1
                           : (lead >> 5) == 0x6  ? 2
                           : (lead >> 4) == 0xE  ? 3
                           : (lead >> 3) == 0x1E ? 4
                                                 : 0;
        if (len == 0 || i + len > s.size()) return false;
        uint32_t cp = len == 1 ? lead : lead & (0x7F >> len);
        for (size_t k = 1; k < len; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        constexpr uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kShortest[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += len;
    }
    return true;
}

struct Strings {
    std::map<std::string, std::string> entries;
    std::vector<std::string> errors;
};

// Accepts only blank lines, whole-line comments and lines of exactly "key" = "value";
// anything looser could pair the wrong quotes in a lenient reader and shift later entries.
Strings readStrict(const std::string& path) {
    Strings file;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        file.errors.push_back("cannot open " + path);
        return file;
    }
    const std::string text = (std::ostringstream() << in.rdbuf()).str();
    if (text.starts_with("\xEF\xBB\xBF")) file.errors.push_back("byte order mark");
    if (!isValidUtf8(text)) file.errors.push_back("not valid UTF-8");

    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const std::string where = "line " + std::to_string(number) + ": ";
        if (line.empty()) continue;
        if (line.starts_with("/*")) {
            if (!line.ends_with("*/") || line.find('"') != std::string::npos)
                file.errors.push_back(where + "bad comment: " + line);
            continue;
        }
        const size_t keyEnd = line.find('"', 1);
        const size_t valueStart = keyEnd + 5;
        if (!line.starts_with('"') || keyEnd == std::string::npos ||
            line.compare(keyEnd, 5, "\" = \"") != 0 || !line.ends_with("\";") ||
            line.size() < valueStart + 2) {
            file.errors.push_back(where + "not \"key\" = \"value\";: " + line);
            continue;
        }
        const std::string key = line.substr(1, keyEnd - 1);
        const std::string value = line.substr(valueStart, line.size() - 2 - valueStart);
        if (key.empty() || value.empty()) file.errors.push_back(where + "empty key or value");
        if (value.find_first_of("\"\\") != std::string::npos || key.find('\\') != std::string::npos)
            file.errors.push_back(where + "quote or backslash inside: " + line);
        // A leading blank is reserved for menu items of "-1"/"+2" style texts.
        if (value.starts_with(' ') || value.starts_with('\t') || value.starts_with("\xE3\x80\x80"))
            file.errors.push_back(where + "value starts with white space");
        if (!file.entries.emplace(key, value).second)
            file.errors.push_back(where + "repeated key " + key);
    }
    return file;
}

Strings readStrings(const Panel& panel, std::string_view localization) {
    return readStrict(resources(panel) + std::string(localization) + ".lproj/Localizable.strings");
}

std::set<std::string> keysOf(const Strings& file) {
    std::set<std::string> keys;
    for (const auto& entry : file.entries) keys.insert(entry.first);
    return keys;
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
