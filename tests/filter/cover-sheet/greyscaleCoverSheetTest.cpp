// The cover page: language choice, layout, the raster it draws and the image rows it hands out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "CoverPageHook.h"
#include "ExpectedPreamble.h"
#include "FontCatalog.h"
#include "ScopedEnv.h"
#include "greyscaleCoverSheet.h"

namespace qor {
namespace {

constexpr int kWidth = 588;
constexpr int kHeight = 768;

argumentStore storeOf(const char* options) {
    return argumentStore::initWithOptionString(options);
}

std::unique_ptr<greyscaleCoverSheet> makeSheet(const argumentStore& store, int width = kWidth,
                                               int height = kHeight) {
    return greyscaleCoverSheet::CreateBitmapContextWithWidth(width, height, store);
}

// Advance of Mac Roman text in a platform font, measured apart from the sheet.
double advance(std::string_view fontName, double size, std::string_view macRoman) {
    std::vector<uint8_t> pixels(16 * 16, 255);
    auto context = gfx::GreyBitmapContext::create(pixels.data(), 16, 16, 16);
    context->setFont(gfx::Font::load(*gfx::findFontNamed(fontName)), size);
    return context->textAdvance(macRoman);
}

// Raster helpers in drawing coordinates (y from the bottom edge).
struct Region {
    int x0, y0, x1, y1;  // [x0, x1) x [y0, y1)
};
int inkIn(const greyscaleCoverSheet& sheet, Region r) {
    int ink = 0;
    for (int y = r.y0; y < r.y1; ++y) {
        const int row = kHeight - 1 - y;
        for (int x = r.x0; x < r.x1; ++x) {
            ink += sheet.bitMapArea()[static_cast<size_t>(row) * kWidth + x] != 255;
        }
    }
    return ink;
}

// Every page of these tests reads the small fixture bundle.
class CoverSheet : public ::testing::Test {
    test::ScopedEnv bundle_{"QOR_JOB_ROUTING_BUNDLE", QOR_TEST_BUNDLE};
};

TEST_F(CoverSheet, LanguageNumbers) {
    const struct {
        const char* name;
        int number;
    } cases[] = {{"French", 1}, {"FRENCH", 1},  {"italian", 2},  {"German", 3}, {"Spanish", 4},
                 {"pt", 5},     {"DA", 6},      {"fi", 7},       {"nl", 8},     {"no", 9},
                 {"sv", 10},    {"English", 0}, {"Japanese", 0}, {"zh_TW", 0},  {"Korean", 0},
                 {"", 0},       {"Frenchy", 0}, {"Fr", 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(greyscaleCoverSheet::findFontNumWith(c.name), c.number) << c.name;
    }
    EXPECT_EQ(greyscaleCoverSheet::infoForCoverSheetValue(0, 1), "Helvetica-BoldOblique");
    EXPECT_EQ(greyscaleCoverSheet::infoForCoverSheetValue(1, 0), "Arial Bold");
    EXPECT_EQ(greyscaleCoverSheet::infoForCoverSheetValue(2, 10), "Arial");
}

TEST_F(CoverSheet, EncodingStringSelectsTheStringsFile) {
    const struct {
        const char* options;
        const char* name;
    } cases[] = {{"JRENCODINGSTR=FRENCH", "Nom :"},
                 {"JRENCODINGSTR=Japanese", "Name:"},
                 {"JRENCODINGSTR=English", "Name:"},
                 {"", "Name:"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        auto sheet = makeSheet(storeOf(c.options));
        ASSERT_TRUE(sheet);
        ASSERT_NE(sheet->translations().getValue("Name:"), nullptr);
        EXPECT_EQ(*sheet->translations().getValue("Name:"), c.name);
    }
    // A language the bundle has no folder for reads the bundle's English file, with the message.
    ::testing::internal::CaptureStderr();
    auto german = makeSheet(storeOf("JRENCODINGSTR=German"));
    const std::string err = ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(german);
    EXPECT_NE(err.find("German.lproj/Localizable.strings English is being used."),
              std::string::npos);
    EXPECT_EQ(*german->translations().getValue("Name:"), "Name:");
}

TEST_F(CoverSheet, MissingBundleGivesNoPageAndWritesNothing) {
    std::string written, err;
    bool made = true;
    {
        test::ScopedEnv bundle("QOR_JOB_ROUTING_BUNDLE", "/nonexistent/Quorvan Job Routing.plugin");
        ::testing::internal::CaptureStderr();
        made = writeFaxCoverPage(storeOf("JRCOVERSHEET=TRUE"), [&](std::string_view s) {
            written += s;
            return true;
        });
        err = ::testing::internal::GetCapturedStderr();
    }
    EXPECT_FALSE(made);
    EXPECT_EQ(written, "");
    EXPECT_EQ(err,
              "ERROR: Unable to find the Job Routing bundle /nonexistent/Quorvan Job "
              "Routing.plugin; the fax is sent without its cover page.\n");
}

TEST_F(CoverSheet, ColumnsFollowTheWidestLabel) {
    for (const char* language : {"English", "French"}) {
        SCOPED_TRACE(language);
        const auto store = storeOf((std::string("JRENCODINGSTR=") + language).c_str());
        auto sheet = makeSheet(store);
        ASSERT_TRUE(sheet);
        double widest = 0;
        for (const char* key : {"Voice #:", "Name:", "Company:", "Address:", "Fax #:", "Email:"}) {
            widest = std::max(widest, advance("Arial", 26,
                                              greyscaleCoverSheet::encodeWithString(
                                                  *sheet->translations().getValue(key))));
        }
        const auto layout = sheet->layOutPage(store);
        EXPECT_DOUBLE_EQ(layout.labelColumn, widest / 2 + 60);
        EXPECT_DOUBLE_EQ(layout.valueColumn, widest / 2 + 70);
    }
    // The long French e-mail label pushes both columns right of the English ones.
    auto english = makeSheet(storeOf(""));
    auto french = makeSheet(storeOf("JRENCODINGSTR=French"));
    EXPECT_GT(french->layOutPage(storeOf("")).labelColumn,
              english->layOutPage(storeOf("")).labelColumn + 30);
}

TEST_F(CoverSheet, PlacesEveryTextOfAFullPage) {
    const auto store = storeOf(
        "JRJOBNAME=Ann<20>Lee JRCSRECVOICE=555-0101 JRCSNAME=Bob JRCSCOMPANY=Acme "
        "JRCSADDR1=1<20>Main<20>St JRCSADDR2=Springfield JRCSSENDFAX=555-0102 "
        "JRCSSENDVOICE=555-0103 JRCSEMAIL=bob@example.com JRCSCOMMNTA=c1 JRCSCOMMNTB=c2 "
        "JRCSCOMMNTC=c3 JRCSCOMMNTD=c4 JRCSCOMMNTE=c5 JRCSCOMMNTF=c6 JRCSCPAGES=3");
    auto sheet = makeSheet(store);
    ASSERT_TRUE(sheet);
    const auto layout = sheet->layOutPage(store);

    std::set<std::tuple<std::string, int, double, double>> placed;
    for (const auto& t : layout.texts) placed.insert({t.macRoman, t.role, t.size, t.position.y});
    const std::set<std::tuple<std::string, int, double, double>> expected = {
        {"Facsimile Transmission Form", kTitleFont, 26, 700},
        {"Pages to Follow:", kHeadingFont, 18, 630},
        {"3", kHeadingFont, 18, 630},
        {"To:", kHeadingFont, 18, 570},
        {"From:", kHeadingFont, 18, 450},
        {"Comments:", kHeadingFont, 18, 195},
        {"Name:", kLabelFont, 12, 540},
        {"Ann Lee", kLabelFont, 12, 540},
        {"Voice #:", kLabelFont, 12, 510},
        {"555-0101", kLabelFont, 12, 510},
        {"Name:", kLabelFont, 12, 420},
        {"Bob", kLabelFont, 12, 420},
        {"Company:", kLabelFont, 12, 390},
        {"Acme", kLabelFont, 12, 390},
        {"Address:", kLabelFont, 12, 360},
        {"1 Main St", kLabelFont, 12, 360},
        {"Springfield", kLabelFont, 12, 345},
        {"Fax #:", kLabelFont, 12, 315},
        {"555-0102", kLabelFont, 12, 315},
        {"Voice #:", kLabelFont, 12, 285},
        {"555-0103", kLabelFont, 12, 285},
        {"Email:", kLabelFont, 12, 255},
        {"bob@example.com", kLabelFont, 12, 255},
        {"c1", kLabelFont, 12, 165},
        {"c2", kLabelFont, 12, 145},
        {"c3", kLabelFont, 12, 125},
        {"c4", kLabelFont, 12, 105},
        {"c5", kLabelFont, 12, 85},
        {"c6", kLabelFont, 12, 65},
    };
    EXPECT_EQ(placed, expected);
    EXPECT_EQ(layout.texts.size(), expected.size());

    const double pagesLabelEnd = 40 + advance("Arial Bold", 18, "Pages to Follow:");
    for (const auto& t : layout.texts) {
        SCOPED_TRACE(t.macRoman);
        if (t.role == kLabelFont && t.macRoman.back() == ':') {
            // Labels end at the label column.
            EXPECT_NEAR(t.position.x + advance("Arial", 12, t.macRoman), layout.labelColumn, 1e-9);
        } else if (t.role == kLabelFont) {
            EXPECT_DOUBLE_EQ(t.position.x, layout.valueColumn);
        } else if (t.macRoman == "3") {
            EXPECT_DOUBLE_EQ(t.position.x, pagesLabelEnd + 50);
        } else {
            EXPECT_DOUBLE_EQ(t.position.x, 40);
        }
    }
}

TEST_F(CoverSheet, PageWithOnlyTheRecipientDrawsNoOtherValues) {
    const auto store = storeOf("JRJOBNAME=Ann JRCSNAME= JRCSCPAGES=");
    auto sheet = makeSheet(store);
    ASSERT_TRUE(sheet);
    const auto layout = sheet->layOutPage(store);
    // Title, four headings, eight labels and the one value.
    EXPECT_EQ(layout.texts.size(), 14u);
    EXPECT_EQ(
        std::count_if(layout.texts.begin(), layout.texts.end(),
                      [&](const CoverSheetText& t) { return t.position.x == layout.valueColumn; }),
        1);

    sheet->createImageWith(store);
    const int valueX = static_cast<int>(layout.valueColumn);
    EXPECT_GT(inkIn(*sheet, {40, 695, 560, 725}), 200);             // title
    EXPECT_GT(inkIn(*sheet, {40, 625, 250, 648}), 100);             // pages heading
    EXPECT_GT(inkIn(*sheet, {40, 565, 90, 588}), 30);               // "To:"
    EXPECT_GT(inkIn(*sheet, {valueX - 60, 537, valueX, 551}), 30);  // "Name:"
    EXPECT_GT(inkIn(*sheet, {valueX, 537, valueX + 40, 551}), 20);  // "Ann"
    EXPECT_EQ(inkIn(*sheet, {valueX, 415, 570, 432}), 0);           // sender name: none
    EXPECT_EQ(inkIn(*sheet, {300, 625, 570, 648}), 0);              // page count: none
    EXPECT_EQ(inkIn(*sheet, {40, 45, 570, 180}), 0);                // comment lines: none
}

TEST_F(CoverSheet, BarsAreSolidPixelRows) {
    auto sheet = makeSheet(storeOf(""));
    ASSERT_TRUE(sheet);
    sheet->createImageWith(storeOf(""));
    for (const auto& bar : kCoverSheetBars) {
        for (int y = static_cast<int>(bar.bottom) - 1; y <= static_cast<int>(bar.top); ++y) {
            const bool inBar = y >= bar.bottom && y < bar.top;
            const uint8_t* row =
                &sheet->bitMapArea()[static_cast<size_t>(kHeight - 1 - y) * kWidth];
            for (int x = 0; x < kWidth; ++x) {
                const bool ink = inBar && x >= 40 && x < 570;
                ASSERT_EQ(row[x], ink ? 0 : 255) << "x " << x << " y " << y;
            }
        }
    }
}

TEST_F(CoverSheet, ValuesAreDrawnInMacRoman) {
    auto render = [](const char* name) {
        const std::string options = std::string("JRCSNAME=") + name;
        auto sheet = makeSheet(storeOf(options.c_str()));
        sheet->createImageWith(storeOf(options.c_str()));
        return sheet->bitMapArea();
    };
    const auto plain = render("Rene");
    EXPECT_NE(render("Ren\xC3\xA9"), plain);       // "é" gets its own glyph
    EXPECT_EQ(render("Re\xE2\x98\x83ne"), plain);  // a snowman has no Mac Roman code: dropped
    EXPECT_EQ(greyscaleCoverSheet::encodeWithString("Ren\xC3\xA9"), "Ren\x8E");
}

TEST_F(CoverSheet, SamePageTwiceGivesIdenticalRasters) {
    const auto store =
        storeOf("JRENCODINGSTR=French JRJOBNAME=Ann JRCSNAME=Ren\xC3\xA9 JRCSCPAGES=2");
    auto first = makeSheet(store);
    auto second = makeSheet(store);
    first->createImageWith(store);
    second->createImageWith(store);
    EXPECT_EQ(first->bitMapArea(), second->bitMapArea());
}

TEST_F(CoverSheet, PreambleDeclaresOneRowLessThanTheRaster) {
    auto sheet = makeSheet(storeOf(""));
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->postScriptImageString(), test::kCoverPagePreamble);
}

TEST_F(CoverSheet, RowsGoOutBottomFirstWithoutTheTopRow) {
    auto sheet = makeSheet(storeOf(""), 8, 4);
    ASSERT_TRUE(sheet);
    sheet->context().fillRect(0, 0, 8, 1);  // bottom row black
    sheet->context().fillRect(2, 1, 3, 1);  // second row from the bottom: pixels 2 to 4
    sheet->context().fillRect(0, 3, 8, 1);  // top row black, never sent
    const std::vector<std::string> expected = {"0000000000000000 \n", "FFFF000000FFFFFF \n",
                                               "FFFFFFFFFFFFFFFF \n"};
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        for (const auto& line : expected) EXPECT_EQ(sheet->nextLine(), line);
        EXPECT_EQ(sheet->nextLine(), std::nullopt);
    }
}

TEST_F(CoverSheet, RejectsRastersItCannotDraw) {
    EXPECT_EQ(makeSheet(storeOf(""), 0, 768), nullptr);
    EXPECT_EQ(makeSheet(storeOf(""), 588, -1), nullptr);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(makeSheet(storeOf(""), 587, 768), nullptr);
    EXPECT_EQ(makeSheet(storeOf(""), 40000, 40000), nullptr);  // beyond what cairo draws
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("ERROR: "), std::string::npos);
}

TEST_F(CoverSheet, WriteFaxCoverPageWritesPreambleRowsAndPageEnd) {
    std::vector<std::string> writes;
    ASSERT_TRUE(writeFaxCoverPage(storeOf("JRJOBNAME=Ann"), [&](std::string_view s) {
        writes.emplace_back(s);
        return true;
    }));
    ASSERT_EQ(writes.size(), 1u + 767u + 1u);
    EXPECT_EQ(writes.front().rfind("%%FaxCoverPage: 1 1\n", 0), 0u);
    EXPECT_EQ(writes.back(), "showpage\n%%PageTrailer\n");
    for (size_t i = 1; i <= 767; ++i) ASSERT_EQ(writes[i].size(), 1178u) << i;
    // The bottom bar (y 25 to 27) is on the 26th and 27th rows sent.
    const std::string bar =
        std::string(80, 'F') + std::string(1060, '0') + std::string(36, 'F') + " \n";
    EXPECT_EQ(writes[26], bar);
    EXPECT_EQ(writes[27], bar);
    EXPECT_EQ(writes[1], std::string(1176, 'F') + " \n");
}

TEST_F(CoverSheet, WriteFaxCoverPageStopsAtTheFirstFailedWrite) {
    int calls = 0;
    EXPECT_TRUE(writeFaxCoverPage(storeOf(""), [&](std::string_view) {
        ++calls;
        return false;
    }));
    EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace qor
