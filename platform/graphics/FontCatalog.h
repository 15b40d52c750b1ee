// Finds installed font faces by family and style, and the faces standing for platform font names.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qor::gfx {

// One installed face: the file FreeType opens and what fontconfig calls it.
struct FontFace {
    std::string file;
    int index = 0;
    std::string family;
    std::string style;
};

// The installed face of exactly this family and style (letter case aside), or nothing.
// Never falls back to another family: a text drawn in the wrong face would change its widths.
std::optional<FontFace> findFace(std::string_view family, std::string_view style);

// The family and style that stand for one of the platform's font names, chosen for the same
// glyph widths: "Helvetica-BoldOblique" is Nimbus Sans Bold Italic, "Arial Bold" Liberation
// Sans Bold, "Arial" Liberation Sans Regular. fontconfig's own aliases do not reach these
// from the names as written. Nothing for a name without a stand-in.
struct FaceName {
    std::string_view family;
    std::string_view style;
};
std::optional<FaceName> faceNameFor(std::string_view fontName);

// findFace of faceNameFor(fontName).
std::optional<FontFace> findFontNamed(std::string_view fontName);

}  // namespace qor::gfx
