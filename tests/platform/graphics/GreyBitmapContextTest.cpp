// Drawing into the grey raster: exact rectangles, upright text, advances and repeatability.
#include <gtest/gtest.h>

#include <vector>

#include "FontCatalog.h"
#include "GreyBitmapContext.h"
#include "MacRoman.h"

namespace qor::gfx {
namespace {

struct Canvas {
    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, 255) {
        context = GreyBitmapContext::create(pixels.data(), w, h, w);
    }
    uint8_t at(int x, int row) const { return pixels[static_cast<size_t>(row) * width + x]; }
    // Ink bounds in raster rows (top row 0): first and last row that has any non-white pixel.
    std::pair<int, int> inkRows() const {
        int first = -1, last = -1;
        for (int row = 0; row < height; ++row) {
            for (int x = 0; x < width; ++x) {
                if (at(x, row) != 255) {
                    if (first < 0) first = row;
                    last = row;
                    break;
                }
            }
        }
        return {first, last};
    }
    int inkInRow(int row) const {
        int n = 0;
        for (int x = 0; x < width; ++x) n += at(x, row) != 255;
        return n;
    }
    int width, height;
    std::vector<uint8_t> pixels;
    std::unique_ptr<GreyBitmapContext> context;
};

std::shared_ptr<const Font> arial() {
    const auto face = findFontNamed("Arial");
    return face ? Font::load(*face) : nullptr;
}

TEST(GreyBitmapContext, RejectsRowsCairoCannotDrawInto) {
    std::vector<uint8_t> pixels(64 * 10, 255);
    EXPECT_EQ(GreyBitmapContext::create(pixels.data(), 30, 10, 30), nullptr);  // not 4-aligned
    EXPECT_EQ(GreyBitmapContext::create(pixels.data(), 32, 10, 64), nullptr);
    EXPECT_EQ(GreyBitmapContext::create(nullptr, 32, 10, 32), nullptr);
    EXPECT_NE(GreyBitmapContext::create(pixels.data(), 32, 10, 32), nullptr);
}

TEST(GreyBitmapContext, RectanglesAreExactAndMeasuredFromTheBottom) {
    Canvas canvas(20, 12);
    ASSERT_TRUE(canvas.context);
    canvas.context->fillRect(3, 2, 14, 2);  // y 2..4 from the bottom: rows 8 and 9 of 12
    for (int row = 0; row < 12; ++row) {
        for (int x = 0; x < 20; ++x) {
            const bool inside = row >= 8 && row <= 9 && x >= 3 && x < 17;
            ASSERT_EQ(canvas.at(x, row), inside ? 0 : 255) << "x " << x << " row " << row;
        }
    }
}

TEST(GreyBitmapContext, TextSitsUprightOnItsBaseline) {
    auto font = arial();
    ASSERT_TRUE(font);
    Canvas canvas(40, 40);
    canvas.context->setFont(font, 24);
    canvas.context->setTextPosition({5, 10});
    canvas.context->showText("L");
    // Baseline at y 10 is raster row 30: the letter stands above it, its foot is its widest row.
    const auto [top, bottom] = canvas.inkRows();
    ASSERT_GE(top, 0);
    EXPECT_LE(bottom, 30);
    EXPECT_GE(bottom, 28);
    EXPECT_LT(top, 16);
    EXPECT_GT(canvas.inkInRow(bottom - 1), 2 * canvas.inkInRow(top + 2));
}

TEST(GreyBitmapContext, ShowTextAdvancesByTheMeasuredWidth) {
    auto font = arial();
    ASSERT_TRUE(font);
    Canvas canvas(200, 40);
    canvas.context->setFont(font, 12);
    const std::string text = toMacRoman("Company:");
    const double width = canvas.context->textAdvance(text);
    EXPECT_GT(width, 40);
    EXPECT_LT(width, 60);
    // Measuring draws nothing.
    EXPECT_EQ(canvas.inkRows().first, -1);
    canvas.context->setTextPosition({10, 10});
    canvas.context->showText(text);
    EXPECT_DOUBLE_EQ(canvas.context->textPosition().x, 10 + width);
    EXPECT_DOUBLE_EQ(canvas.context->textPosition().y, 10);
    // A doubled size doubles the unhinted advance.
    canvas.context->setFont(font, 24);
    EXPECT_NEAR(canvas.context->textAdvance(text), 2 * width, 1e-9);
}

TEST(GreyBitmapContext, MacRomanAccentsAreDrawnWithTheirOwnGlyphs) {
    auto font = arial();
    ASSERT_TRUE(font);
    Canvas plain(40, 40), accented(40, 40);
    for (Canvas* c : {&plain, &accented}) {
        c->context->setFont(font, 24);
        c->context->setTextPosition({5, 8});
    }
    plain.context->showText("e");
    accented.context->showText(toMacRoman("\xC3\xA9"));
    // The acute accent reaches above the plain letter's top.
    EXPECT_LT(accented.inkRows().first, plain.inkRows().first - 3);
}

TEST(GreyBitmapContext, SameDrawingGivesSameBytes) {
    auto font = arial();
    ASSERT_TRUE(font);
    auto draw = [&font] {
        Canvas canvas(120, 30);
        canvas.context->setFont(font, 13.5);
        canvas.context->setTextPosition({3.25, 9.5});
        canvas.context->showText(toMacRoman("Fax #: 555 \xC3\xA9"));
        canvas.context->fillRect(0, 1, 120, 1);
        return canvas.pixels;
    };
    const auto first = draw();
    EXPECT_EQ(first, draw());
    EXPECT_NE(first, std::vector<uint8_t>(first.size(), 255));
}

TEST(GreyBitmapContext, WithoutFontTextDrawsNothing) {
    Canvas canvas(40, 20);
    canvas.context->showText("abc");
    EXPECT_EQ(canvas.context->textAdvance("abc"), 0);
    EXPECT_EQ(canvas.inkRows().first, -1);
}

}  // namespace
}  // namespace qor::gfx
