// Layout, drawing and row output of the fax cover page.
#include "greyscaleCoverSheet.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <new>

#include "FontCatalog.h"
#include "JobRoutingBundle.h"
#include "JobRoutingOptions.h"
#include "MacRoman.h"

namespace qor {
namespace {

constexpr std::array<std::string_view, 3> kRoleFonts = {"Helvetica-BoldOblique", "Arial Bold",
                                                        "Arial"};

// Labels looked up in the translation table under their English text.
constexpr std::string_view kTitle = "Facsimile Transmission Form";
constexpr std::string_view kPagesToFollow = "Pages to Follow:";
constexpr std::string_view kTo = "To:";
constexpr std::string_view kFrom = "From:";
constexpr std::string_view kComments = "Comments:";
constexpr std::string_view kName = "Name:";
constexpr std::string_view kVoice = "Voice #:";
constexpr std::string_view kCompany = "Company:";
constexpr std::string_view kAddress = "Address:";
constexpr std::string_view kFax = "Fax #:";
constexpr std::string_view kEmail = "Email:";

// The labels whose widest translation sets the label and value columns.
constexpr std::array<std::string_view, 6> kColumnLabels = {kVoice,   kName, kCompany,
                                                           kAddress, kFax,  kEmail};

constexpr double kTitleSize = 26;
constexpr double kHeadingSize = 18;
constexpr double kLabelSize = 12;
constexpr double kMeasureSize = 26;
constexpr double kLeft = 40;

struct FieldRow {
    double y;
    std::string_view label;  // empty: a value without a label
    std::string_view option;
};

constexpr std::array<FieldRow, 15> kFieldRows = {{
    {540, kName, jr::kJobName},
    {510, kVoice, jr::kCSRecVoice},
    {420, kName, jr::kCSName},
    {390, kCompany, jr::kCSCompany},
    {360, kAddress, jr::kCSAddr1},
    {345, {}, jr::kCSAddr2},
    {315, kFax, jr::kCSSendFax},
    {285, kVoice, jr::kCSSendVoice},
    {255, kEmail, jr::kCSEmail},
    {165, {}, jr::kCSComments[0]},
    {145, {}, jr::kCSComments[1]},
    {125, {}, jr::kCSComments[2]},
    {105, {}, jr::kCSComments[3]},
    {85, {}, jr::kCSComments[4]},
    {65, {}, jr::kCSComments[5]},
}};

std::string makePreamble(int32_t width, int32_t height) {
    const std::string w = std::to_string(width);
    const std::string h = std::to_string(height - 1);
    return "%%FaxCoverPage: 1 1\n"
           "/temp " +
           w +
           " string def\n"
           "/CSImage 7 dict def\n"
           "CSImage begin\n"
           "    /ImageType 1 def\n"
           "    /Width " +
           w +
           " def\n"
           "    /Height " +
           h +
           " def\n"
           "    /BitsPerComponent 8 def\n"
           "    /ImageMatrix [ 1 0 0 1 0 0 ] def\n"
           "    /DataSource { currentfile temp readhexstring pop } def\n"
           "    /Decode [ 0 1 ] def\n"
           "end\n"
           "12 12 translate\n"
           "/DeviceGray setcolorspace\n"
           "CSImage\n"
           "image\n";
}

}  // namespace

std::unique_ptr<greyscaleCoverSheet> greyscaleCoverSheet::CreateBitmapContextWithWidth(
    int32_t width, int32_t withHeight, const argumentStore& language) {
    if (width <= 0 || withHeight <= 0) return nullptr;
    std::unique_ptr<greyscaleCoverSheet> sheet(new greyscaleCoverSheet());
    sheet->currentLine_ = -1;
    sheet->lineCount_ = withHeight;
    sheet->bitmapBytesPerRow_ = width;
    // cairo draws on at most 32767 pixels a side; a larger raster is not even allocated.
    constexpr int32_t kLargestSide = 32767;
    if (width <= kLargestSide && withHeight <= kLargestSide) {
        try {
            sheet->bitMapArea_.assign(static_cast<size_t>(width) * static_cast<size_t>(withHeight),
                                      255);
            sheet->context_ = gfx::GreyBitmapContext::create(sheet->bitMapArea_.data(), width,
                                                             withHeight, sheet->bitmapBytesPerRow_);
        } catch (const std::bad_alloc&) {
            sheet->context_.reset();
        }
    }
    if (!sheet->context_) {
        std::fprintf(stderr, "ERROR: Unable to make the %dx%d fax cover page raster.\n", width,
                     withHeight);
        return nullptr;
    }

    const std::string bundle = jobRoutingBundlePath();
    std::error_code error;
    if (!std::filesystem::is_directory(bundle, error)) {
        std::fprintf(stderr,
                     "ERROR: Unable to find the Job Routing bundle %s; the fax is sent without "
                     "its cover page.\n",
                     bundle.c_str());
        return nullptr;
    }

    const std::string* encoding = language.getValue(jr::kEncodingStr);
    const int fontNum = findFontNumWith(encoding ? std::string_view(*encoding) : "");
    for (int role = kTitleFont; role <= kLabelFont; ++role) {
        const std::string_view name = infoForCoverSheetValue(role, fontNum);
        const auto face = gfx::findFontNamed(name);
        auto font = face ? gfx::Font::load(*face) : nullptr;
        if (!font) {
            const auto standIn = gfx::faceNameFor(name);
            std::fprintf(stderr,
                         "ERROR: Unable to find the font %.*s (%.*s %.*s); the fax is sent "
                         "without its cover page.\n",
                         static_cast<int>(name.size()), name.data(),
                         standIn ? static_cast<int>(standIn->family.size()) : 0,
                         standIn ? standIn->family.data() : "",
                         standIn ? static_cast<int>(standIn->style.size()) : 0,
                         standIn ? standIn->style.data() : "");
            return nullptr;
        }
        sheet->fonts_[static_cast<size_t>(role)] = std::move(font);
    }

    sheet->translations_ = transDictionary::initWithFilePath(
        stringsFilePath(bundle, jr::kLocalizations[static_cast<size_t>(fontNum)]));
    sheet->postScriptImageString_ = makePreamble(width, withHeight);
    return sheet;
}

int greyscaleCoverSheet::findFontNumWith(std::string_view language) {
    // Only these have their own labels on the page; the Asian localizations use English ones.
    for (int number = 1; number <= 10; ++number) {
        const std::string_view name = jr::kLocalizations[static_cast<size_t>(number)];
        if (name.size() == language.size() &&
            strncasecmp(name.data(), language.data(), name.size()) == 0) {
            return number;
        }
    }
    return 0;
}

std::string_view greyscaleCoverSheet::infoForCoverSheetValue(int role, int /*fontNum*/) {
    return kRoleFonts[static_cast<size_t>(std::clamp(role, 0, 2))];
}

std::string greyscaleCoverSheet::encodeWithString(std::string_view value) {
    return gfx::toMacRoman(value);
}

std::string greyscaleCoverSheet::label(std::string_view key) const {
    const std::string* text = translations_.getValue(key);
    return text ? gfx::toMacRoman(*text) : std::string();
}

void greyscaleCoverSheet::selectFont(int role, double size) {
    context_->setFont(fonts_[static_cast<size_t>(role)], size);
}

double greyscaleCoverSheet::scanTextForLargest(const argumentStore& /*store*/) {
    double largest = 0;
    for (const auto key : kColumnLabels) largest = std::max(largest, getTextPixelWidth(label(key)));
    return largest;
}

CoverSheetLayout greyscaleCoverSheet::layOutPage(const argumentStore& store) {
    CoverSheetLayout layout;
    auto add = [&layout](int role, double size, double x, double y, std::string text) {
        if (!text.empty()) layout.texts.push_back({role, size, {x, y}, std::move(text)});
    };
    auto value = [&store](std::string_view option) {
        const std::string* text = store.getValue(option);
        return text ? encodeWithString(*text) : std::string();
    };

    selectFont(kLabelFont, kMeasureSize);
    const double half = scanTextForLargest(store) / 2;
    layout.labelColumn = half + 60;
    layout.valueColumn = half + 70;

    add(kTitleFont, kTitleSize, kLeft, 700, label(kTitle));

    selectFont(kHeadingFont, kHeadingSize);
    const std::string pages = label(kPagesToFollow);
    add(kHeadingFont, kHeadingSize, kLeft, 630, pages);
    add(kHeadingFont, kHeadingSize, kLeft + getTextPixelWidth(pages) + 50, 630,
        value(jr::kCSPages));
    add(kHeadingFont, kHeadingSize, kLeft, 450, label(kFrom));
    add(kHeadingFont, kHeadingSize, kLeft, 570, label(kTo));
    add(kHeadingFont, kHeadingSize, kLeft, 195, label(kComments));

    selectFont(kLabelFont, kLabelSize);
    for (const auto& row : kFieldRows) {
        if (!row.label.empty()) {
            std::string text = label(row.label);
            const double x = layout.labelColumn - getTextPixelWidth(text);
            add(kLabelFont, kLabelSize, x, row.y, std::move(text));
        }
        add(kLabelFont, kLabelSize, layout.valueColumn, row.y, value(row.option));
    }
    return layout;
}

void greyscaleCoverSheet::createImageWith(const argumentStore& store) {
    for (const auto& text : layOutPage(store).texts) {
        selectFont(text.role, text.size);
        context_->setTextPosition(text.position);
        context_->showText(text.macRoman);
    }
    for (const auto& bar : kCoverSheetBars) {
        context_->fillRect(kBarLeft, bar.bottom, kBarRight - kBarLeft, bar.top - bar.bottom);
    }
}

std::optional<std::string> greyscaleCoverSheet::nextLine() {
    static constexpr char kHex[] = "0123456789ABCDEF";
    if (currentLine_ == -1) currentLine_ = lineCount_ - 1;
    const int32_t row = currentLine_--;
    // The top row is never handed out, so its text is not even made.
    if (currentLine_ < 0) return std::nullopt;
    const size_t width = static_cast<size_t>(bitmapBytesPerRow_);
    const std::uint8_t* pixels = bitMapArea_.data() + static_cast<size_t>(row) * width;
    std::string text(width * 2 + 2, ' ');
    for (size_t i = 0; i < width; ++i) {
        text[2 * i] = kHex[pixels[i] >> 4];
        text[2 * i + 1] = kHex[pixels[i] & 0x0F];
    }
    text.back() = '\n';
    return text;
}

}  // namespace qor
