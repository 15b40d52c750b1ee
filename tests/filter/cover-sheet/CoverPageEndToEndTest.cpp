// End-to-end tests of qorpstops with fax cover pages, checked in its output and by Ghostscript.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ExpectedPreamble.h"
#include "RunFilter.h"
#include "ScopedEnv.h"
#include "greyscaleCoverSheet.h"

using namespace qor::test;

namespace {

const std::string kUEL = "\x1b%-12345X";
constexpr size_t kRows = 767;

std::string fixture(const std::string& name) {
    return std::string(QOR_COVER_FIXTURES) + "/" + name;
}

std::string jobText() {
    return readFile(fixture("fax-job.ps"));
}

RunResult runFax(const std::string& options, const std::string& uri = "socket://printer",
                 const std::string& bundle = QOR_REAL_BUNDLE,
                 std::vector<std::string> extraEnv = {}) {
    RunOptions run;
    run.env = std::move(extraEnv);
    run.env.push_back("DEVICE_URI=" + uri);
    run.env.push_back("QOR_JOB_ROUTING_BUNDLE=" + bundle);
    run.input = jobText();
    return runProgram({QORPSTOPS_PATH, "7", "ann", "Fax", "1", "PrintTo=JRFax " + options}, run);
}

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// The job split around its cover page: what comes before the preamble, the row lines, and
// what follows the page's end.
struct CoverPage {
    std::string before, preamble, after;
    std::vector<std::string> rows;
};

CoverPage split(const std::string& out) {
    CoverPage page;
    const size_t start = out.find("%%FaxCoverPage: 1 1\n");
    if (start == std::string::npos) return page;
    page.before = out.substr(0, start);
    const size_t rowsAt = out.find("image\n", start) + 6;
    page.preamble = out.substr(start, rowsAt - start);
    const size_t end = out.find("showpage\n%%PageTrailer\n", rowsAt);
    std::istringstream rows(out.substr(rowsAt, end - rowsAt));
    for (std::string line; std::getline(rows, line);) page.rows.push_back(line + "\n");
    page.after = out.substr(end + 23);
    return page;
}

// Expected row text for a row with black pixels from x0 to x1 (exclusive).
std::string rowWithInk(size_t x0, size_t x1) {
    std::string row;
    for (size_t x = 0; x < 588; ++x) row += (x >= x0 && x < x1) ? "00" : "FF";
    return row + " \n";
}

TEST(CoverPageEndToEnd, FaxJobCarriesTheCoverPageAfterEndSetup) {
    for (const std::string uri : {"socket://printer", "usb://Quorvan/QL?serial=1"}) {
        SCOPED_TRACE(uri);
        const bool usb = uri.rfind("usb:", 0) == 0;
        const auto result = runFax("JRCOVERSHEET=TRUE JRJOBNAME=Ann", uri);
        ASSERT_EQ(result.status, 0) << result.err;
        const auto page = split(result.out);
        ASSERT_EQ(page.rows.size(), kRows);

        // Header (not for USB), the job up to %%EndSetup, then the page; the rest of the job
        // and the closing UEL (not for USB) after it.
        const std::string job = jobText();
        const size_t setupEnd = job.find("%%EndSetup\n") + 11;
        EXPECT_EQ(page.before.rfind(kUEL + "@PJL JOB\n", 0) == 0, !usb);
        EXPECT_TRUE(
            page.before.ends_with("@PJL ENTER LANGUAGE = POSTSCRIPT\n" + job.substr(0, setupEnd)) ||
            (usb && page.before == job.substr(0, setupEnd)));
        EXPECT_EQ(page.after, job.substr(setupEnd) + (usb ? "" : kUEL + "\n"));
        EXPECT_EQ(count(result.out, "%%EndSetup"), 1u);

        EXPECT_EQ(page.preamble, kCoverPagePreamble);
        for (const auto& row : page.rows) ASSERT_EQ(row.size(), 1178u);
        // Bottom row first: the first row line is the raster's white bottom row, and each
        // bar's pixel rows are the lines whose number is its height from the bottom.
        EXPECT_EQ(page.rows[0], rowWithInk(0, 0));
        for (const auto& bar : qor::kCoverSheetBars) {
            for (auto line = static_cast<size_t>(bar.bottom) + 1; line <= bar.top; ++line) {
                EXPECT_EQ(page.rows[line - 1], rowWithInk(40, 570)) << "line " << line;
            }
            EXPECT_NE(page.rows[static_cast<size_t>(bar.top)], rowWithInk(40, 570));
        }
    }
}

TEST(CoverPageEndToEnd, CoverFlagDecidesWhetherThereIsAPage) {
    const struct {
        const char* options;
        bool page;
    } cases[] = {{"JRCOVERSHEET=TRUE", true},
                 {"JRCOVERSHEET=True", true},
                 {"JRCOVERSHEET=FALSE", false},
                 {"JRCOVERSHEET=false", false},
                 {"", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        const auto result = runFax(c.options);
        ASSERT_EQ(result.status, 0);
        EXPECT_EQ(count(result.out, "%%FaxCoverPage: 1 1\n"), c.page ? 1u : 0u);
        EXPECT_EQ(count(result.out, "showpage\n%%PageTrailer\n"), c.page ? 1u : 0u);
        EXPECT_EQ(count(result.out, "%%EndSetup"), 1u);
    }
}

TEST(CoverPageEndToEnd, EncodingStringPicksTheLabels) {
    // Pages of the same options agree exactly when their labels are the same.
    auto rows = [](const char* encoding) {
        const auto result = runFax(std::string("JRCOVERSHEET=TRUE JRJOBNAME=Ann ") + encoding);
        EXPECT_EQ(result.err, "");
        return split(result.out).rows;
    };
    const auto english = rows("JRENCODINGSTR=English");
    const auto french = rows("JRENCODINGSTR=French");
    ASSERT_EQ(english.size(), kRows);
    EXPECT_NE(french, english);
    EXPECT_EQ(rows("JRENCODINGSTR=FRENCH"), french);
    EXPECT_EQ(rows("JRENCODINGSTR=Japanese"), english);
    EXPECT_EQ(rows("JRENCODINGSTR=zh_CN"), english);
    EXPECT_EQ(rows(""), english);
    EXPECT_NE(rows("JRENCODINGSTR=de"), rows("JRENCODINGSTR=German"));
}

TEST(CoverPageEndToEnd, WithoutBundleOrFontsTheFaxGoesOutWithoutItsPage) {
    const struct {
        const char* name;
        std::string bundle;
        std::vector<std::string> env;
        std::string message;
    } cases[] = {
        {"missing bundle",
         "/nonexistent/Quorvan Job Routing.plugin",
         {},
         "ERROR: Unable to find the Job Routing bundle /nonexistent/Quorvan Job "
         "Routing.plugin; the fax is sent without its cover page.\n"},
        {"missing fonts",
         QOR_REAL_BUNDLE,
         {"FONTCONFIG_FILE=" + fixture("no-fonts.conf")},
         "ERROR: Unable to find the font Helvetica-BoldOblique (Nimbus Sans Bold Italic); the "
         "fax is sent without its cover page.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result =
            runFax("JRCOVERSHEET=TRUE JRJOBNAME=Ann", "socket://printer", c.bundle, c.env);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, c.message);
        EXPECT_EQ(count(result.out, "%%FaxCoverPage"), 0u);
        EXPECT_EQ(count(result.out, "%%EndSetup"), 1u);
        EXPECT_TRUE(
            result.out.ends_with(jobText().substr(jobText().find("%%Page: 1 1")) + kUEL + "\n"));
    }
}

TEST(CoverPageEndToEnd, JobsWithoutCoverPageLoadNoFontsNorBundle) {
    // fontconfig complains about a missing configuration file as soon as it starts, and a
    // missing bundle is reported when it is looked for: neither may happen without a page.
    const std::vector<std::string> probe = {"FONTCONFIG_FILE=/nonexistent/fonts.conf"};
    for (const char* options : {"JRCOVERSHEET=FALSE JRENCODINGSTR=French", ""}) {
        SCOPED_TRACE(options);
        const auto quiet = runFax(options, "socket://printer", "/nonexistent/JR.plugin", probe);
        EXPECT_EQ(quiet.status, 0);
        EXPECT_EQ(quiet.err, "");
    }
    const auto drawn = runFax("JRCOVERSHEET=TRUE", "socket://printer", QOR_REAL_BUNDLE, probe);
    EXPECT_NE(drawn.err.find("Fontconfig"), std::string::npos);
}

// A grey page rendered by Ghostscript at 72 dpi on US Letter, top row first.
struct GreyPage {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    // The pixel under the cover raster's drawing coordinates (image corner at 12, 12).
    int at(int x, int y) const {
        return pixels[static_cast<size_t>(height - 13 - y) * width + 12 + x];
    }
};

GreyPage readPgm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    GreyPage page;
    in >> magic >> std::ws;
    while (in.peek() == '#') in.ignore(1 << 16, '\n');  // Ghostscript names itself here
    in >> page.width >> page.height >> maxValue;
    in.get();
    page.pixels.resize(static_cast<size_t>(page.width) * page.height);
    in.read(reinterpret_cast<char*>(page.pixels.data()),
            static_cast<std::streamsize>(page.pixels.size()));
    if (magic != "P5" || maxValue != 255 || !in) page.pixels.clear();
    return page;
}

TEST(CoverPageEndToEnd, GhostscriptPrintsTheCoverPageWhereTheLayoutPutsIt) {
    const std::string options =
        "JRCOVERSHEET=TRUE JRENCODINGSTR=French JRJOBNAME=Ann<20>Lee JRCSNAME=Ren\xC3\xA9 "
        "JRCSCPAGES=3 JRCSCOMMNTA=Bonjour";
    // The columns as the filter works them out from the same bundle and options.
    const auto layout = [&options] {
        ScopedEnv bundle("QOR_JOB_ROUTING_BUNDLE", QOR_REAL_BUNDLE);
        const auto store = qor::argumentStore::initWithOptionString(options.c_str());
        return qor::greyscaleCoverSheet::CreateBitmapContextWithWidth(588, 768, store)
            ->layOutPage(store);
    }();
    const int labelEnd = static_cast<int>(layout.labelColumn);
    const int values = static_cast<int>(layout.valueColumn);

    TempDir dir;
    const auto result = runFax(options);
    ASSERT_EQ(result.status, 0);
    writeFile(dir.file("job.prn"), result.out);
    const auto gs =
        runProgram({"/usr/bin/gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=pgmraw",
                    "-r72", "-dFIXEDMEDIA", "-sPAPERSIZE=letter", "-dFirstPage=1", "-dLastPage=1",
                    "-sOutputFile=" + dir.file("page.pgm"), dir.file("job.prn")});
    ASSERT_EQ(gs.status, 0) << gs.err;
    EXPECT_EQ(gs.err, "");
    EXPECT_EQ(gs.out, "");
    const auto page = readPgm(dir.file("page.pgm"));
    ASSERT_EQ(page.width, 612);
    ASSERT_EQ(page.height, 792);

    auto ink = [&page](int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += page.at(x, y) < 254;
        return n;
    };
    for (const auto& bar : qor::kCoverSheetBars) {
        SCOPED_TRACE(bar.bottom);
        for (int y = static_cast<int>(bar.bottom); y < bar.top; ++y) {
            for (int x = 40; x < 570; ++x) ASSERT_LE(page.at(x, y), 1) << x << "," << y;
            EXPECT_GE(page.at(39, y), 254);
            EXPECT_GE(page.at(570, y), 254);
        }
        EXPECT_EQ(ink(40, static_cast<int>(bar.top), 570, static_cast<int>(bar.top) + 1), 0);
        EXPECT_EQ(ink(40, static_cast<int>(bar.bottom) - 1, 570, static_cast<int>(bar.bottom)), 0);
    }
    EXPECT_GT(ink(40, 695, 500, 725), 300);                 // title
    EXPECT_GT(ink(40, 625, 250, 648), 150);                 // "Pages to Follow:" and the count
    EXPECT_GT(ink(40, 565, 120, 588), 30);                  // "To:" heading
    EXPECT_GT(ink(labelEnd - 40, 537, labelEnd, 551), 30);  // recipient "Name:" label
    EXPECT_EQ(ink(labelEnd + 1, 530, values - 1, 600), 0);  // the gap between the columns
    EXPECT_GT(ink(values, 537, values + 100, 551), 30);     // recipient name
    EXPECT_GT(ink(values, 415, values + 100, 432), 30);     // sender name
    EXPECT_GT(ink(values, 160, values + 100, 176), 30);     // first comment line
    EXPECT_EQ(ink(values, 385, 570, 400), 0);               // company: no value
    EXPECT_EQ(ink(40, 45, 570, 140), 0);                    // comment lines 2 to 6: none
    EXPECT_EQ(ink(-12, -12, 600, 0), 0);                    // the margin below the image
}

}  // namespace
