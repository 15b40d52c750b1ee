// The fax cover page: laid out and drawn into a grey raster, handed out as PostScript image rows.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "GreyBitmapContext.h"
#include "argumentStore.h"
#include "transDictionary.h"

namespace qor {

// Font roles of the page; the same faces for every language.
enum CoverSheetFontRole : int { kTitleFont = 0, kHeadingFont = 1, kLabelFont = 2 };

// One text of the page as it is drawn: font role and size, baseline start, Mac Roman bytes.
struct CoverSheetText {
    int role = kLabelFont;
    double size = 0;
    gfx::Point position;
    std::string macRoman;
};

// Where the page's texts go, worked out before anything is drawn.
struct CoverSheetLayout {
    double labelColumn = 0;  // labels end here
    double valueColumn = 0;  // values start here
    std::vector<CoverSheetText> texts;
};

// A bar of the page, from x 40 to 570, between two heights measured from the bottom edge.
struct CoverSheetBar {
    double bottom;
    double top;
};
inline constexpr std::array<CoverSheetBar, 5> kCoverSheetBars = {
    {{683, 685}, {619, 620}, {494, 495}, {239, 240}, {25, 27}}};
inline constexpr double kBarLeft = 40;
inline constexpr double kBarRight = 570;

class greyscaleCoverSheet {
  public:
    // The page object for a width and height, with the labels in the language of the store's
    // JRENCODINGSTR. Nothing (after a message on standard error) when the Job Routing bundle
    // is not there, a font of the page is not installed, or the raster cannot be made (the
    // width must be a multiple of 4 so that rows are exactly `width` bytes).
    static std::unique_ptr<greyscaleCoverSheet> CreateBitmapContextWithWidth(
        int32_t width, int32_t withHeight, const argumentStore& language);

    // Draws the page for the store's cover-sheet options into the raster.
    void createImageWith(const argumentStore& store);

    gfx::GreyBitmapContext& context() { return *context_; }

    // The language number of a localization name: 1 to 10 for French, Italian, German,
    // Spanish, pt, da, fi, nl, no, sv (letter case aside), 0 for every other name.
    static int findFontNumWith(std::string_view language);
    // The platform font name of a role (0 to 2); the language number does not change it.
    static std::string_view infoForCoverSheetValue(int role, int fontNum);

    void moveTextPositionBy(double dx, double dy) { context_->moveTextPosition(dx, dy); }
    // A value of the options (UTF-8) as the Mac Roman bytes it is drawn with.
    static std::string encodeWithString(std::string_view value);
    // The advance of Mac Roman text in the current font.
    double getTextPixelWidth(std::string_view macRoman) { return context_->textAdvance(macRoman); }
    // The widest of the translated labels of the two blocks in the current font.
    double scanTextForLargest(const argumentStore& store);

    // The texts of the page and their places, measured with the page's fonts.
    CoverSheetLayout layOutPage(const argumentStore& store);

    const std::string& postScriptImageString() const { return postScriptImageString_; }
    // The next row as hexadecimal text, from the bottom row upwards; nothing once the row
    // below the top row has gone out (the top row is never sent), and then the next request
    // starts from the bottom again.
    std::optional<std::string> nextLine();

    const transDictionary& translations() const { return translations_; }
    const std::vector<std::uint8_t>& bitMapArea() const { return bitMapArea_; }
    int32_t bitmapBytesPerRow() const { return bitmapBytesPerRow_; }
    int32_t lineCount() const { return lineCount_; }

  private:
    greyscaleCoverSheet() = default;
    // The Mac Roman form of a label's translation; empty when the table lacks it.
    std::string label(std::string_view key) const;
    void selectFont(int role, double size);

    transDictionary translations_;
    std::vector<std::uint8_t> bitMapArea_;
    std::unique_ptr<gfx::GreyBitmapContext> context_;
    std::string postScriptImageString_;
    int32_t bitmapBytesPerRow_ = 0;
    int32_t lineCount_ = 0;
    int32_t currentLine_ = -1;
    std::array<std::shared_ptr<const gfx::Font>, 3> fonts_;
};

}  // namespace qor
