// Mac Roman conversion through iconv's MACINTOSH character set.
#include "MacRoman.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>

namespace qor::gfx {
namespace {

constexpr const char* kMacRoman = "MACINTOSH";

class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

  private:
    iconv_t cd_;
};

// Length of the UTF-8 sequence starting at text[0], or 1 when it is not a valid sequence, so
// that an unconvertible character is skipped whole and a stray byte alone.
size_t sequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length > text.size()) return 1;
    for (size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 1;
    }
    return length;
}

std::array<char32_t, 256> buildUnicodeTable() {
    std::array<char32_t, 256> table{};
    Converter cd("UTF-32LE", kMacRoman);
    for (unsigned byte = 0; byte < 256; ++byte) {
        table[byte] = byte < 0x80 ? byte : 0;
        if (byte < 0x80 || !cd.ok()) continue;
        char in = static_cast<char>(byte);
        std::array<unsigned char, 4> out{};
        char* inPtr = &in;
        auto* outPtr = reinterpret_cast<char*>(out.data());
        size_t inLeft = 1, outLeft = out.size();
        if (iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1)) {
            table[byte] = static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 |
                                                static_cast<uint32_t>(out[3]) << 24);
        }
    }
    return table;
}

}  // namespace

std::string toMacRoman(std::string_view utf8) {
    Converter cd(kMacRoman, "UTF-8");
    if (!cd.ok()) return {};
    // Mac Roman takes one byte per character and UTF-8 at least one, so the output never
    // outgrows the input.
    std::string out(utf8.size(), '\0');
    auto* inPtr = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1)) break;
        if (errno != EILSEQ && errno != EINVAL) break;
        const size_t skip = sequenceLength(std::string_view(inPtr, inLeft));
        inPtr += skip;
        inLeft -= skip;
    }
    out.resize(out.size() - outLeft);
    return out;
}

char32_t macRomanToUnicode(unsigned char byte) {
    static const std::array<char32_t, 256> table = buildUnicodeTable();
    return table[byte];
}

}  // namespace qor::gfx
