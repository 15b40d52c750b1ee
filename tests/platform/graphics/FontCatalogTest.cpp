// Which installed face each platform font name resolves to.
#include <gtest/gtest.h>

#include <filesystem>

#include "FontCatalog.h"
#include "GreyBitmapContext.h"

namespace qor::gfx {
namespace {

struct RoleCase {
    const char* name;
    const char* family;
    const char* style;
    const char* fileStem;
};

TEST(FontCatalog, PlatformNamesResolveToMetricCompatibleFaces) {
    const RoleCase cases[] = {
        {"Helvetica-BoldOblique", "Nimbus Sans", "Bold Italic", "NimbusSans-BoldItalic"},
        {"Arial Bold", "Liberation Sans", "Bold", "LiberationSans-Bold"},
        {"Arial", "Liberation Sans", "Regular", "LiberationSans-Regular"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto face = findFontNamed(c.name);
        ASSERT_TRUE(face.has_value());
        EXPECT_EQ(face->family, c.family);
        EXPECT_EQ(face->style, c.style);
        EXPECT_EQ(std::filesystem::path(face->file).stem(), c.fileStem);
        EXPECT_NE(Font::load(*face), nullptr);
    }
}

TEST(FontCatalog, NeverFallsBackToAnotherFace) {
    EXPECT_FALSE(findFontNamed("Arial Black").has_value());
    EXPECT_FALSE(findFace("No Such Family", "Regular").has_value());
    EXPECT_FALSE(findFace("Liberation Sans", "Extra Wide").has_value());
}

TEST(FontCatalog, UnreadableFileGivesNoFont) {
    EXPECT_EQ(Font::load(FontFace{"/nonexistent/font.ttf", 0, "X", "Regular"}), nullptr);
}

}  // namespace
}  // namespace qor::gfx
