// UUIDs and the reference-counted objects of the C boundary.
#include <gtest/gtest.h>

#include "Objects.h"
#include "Uuid.h"

using namespace qor::core;

TEST(Uuid, ParsesEitherCaseAndFormatsUpperCase) {
    auto uuid = Uuid::fromString("bdb091f4-e57f-11d3-b5cc-0050E4603277");
    ASSERT_TRUE(uuid);
    EXPECT_EQ(uuid->bytes()[0], 0xBD);
    EXPECT_EQ(uuid->bytes()[15], 0x77);
    EXPECT_EQ(uuid->toString(), "BDB091F4-E57F-11D3-B5CC-0050E4603277");
    EXPECT_EQ(Uuid::fromBytes(uuid->bytes()), *uuid);
}

TEST(Uuid, RejectsAnythingButTheDashedHexForm) {
    for (const char* bad :
         {"", "BDB091F4-E57F-11D3-B5CC-0050E460327", "BDB091F4-E57F-11D3-B5CC-0050E46032777",
          "BDB091F4E57F-11D3-B5CC-0050E4603277-", "BDB091F4-E57F-11D3-B5CC-0050E460327G",
          "{BDB091F4-E57F-11D3-B5CC-0050E46032}", "BDB091F4 E57F 11D3 B5CC 0050E4603277",
          "+DB091F4-E57F-11D3-B5CC-0050E4603277"}) {
        EXPECT_FALSE(Uuid::fromString(bad)) << bad;
        EXPECT_EQ(QorUUIDCreateFromString(bad), nullptr) << bad;
    }
    EXPECT_EQ(QorUUIDCreateFromString(nullptr), nullptr);
}

TEST(Objects, CountsEqualityAndOwnershipOfArrayElements) {
    Ref uuid = Ref::adopt(QorUUIDCreateFromString("00000000-0000-0000-C000-000000000046"));
    QorUUIDBytes bytes = QorUUIDGetUUIDBytes(uuid.get());
    EXPECT_EQ(bytes.bytes[8], 0xC0);
    Ref same = Ref::adopt(QorUUIDCreateFromUUIDBytes(bytes));
    EXPECT_TRUE(QorEqual(uuid.get(), same.get()));
    EXPECT_FALSE(QorEqual(uuid.get(), makeString("00000000-0000-0000-C000-000000000046").get()));

    Ref title = makeString("Color");
    QorTypeRef items[] = {title.get(), uuid.get()};
    Ref array = Ref::adopt(QorArrayCreate(items, 2));
    EXPECT_EQ(QorGetRetainCount(title.get()), 2u);
    EXPECT_EQ(QorArrayGetCount(array.get()), 2u);
    EXPECT_STREQ(QorStringGetUTF8(QorArrayGetValueAtIndex(array.get(), 0)), "Color");
    EXPECT_EQ(QorArrayGetValueAtIndex(array.get(), 2), nullptr);
    EXPECT_EQ(QorStringGetUTF8(uuid.get()), nullptr);
    array = Ref();
    EXPECT_EQ(QorGetRetainCount(title.get()), 1u);

    QorTypeRef withNull[] = {title.get(), nullptr};
    EXPECT_EQ(QorArrayCreate(withNull, 2), nullptr);
    EXPECT_EQ(QorGetRetainCount(title.get()), 1u);
    EXPECT_TRUE(QorEqual(makeStringArray({"a", "b"}).get(), makeStringArray({"a", "b"}).get()));
    EXPECT_FALSE(QorEqual(makeStringArray({"a", "b"}).get(), makeStringArray({"a"}).get()));
}
