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
#include "StrictStringsFile.h"

namespace {

namespace jr = qor::jr;
using qor::test::keysOf;
using StringsFile = qor::test::StrictStringsFile;

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

std::string resourcePath(std::string_view localization) {
    return std::string(QOR_JOB_ROUTING_RESOURCES_DIR) + "/" + std::string(localization) +
           ".lproj/Localizable.strings";
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
    const StringsFile file = qor::test::readStrictStringsFile(resourcePath(GetParam()));
    const StringsFile english = qor::test::readStrictStringsFile(resourcePath("English"));
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
    const StringsFile english = qor::test::readStrictStringsFile(resourcePath("English"));
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
