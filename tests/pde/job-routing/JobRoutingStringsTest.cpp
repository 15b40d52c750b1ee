// Checks the Job Routing bundle's strings files against the panel, the filter and each other.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "JobRoutingOptions.h"

namespace {

namespace jr = qor::jr;

// Labels the filter looks up for the printed cover page.
const std::vector<std::string> kCoverPageKeys = {"Facsimile Transmission Form",
                                                 "Pages to Follow:",
                                                 "To:",
                                                 "From:",
                                                 "Comments:",
                                                 "Name:",
                                                 "Voice #:",
                                                 "Company:",
                                                 "Address:",
                                                 "Fax #:",
                                                 "Email:"};

// The other keys the panel looks up. Its keys are its exact English texts, typos included,
// so a "corrected" key would silently stop translating.
const std::vector<std::string> kPanelOnlyKeys = {
    "Job Routing",
    "Print To:",
    "JRPrint",  // the first PrintTo option of our PPDs
    std::string(jr::kModeFax),
    std::string(jr::kModeConf),
    std::string(jr::kModeRepeat),
    std::string(jr::kModeReserve),
    std::string(jr::kModeVerify),
    "Printer",
    "Fax",
    "Confidential Print",
    "Repeat Print",
    "Reserve Print",
    "Verify Print",
    "User Name:",
    "PIN(####, 1-6):",
    "Recipient Name:",
    "Station Name:",
    "Include Cover Sheet",
    "Edit Cover Sheet...",
    "Please enter a recipient name for the fax.",
    "Please enter a telephone number for the fax.",
    "Pleae enter a station name representing your location.",
    "Please enter a user name.",
    "Please enter a 4-digit PIN, using the numbers 1-6.",
    "Address 1:",
    "Address 2:",
    "OK",
    "Cancel"};

// The radio buttons are titled by option keyword; in English they read as the summary does.
const std::map<std::string, std::string> kEnglishModeTitles = {
    {"JRPrint", "Printer"},
    {std::string(jr::kModeFax), "Fax"},
    {std::string(jr::kModeConf), "Confidential Print"},
    {std::string(jr::kModeRepeat), "Repeat Print"},
    {std::string(jr::kModeReserve), "Reserve Print"},
    {std::string(jr::kModeVerify), "Verify Print"}};

struct StringsFile {
    std::map<std::string, std::string> entries;
    std::vector<std::string> errors;
    size_t quotes = 0;
};

std::string resourcePath(std::string_view localization) {
    return std::string(QOR_JOB_ROUTING_RESOURCES_DIR) + "/" + std::string(localization) +
           ".lproj/Localizable.strings";
}

bool isValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        size_t len;
        uint32_t cp;
        if (b < 0x80) {
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            len = 2;
            cp = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3;
            cp = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4;
            cp = b & 0x07;
        } else {
            return false;
        }
        if (i + len > s.size()) return false;
        for (size_t k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        static constexpr uint32_t kMinForLength[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMinForLength[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

// The scanner drops white space at the start of a value, so such a value would lose it.
bool startsWithSpace(std::string_view v) {
    for (std::string_view space : {" ", "\t", "\xC2\xA0", "\xE3\x80\x80"})
        if (v.starts_with(space)) return true;
    return false;
}

// Reads a strings file as this bundle ships it: comment lines, blank lines and lines of
// exactly `"key" = "value";`. Anything looser is reported, since the filter's scanner only
// pairs double quotes and would silently shift every later entry.
StringsFile readStrict(const std::string& path) {
    StringsFile file;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        file.errors.push_back("cannot open " + path);
        return file;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    file.quotes = static_cast<size_t>(std::count(text.begin(), text.end(), '"'));
    if (text.starts_with("\xEF\xBB\xBF")) file.errors.push_back("starts with a byte order mark");
    if (!isValidUtf8(text)) file.errors.push_back("not valid UTF-8");

    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const std::string where = "line " + std::to_string(number) + ": ";
        if (line.empty()) continue;
        if (line.starts_with("/*") && line.ends_with("*/")) {
            if (line.find('"') != std::string::npos)
                file.errors.push_back(where + "double quote in a comment");
            continue;
        }
        const size_t keyEnd = line.find('"', 1);
        const size_t valueStart = keyEnd == std::string::npos ? keyEnd : keyEnd + 5;
        if (!line.starts_with('"') || keyEnd == std::string::npos ||
            line.compare(keyEnd, 5, "\" = \"") != 0 || !line.ends_with("\";") ||
            line.size() < valueStart + 2) {
            file.errors.push_back(where + "not of the form \"key\" = \"value\";: " + line);
            continue;
        }
        const std::string key = line.substr(1, keyEnd - 1);
        const std::string value = line.substr(valueStart, line.size() - 2 - valueStart);
        if (key.empty() || value.empty()) file.errors.push_back(where + "empty key or value");
        if (value.find('"') != std::string::npos)
            file.errors.push_back(where + "double quote inside the value");
        if (key.find('\\') != std::string::npos || value.find('\\') != std::string::npos)
            file.errors.push_back(where + "backslash in key or value");
        if (startsWithSpace(value)) file.errors.push_back(where + "value starts with white space");
        if (!file.entries.emplace(key, value).second)
            file.errors.push_back(where + "repeated key " + key);
    }
    return file;
}

std::set<std::string> keysOf(const StringsFile& file) {
    std::set<std::string> keys;
    for (const auto& [key, value] : file.entries) keys.insert(key);
    return keys;
}

// The cover page is drawn in Mac Roman; a label that cannot be converted would be mangled.
bool convertsToMacRoman(const std::string& text) {
    iconv_t cd = iconv_open("MACINTOSH", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string input = text;
    std::string output(input.size() * 2 + 1, '\0');
    char* inPtr = input.data();
    char* outPtr = output.data();
    size_t inLeft = input.size();
    size_t outLeft = output.size();
    const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    return result != static_cast<size_t>(-1) && inLeft == 0;
}

bool isEuropean(std::string_view localization) {
    static const std::set<std::string_view> kEuropean = {
        "English", "French", "Italian", "German", "Spanish", "pt", "da", "fi", "nl", "no", "sv"};
    return kEuropean.contains(localization);
}

class StringsFileTest : public ::testing::TestWithParam<std::string_view> {};

TEST_P(StringsFileTest, IsStrictSafeForTheScannerAndMatchesEnglish) {
    const StringsFile file = readStrict(resourcePath(GetParam()));
    const StringsFile english = readStrict(resourcePath("English"));
    for (const auto& error : file.errors) ADD_FAILURE() << error;
    ASSERT_TRUE(file.errors.empty());

    EXPECT_EQ(file.quotes, 4 * file.entries.size()) << "double quotes besides the delimiters";
    EXPECT_EQ(keysOf(file), keysOf(english));

    for (const auto& [key, value] : file.entries) {
        // The summary trims the colon off a field label, and the cover page aligns on it.
        if (key.ends_with(':')) {
            EXPECT_TRUE(value.ends_with(':')) << key << " = " << value;
        }
    }
    if (isEuropean(GetParam())) {
        for (const auto& key : kCoverPageKeys) {
            const auto it = file.entries.find(key);
            ASSERT_NE(it, file.entries.end()) << key;
            EXPECT_TRUE(convertsToMacRoman(it->second)) << key << " = " << it->second;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllLocalizations, StringsFileTest, ::testing::ValuesIn(jr::kLocalizations),
                         [](const auto& param) { return std::string(param.param); });

TEST(EnglishStringsTest, HoldsEveryLookedUpKeyWithItsOwnText) {
    const StringsFile english = readStrict(resourcePath("English"));
    ASSERT_TRUE(english.errors.empty());
    std::set<std::string> expected(kCoverPageKeys.begin(), kCoverPageKeys.end());
    expected.insert(kPanelOnlyKeys.begin(), kPanelOnlyKeys.end());
    EXPECT_EQ(keysOf(english), expected);
    for (const auto& [key, value] : english.entries) {
        const auto mode = kEnglishModeTitles.find(key);
        EXPECT_EQ(value, mode == kEnglishModeTitles.end() ? key : mode->second);
    }
}

}  // namespace
