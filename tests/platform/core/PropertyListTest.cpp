// Property-list reading and writing: kinds stay apart, bad input is refused cleanly.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "PropertyList.h"

using namespace qor::core;

namespace qor::core {
void PrintTo(const Value& value, std::ostream* os) {
    *os << describe(value);
}
}  // namespace qor::core

namespace {

// One of each kind, with look-alikes that a careless reader would merge: the text "1"
// beside the integer 1 and the real 1.0, the text "abc" beside the bytes a b c.
Value mixedValue() {
    return Dictionary{
        {"text", "abc"},
        {"bytes", Data{'a', 'b', 'c'}},
        {"number", 1},
        {"negative", -5},
        {"real", 1.0},
        {"textOne", "1"},
        {"flag", true},
        {"when", Date{86400}},  // XML dates carry whole seconds
        {"list", Array{"x", Array{}, Dictionary{}, Data{}, false}},
        {"nested", Dictionary{{"Printer URI", "lpd://host/queue"}, {"é", "ünïcode ✓"}}},
    };
}

}  // namespace

TEST(PropertyList, RoundTripKeepsKindsApartInBothFormats) {
    for (auto format : {PropertyListFormat::Xml, PropertyListFormat::Binary}) {
        SCOPED_TRACE(format == PropertyListFormat::Xml ? "xml" : "binary");
        std::string error;
        auto bytes = writePropertyList(mixedValue(), format, &error);
        ASSERT_TRUE(bytes) << error;
        auto back = readPropertyList(*bytes, &error);
        ASSERT_TRUE(back) << error;
        EXPECT_EQ(*back, mixedValue());
        const Dictionary& d = *back->asDictionary();
        EXPECT_EQ(d.find("text")->kind(), Kind::string);
        EXPECT_EQ(d.find("bytes")->kind(), Kind::data);
        EXPECT_EQ(d.find("number")->kind(), Kind::integer);
        EXPECT_EQ(d.find("real")->kind(), Kind::real);
        EXPECT_EQ(*d.findInteger("negative"), -5);
        EXPECT_EQ(d.findString("bytes"), nullptr);
        EXPECT_EQ(d.findData("text"), nullptr);
    }
}

TEST(PropertyList, ReadsXmlKeepingKeyOrder) {
    const char* xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict>
  <key>zeta</key><string>z &amp; &lt;z&gt;</string>
  <key>alpha</key><data>AAEC/w==</data>
  <key>mid</key><array><integer>7</integer><real>2.5</real><true/></array>
</dict></plist>)";
    auto value = readPropertyList(std::string_view(xml));
    ASSERT_TRUE(value);
    std::vector<std::string> keys;
    for (const auto& entry : *value->asDictionary()) keys.push_back(entry.first);
    EXPECT_EQ(keys, (std::vector<std::string>{"zeta", "alpha", "mid"}));
    EXPECT_EQ(*value->asDictionary()->findString("zeta"), "z & <z>");
    EXPECT_EQ(*value->asDictionary()->findData("alpha"), (Data{0, 1, 2, 0xff}));
    EXPECT_EQ(*value->asDictionary()->findArray("mid"), (Array{7, 2.5, true}));
}

TEST(PropertyList, MalformedInputIsRefusedWithAMessage) {
    for (std::string_view bad : {std::string_view(""), std::string_view("not a plist at all"),
                                 std::string_view("<plist><dict><key>a</key></plist>"),
                                 std::string_view("bplist00\x01\x02")}) {
        SCOPED_TRACE(std::string(bad));
        std::string error;
        EXPECT_FALSE(readPropertyList(bad, &error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(PropertyList, TextWithANulIsRefusedRatherThanCutShort) {
    using namespace std::string_literals;
    for (const Value& bad :
         {Value(Array{"before\0after"s}), Value(Dictionary{{"key\0tail"s, "value"}})}) {
        SCOPED_TRACE(describe(bad));
        std::string error;
        EXPECT_FALSE(writePropertyList(bad, PropertyListFormat::Xml, &error));
        EXPECT_NE(error.find("NUL"), std::string::npos);
    }
}

TEST(PropertyList, FileWriteIsAllOrNothing) {
    auto dir = std::filesystem::path(testing::TempDir()) / "plist-write";
    std::filesystem::create_directories(dir);
    auto file = dir / "list.plist";
    ASSERT_TRUE(writePropertyListFile(file, mixedValue(), PropertyListFormat::Binary));
    EXPECT_EQ(readPropertyListFile(file), mixedValue());

    // A value that cannot be written leaves the old file whole and no temporary behind.
    std::string error;
    EXPECT_FALSE(writePropertyListFile(file, Array{Value()}, PropertyListFormat::Xml, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readPropertyListFile(file), mixedValue());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                            std::filesystem::directory_iterator()),
              1);

    EXPECT_FALSE(readPropertyListFile(dir / "missing.plist", &error));
    EXPECT_NE(error.find("missing.plist"), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST(Dictionary, SetReplacesInPlaceAndEqualityIgnoresOrder) {
    Dictionary d{{"a", 1}, {"b", 2}};
    d.set("a", "one");
    EXPECT_EQ(d.begin()->first, "a");
    EXPECT_EQ(*d.findString("a"), "one");
    EXPECT_EQ(d, (Dictionary{{"b", 2}, {"a", "one"}}));
    EXPECT_NE(d, (Dictionary{{"b", 2}, {"a", 1}}));
    EXPECT_TRUE(d.erase("a"));
    EXPECT_FALSE(d.erase("a"));
    EXPECT_EQ(d.size(), 1u);
}

TEST(Value, DescriptionShowsStringsBareAndContainersNested) {
    EXPECT_EQ(describe("plain"), "plain");
    EXPECT_EQ(describe(Value(Dictionary{{"k", Array{"v", 3, Data{0xab}}}})),
              "{\"k\" = (\"v\", 3, <ab>)}");
}
