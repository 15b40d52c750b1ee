// Tests of the option store: CUPS splitting, value decoding, exact lookups.
#include <gtest/gtest.h>

#include <algorithm>

#include "argumentStore.h"

using qor::argumentStore;

TEST(ArgumentStore, SplitsAndDecodesValues) {
    struct Case {
        const char* options;
        const char* name;
        const char* value;  // nullptr: absent
    } cases[] = {
        {"JRUSERNAME=Ann<20>Lee JRCSCOMMNTA=a<2c>b", "JRUSERNAME", "Ann Lee"},
        {"JRUSERNAME=Ann<20>Lee JRCSCOMMNTA=a<2c>b", "JRCSCOMMNTA", "a,b"},
        {"JRCSCOMMNTA=<2C", "JRCSCOMMNTA", "<2C"},  // three characters: never decoded
        {"JRUSERNAME=Ann<20>Lee", "jrusername", nullptr},
        {"JRUSERNAME=", "JRUSERNAME", ""},
        {"PrintTo=JRFax JRCOVERSHEET=TRUE", "JRCOVERSHEET", "TRUE"},
        {"JRJOBNAME='Ann Lee' x=1", "JRJOBNAME", "Ann Lee"},     // CUPS quoting
        {"JRHOLDKEY=1234 JRHOLDKEY=5611", "JRHOLDKEY", "5611"},  // the later value wins
        {"com.apple.print.PrintSettings.PMCopies..n.=3",
         "com.apple.print.PrintSettings.PMCopies..n.", "3"},
    };
    for (const auto& c : cases) {
        const argumentStore store = argumentStore::initWithOptionString(c.options);
        const std::string* value = store.getValue(c.name);
        if (c.value == nullptr) {
            EXPECT_EQ(value, nullptr) << c.options;
        } else {
            ASSERT_NE(value, nullptr) << c.options;
            EXPECT_EQ(*value, c.value) << c.options;
        }
    }
}

TEST(ArgumentStore, EmptyAndNullStringsGiveEmptyStores) {
    for (const char* options : {"", "   ", static_cast<const char*>(nullptr)}) {
        const argumentStore store = argumentStore::initWithOptionString(options);
        EXPECT_EQ(store.count(), 0u);
        EXPECT_TRUE(store.keyEnumerator().empty());
        EXPECT_EQ(store.getValue("PrintTo"), nullptr);
    }
}

TEST(ArgumentStore, EnumeratesEveryNameOnce) {
    const argumentStore store =
        argumentStore::initWithOptionString("b=1 a=2 c=3 a=4 JRCSEMAIL=x<40>y");
    EXPECT_EQ(store.count(), 4u);
    std::vector<std::string> keys = store.keyEnumerator();
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<std::string>{"JRCSEMAIL", "a", "b", "c"}));
    EXPECT_EQ(*store.getValue("JRCSEMAIL"), "x<40>y");  // not one of the six codes
}
