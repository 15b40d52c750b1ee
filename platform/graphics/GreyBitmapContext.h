// An 8-bit grey drawing context over caller-owned pixels: filled rectangles and Mac Roman text.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "FontCatalog.h"

struct _cairo;
struct _cairo_surface;
struct _cairo_font_face;
struct _cairo_scaled_font;
struct FT_FaceRec_;

namespace qor::gfx {

// A loaded face, shared by every context that draws with it.
class Font {
  public:
    // Nothing when FreeType cannot open the face's file.
    static std::shared_ptr<const Font> load(const FontFace& face);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    const FontFace& face() const { return face_; }
    // The face's glyph for a code point; 0 when the face has none.
    unsigned glyphIndex(char32_t codePoint) const;

  private:
    Font() = default;
    friend class GreyBitmapContext;
    FontFace face_;
    FT_FaceRec_* ftFace_ = nullptr;
    _cairo_font_face* cairoFace_ = nullptr;
};

struct Point {
    double x = 0;
    double y = 0;
};

// Draws black ink into rows of grey bytes (0 black, 255 white, top row first in memory).
// Coordinates are pixels with the origin at the bottom-left corner and y growing upwards; a text
// position is the start of the text's baseline. Text is unhinted with grey edges and rectangles
// are filled without antialiasing, so the same drawing always gives the same bytes.
class GreyBitmapContext {
  public:
    // Nothing when the rows are not laid out as cairo's 8-bit format needs (bytesPerRow must
    // be the width rounded up to a multiple of 4) or the context cannot be made. The pixels
    // stay the caller's and must outlive the context.
    static std::unique_ptr<GreyBitmapContext> create(std::uint8_t* pixels, int width, int height,
                                                     int bytesPerRow);
    ~GreyBitmapContext();
    GreyBitmapContext(const GreyBitmapContext&) = delete;
    GreyBitmapContext& operator=(const GreyBitmapContext&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }

    void setFont(std::shared_ptr<const Font> font, double size);
    void setTextPosition(Point position) { textPosition_ = position; }
    Point textPosition() const { return textPosition_; }
    void moveTextPosition(double dx, double dy);

    // Draws Mac Roman text at the text position and moves the position to its end. Characters
    // the font has no glyph for are left out. Without a font nothing is drawn.
    void showText(std::string_view macRoman);
    // How far showText would move the text position, without drawing.
    double textAdvance(std::string_view macRoman) const;

    void fillRect(double x, double y, double width, double height);

  private:
    GreyBitmapContext() = default;
    template <typename GlyphFn>
    double layOut(std::string_view macRoman, GlyphFn&& onGlyph) const;

    int width_ = 0;
    int height_ = 0;
    _cairo_surface* surface_ = nullptr;
    _cairo* cr_ = nullptr;
    std::shared_ptr<const Font> font_;
    _cairo_scaled_font* scaledFont_ = nullptr;
    Point textPosition_;
};

}  // namespace qor::gfx
