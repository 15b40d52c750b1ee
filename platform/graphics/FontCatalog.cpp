// Face lookup through fontconfig's font list.
#include "FontCatalog.h"

#include <fontconfig/fontconfig.h>

#include <array>
#include <memory>
#include <string>
#include <tuple>

namespace qor::gfx {
namespace {

struct NamedFace {
    std::string_view name;
    FaceName face;
};

constexpr std::array<NamedFace, 3> kStandIns = {{
    {"Helvetica-BoldOblique", {"Nimbus Sans", "Bold Italic"}},
    {"Arial Bold", {"Liberation Sans", "Bold"}},
    {"Arial", {"Liberation Sans", "Regular"}},
}};

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct ObjectSetDeleter {
    void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};

std::string stringOf(FcPattern* pattern, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || !value) return {};
    return reinterpret_cast<const char*>(value);
}

// Outline formats FreeType reads with their own metrics first; Type 1 copies of the same face
// last. The path breaks ties so the choice never depends on the order of the font cache.
std::tuple<int, std::string> preference(FcPattern* pattern) {
    const std::string format = stringOf(pattern, FC_FONTFORMAT);
    const int rank = format == "CFF" ? 0 : format == "TrueType" ? 1 : 2;
    return {rank, stringOf(pattern, FC_FILE)};
}

}  // namespace

std::optional<FontFace> findFace(std::string_view family, std::string_view style) {
    if (!FcInit()) return std::nullopt;
    const std::string familyText(family), styleText(style);
    std::unique_ptr<FcPattern, PatternDeleter> pattern(FcPatternBuild(
        nullptr, FC_FAMILY, FcTypeString, reinterpret_cast<const FcChar8*>(familyText.c_str()),
        FC_STYLE, FcTypeString, reinterpret_cast<const FcChar8*>(styleText.c_str()), FC_SCALABLE,
        FcTypeBool, FcTrue, nullptr));
    std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(
        FcObjectSetBuild(FC_FILE, FC_INDEX, FC_FAMILY, FC_STYLE, FC_FONTFORMAT, nullptr));
    if (!pattern || !objects) return std::nullopt;
    std::unique_ptr<FcFontSet, FontSetDeleter> fonts(
        FcFontList(nullptr, pattern.get(), objects.get()));
    if (!fonts) return std::nullopt;

    FcPattern* best = nullptr;
    for (int i = 0; i < fonts->nfont; ++i) {
        FcPattern* candidate = fonts->fonts[i];
        if (stringOf(candidate, FC_FILE).empty()) continue;
        if (!best || preference(candidate) < preference(best)) best = candidate;
    }
    if (!best) return std::nullopt;
    FontFace face;
    face.file = stringOf(best, FC_FILE);
    FcPatternGetInteger(best, FC_INDEX, 0, &face.index);
    face.family = stringOf(best, FC_FAMILY);
    face.style = stringOf(best, FC_STYLE);
    return face;
}

std::optional<FaceName> faceNameFor(std::string_view fontName) {
    for (const auto& entry : kStandIns) {
        if (entry.name == fontName) return entry.face;
    }
    return std::nullopt;
}

std::optional<FontFace> findFontNamed(std::string_view fontName) {
    const auto name = faceNameFor(fontName);
    if (!name) return std::nullopt;
    return findFace(name->family, name->style);
}

}  // namespace qor::gfx

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QOR_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(QOR_ADDRESS_SANITIZER)
// fontconfig 2.14 loses a few bytes while it parses its configuration files; sanitized builds
// of every program that looks up faces would otherwise fail at exit for a fault not their own.
// The library has no frame pointers, so its stacks end inside it and only the whole library
// can be named here; the fontconfig objects of this file are all held by unique_ptr.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
// Keeps the report of that suppression off standard error, where a filter's messages go.
extern "C" const char* __lsan_default_options() {
    return "print_suppressions=0";
}
#endif
