// Value escaping of the job-routing options.
#include "JobRoutingOptions.h"

#include <cstdio>

namespace qor::jr {
namespace {

struct Code {
    char character;
    std::string_view text;
};

bool isSpecial(char c) {
    return c == ' ' || c == '\'' || c == ',' || c == '<' || c == '=' || c == '>';
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

// Replaces every occurrence of the code in one pass. Two occurrences of a code can never
// overlap (its '<' and '>' stand only at its ends), so the occurrences found from the start
// are those found from the end, and a replaced character is never searched again.
std::string replaceAll(std::string_view text, const Code& code, bool ignoreCase) {
    const size_t n = code.text.size();
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const std::string_view here = text.substr(pos, n);
        if (here.size() == n &&
            (ignoreCase ? sameIgnoringCase(here, code.text) : here == code.text)) {
            out += code.character;
            pos += n;
        } else {
            out += text[pos++];
        }
    }
    return out;
}

std::string decode(std::string_view text, const std::array<Code, 6>& order, bool ignoreCase) {
    std::string result(text);
    if (text.size() < 4) return result;
    for (const Code& code : order) result = replaceAll(result, code, ignoreCase);
    return result;
}

}  // namespace

std::string encodeSpecialCharacters(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (isSpecial(c)) {
            char buf[5];
            std::snprintf(buf, sizeof buf, "<%02X>", static_cast<unsigned char>(c));
            out += buf;
        } else {
            out += c;
        }
    }
    return out;
}

std::string decodeSpecialCharacters(std::string_view text) {
    static constexpr std::array<Code, 6> kPanelOrder = {{{' ', "<20>"},
                                                         {'\'', "<27>"},
                                                         {',', "<2C>"},
                                                         {'=', "<3D>"},
                                                         {'<', "<3C>"},
                                                         {'>', "<3E>"}}};
    return decode(text, kPanelOrder, false);
}

std::string filterDecodeSpecialCharacters(std::string_view text) {
    static constexpr std::array<Code, 6> kFilterOrder = {{{'\'', "<27>"},
                                                          {'=', "<3D>"},
                                                          {' ', "<20>"},
                                                          {',', "<2C>"},
                                                          {'<', "<3C>"},
                                                          {'>', "<3E>"}}};
    return decode(text, kFilterOrder, true);
}

}  // namespace qor::jr
