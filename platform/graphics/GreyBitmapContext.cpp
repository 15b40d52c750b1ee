// cairo drawing into grey bytes, with FreeType faces.
#include "GreyBitmapContext.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <vector>

#include "MacRoman.h"

namespace qor::gfx {
namespace {

FT_Library freeType() {
    // One library for the process; faces are only opened, never shared across threads.
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        return FT_Init_FreeType(&lib) == 0 ? lib : nullptr;
    }();
    return library;
}

cairo_user_data_key_t kFaceKey;

}  // namespace

std::shared_ptr<const Font> Font::load(const FontFace& face) {
    FT_Library library = freeType();
    if (!library) return nullptr;
    FT_Face ftFace = nullptr;
    if (FT_New_Face(library, face.file.c_str(), face.index, &ftFace) != 0) return nullptr;
    FT_Select_Charmap(ftFace, FT_ENCODING_UNICODE);
    cairo_font_face_t* cairoFace = cairo_ft_font_face_create_for_ft_face(ftFace, 0);
    // cairo may keep the face past our own reference, so it closes the FreeType face itself.
    if (cairo_font_face_status(cairoFace) != CAIRO_STATUS_SUCCESS ||
        cairo_font_face_set_user_data(cairoFace, &kFaceKey, ftFace, [](void* f) {
            FT_Done_Face(static_cast<FT_Face>(f));
        }) != CAIRO_STATUS_SUCCESS) {
        cairo_font_face_destroy(cairoFace);
        FT_Done_Face(ftFace);
        return nullptr;
    }
    std::shared_ptr<Font> font(new Font());
    font->face_ = face;
    font->ftFace_ = ftFace;
    font->cairoFace_ = cairoFace;
    return font;
}

Font::~Font() {
    if (cairoFace_) cairo_font_face_destroy(cairoFace_);
}

unsigned Font::glyphIndex(char32_t codePoint) const {
    return FT_Get_Char_Index(ftFace_, codePoint);
}

std::unique_ptr<GreyBitmapContext> GreyBitmapContext::create(std::uint8_t* pixels, int width,
                                                             int height, int bytesPerRow) {
    if (!pixels || width <= 0 || height <= 0 ||
        bytesPerRow != cairo_format_stride_for_width(CAIRO_FORMAT_A8, width)) {
        return nullptr;
    }
    std::unique_ptr<GreyBitmapContext> context(new GreyBitmapContext());
    context->width_ = width;
    context->height_ = height;
    context->surface_ =
        cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_A8, width, height, bytesPerRow);
    context->cr_ = cairo_create(context->surface_);
    if (cairo_surface_status(context->surface_) != CAIRO_STATUS_SUCCESS ||
        cairo_status(context->cr_) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    // cairo has no grey format. The A8 surface holds the grey level itself (255 white), and ink
    // removes "alpha": DEST_OUT gives grey * (1 - coverage), exactly black ink laid over grey.
    cairo_set_operator(context->cr_, CAIRO_OPERATOR_DEST_OUT);
    cairo_set_source_rgba(context->cr_, 0, 0, 0, 1);
    cairo_set_antialias(context->cr_, CAIRO_ANTIALIAS_NONE);
    return context;
}

GreyBitmapContext::~GreyBitmapContext() {
    if (scaledFont_) cairo_scaled_font_destroy(scaledFont_);
    if (cr_) cairo_destroy(cr_);
    if (surface_) cairo_surface_destroy(surface_);
}

void GreyBitmapContext::setFont(std::shared_ptr<const Font> font, double size) {
    if (scaledFont_) cairo_scaled_font_destroy(scaledFont_);
    scaledFont_ = nullptr;
    font_ = std::move(font);
    if (!font_) return;
    cairo_matrix_t fontMatrix, identity;
    cairo_matrix_init_scale(&fontMatrix, size, size);
    cairo_matrix_init_identity(&identity);
    // Unhinted outlines and advances: widths follow the face's metrics, not the pixel grid.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    scaledFont_ = cairo_scaled_font_create(font_->cairoFace_, &fontMatrix, &identity, options);
    cairo_font_options_destroy(options);
    if (cairo_scaled_font_status(scaledFont_) != CAIRO_STATUS_SUCCESS) {
        cairo_scaled_font_destroy(scaledFont_);
        scaledFont_ = nullptr;
    }
}

void GreyBitmapContext::moveTextPosition(double dx, double dy) {
    textPosition_.x += dx;
    textPosition_.y += dy;
}

// Walks the glyphs of a Mac Roman text from the text position; returns the total advance.
template <typename GlyphFn>
double GreyBitmapContext::layOut(std::string_view macRoman, GlyphFn&& onGlyph) const {
    if (!scaledFont_) return 0;
    double advance = 0;
    for (const char byte : macRoman) {
        const unsigned index =
            font_->glyphIndex(macRomanToUnicode(static_cast<unsigned char>(byte)));
        if (index == 0) continue;
        cairo_glyph_t glyph{index, textPosition_.x + advance, height_ - textPosition_.y};
        cairo_text_extents_t extents;
        cairo_scaled_font_glyph_extents(scaledFont_, &glyph, 1, &extents);
        onGlyph(glyph);
        advance += extents.x_advance;
    }
    return advance;
}

void GreyBitmapContext::showText(std::string_view macRoman) {
    std::vector<cairo_glyph_t> glyphs;
    const double advance =
        layOut(macRoman, [&glyphs](const cairo_glyph_t& glyph) { glyphs.push_back(glyph); });
    if (!glyphs.empty()) {
        cairo_set_scaled_font(cr_, scaledFont_);
        cairo_show_glyphs(cr_, glyphs.data(), static_cast<int>(glyphs.size()));
    }
    textPosition_.x += advance;
}

double GreyBitmapContext::textAdvance(std::string_view macRoman) const {
    return layOut(macRoman, [](const cairo_glyph_t&) {});
}

void GreyBitmapContext::fillRect(double x, double y, double width, double height) {
    cairo_rectangle(cr_, x, height_ - y - height, width, height);
    cairo_fill(cr_);
}

}  // namespace qor::gfx
