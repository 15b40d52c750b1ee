// Bundles, their localized strings, resource maps and the plug-in instance registry.
#include <gtest/gtest.h>

#include "Bundle.h"
#include "PlugIn.h"
#include "ResourceMap.h"

using namespace qor::core;

namespace {

const std::filesystem::path kFixtures = QOR_TEST_FIXTURES;

LanguageEnvironment locale(const char* lang) {
    return {"", "", "", lang};
}

}  // namespace

TEST(Bundle, OpensOnceAndIsFoundByIdentifier) {
    std::string error;
    auto bundle = Bundle::open(kFixtures / "Sample.plugin", &error);
    ASSERT_TRUE(bundle) << error;
    EXPECT_EQ(Bundle::open(kFixtures / "." / "Sample.plugin"), bundle);
    EXPECT_EQ(Bundle::withIdentifier("com.quorvan.test.Sample"), bundle.get());
    EXPECT_EQ(Bundle::withIdentifier("com.quorvan.test.Unknown"), nullptr);
    EXPECT_EQ(bundle->identifier(), "com.quorvan.test.Sample");
    EXPECT_EQ(*bundle->infoDictionary().findArray("PMPPDKeysSupported"),
              (Array{"MediaColor", "ManualCMYK"}));
    EXPECT_EQ(bundle->localizations(), (std::vector<std::string>{"English", "French", "German"}));
    EXPECT_EQ(bundle->executablePath(), bundle->path() / "Contents/Linux/Sample.so");

    EXPECT_FALSE(Bundle::open(kFixtures / "Nowhere.plugin", &error));
    EXPECT_NE(error.find("Nowhere.plugin"), std::string::npos);
}

TEST(Bundle, LocalizedStringsFollowTheLanguageAndFallBackToTheKey) {
    auto bundle = Bundle::open(kFixtures / "Sample.plugin");
    ASSERT_TRUE(bundle);
    struct Case {
        const char* lang;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"fr_FR.UTF-8", "Color", "Couleur"},  // UTF-16 table
        {"fr_FR.UTF-8", "English only", "English only"},
        {"en_US", "English only", "Only in English"},
        {"ru_RU", "Color", "Color"},  // no Russian: the development region's table
        {"en_US", "Not in any table", "Not in any table"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.lang) + " " + c.key);
        EXPECT_EQ(bundle->localizedString(c.key, "Localizable", locale(c.lang)), c.expected);
    }
    EXPECT_EQ(bundle->localizedString("Color", "NoSuchTable", locale("fr_FR")), "Color");

    // A malformed table says so on standard error and then answers with the keys.
    testing::internal::CaptureStderr();
    EXPECT_EQ(bundle->localizedString("Color", "Localizable", locale("de_DE")), "Color");
    std::string message = testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find("German.lproj/Localizable.strings: line 2"), std::string::npos)
        << message;
}

TEST(ResourceMap, OpenCloseAndTheCurrentMap) {
    auto bundle = Bundle::open(kFixtures / "Sample.plugin");
    auto bare = Bundle::open(kFixtures / "Bare.plugin");
    ASSERT_TRUE(bundle && bare);
    EXPECT_EQ(bare->openBundleResourceMap(), kNoResFile);

    ResFileRefNum before = CurResFile();
    ResFileRefNum map = bundle->openBundleResourceMap();
    ASSERT_GT(map, 0);
    EXPECT_EQ(CurResFile(), before) << "opening must not switch the current map";
    EXPECT_EQ(resourceMapDirectory(map), bundle->resourcePath());

    UseResFile(map);
    EXPECT_EQ(CurResFile(), map);
    UseResFile(kNoResFile);
    EXPECT_EQ(CurResFile(), map) << "a number naming no open map changes nothing";

    ResFileRefNum second = bundle->openBundleResourceMap();
    EXPECT_NE(second, map);
    EXPECT_EQ(resourceMapSearchOrder(), std::vector<ResFileRefNum>{map});
    UseResFile(second);
    EXPECT_EQ(resourceMapSearchOrder(), (std::vector<ResFileRefNum>{second, map}));
    bundle->closeBundleResourceMap(second);
    EXPECT_EQ(CurResFile(), kSystemResFile);
    EXPECT_TRUE(resourceMapSearchOrder().empty());
    UseResFile(map);
    EXPECT_EQ(CurResFile(), map);
    bundle->closeBundleResourceMap(map);
    EXPECT_EQ(CurResFile(), kSystemResFile);
    EXPECT_FALSE(resourceMapDirectory(map));
    UseResFile(map);
    EXPECT_EQ(CurResFile(), kSystemResFile);
    UseResFile(before);
}

TEST(PlugIn, InstanceRegistryCountsPerFactory) {
    Uuid factory = *Uuid::fromString("6BC212FB-9439-11D6-9487-003065AC2B44");
    Ref factoryID = makeUuid(factory);
    EXPECT_EQ(instanceCountForFactory(factory), 0u);
    QorPlugInAddInstanceForFactory(factoryID.get());
    QorPlugInAddInstanceForFactory(factoryID.get());
    EXPECT_EQ(instanceCountForFactory(factory), 2u);
    QorPlugInRemoveInstanceForFactory(factoryID.get());
    EXPECT_TRUE(removeInstanceForFactory(factory));
    EXPECT_FALSE(removeInstanceForFactory(factory));
    EXPECT_EQ(instanceCountForFactory(factory), 0u);
}

TEST(PlugIn, LoadFailuresAreReported) {
    std::string error;
    EXPECT_FALSE(PlugIn::load(kFixtures / "Bare.plugin", &error));
    EXPECT_NE(error.find("names no executable"), std::string::npos) << error;
    EXPECT_FALSE(PlugIn::load(kFixtures / "Sample.plugin", &error));
    EXPECT_NE(error.find("Sample.so"), std::string::npos) << error;
}
