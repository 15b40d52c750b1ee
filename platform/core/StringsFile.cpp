// Strings-file reader: decoding, then a small tokenizer over code points.
#include "StringsFile.h"

#include "PropertyList.h"

namespace qor::core {

namespace {

struct Failure {
    std::string message;
};

bool isSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::u32string decodeUtf8(std::span<const std::uint8_t> bytes) {
    std::u32string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::uint8_t b = bytes[i];
        int extra;
        char32_t c, min;
        if (b < 0x80) {
            extra = 0, c = b, min = 0;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1, c = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, c = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, c = b & 0x07, min = 0x10000;
        } else {
            throw Failure{"invalid UTF-8 at byte " + std::to_string(i)};
        }
        if (bytes.size() - i <= static_cast<std::size_t>(extra))
            throw Failure{"truncated UTF-8 sequence at byte " + std::to_string(i)};
        for (int k = 1; k <= extra; ++k) {
            std::uint8_t next = bytes[i + k];
            if ((next & 0xC0) != 0x80)
                throw Failure{"invalid UTF-8 at byte " + std::to_string(i + k)};
            c = (c << 6) | (next & 0x3F);
        }
        if (c < min || c > 0x10FFFF || isSurrogate(c))
            throw Failure{"invalid UTF-8 at byte " + std::to_string(i)};
        out += c;
        i += extra + 1;
    }
    return out;
}

std::u32string decodeUtf16(std::span<const std::uint8_t> bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) throw Failure{"UTF-16 text with an odd number of bytes"};
    auto unit = [&](std::size_t i) -> char32_t {
        return bigEndian ? (bytes[i] << 8 | bytes[i + 1]) : (bytes[i + 1] << 8 | bytes[i]);
    };
    std::u32string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size()) {
            char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out += 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
                continue;
            }
        }
        if (isSurrogate(c)) throw Failure{"unpaired UTF-16 surrogate at byte " + std::to_string(i)};
        out += c;
    }
    return out;
}

// A byte-order mark decides; without one, NUL bytes betray UTF-16 (whose ASCII
// characters have a zero half), and anything else must be UTF-8.
std::u32string decode(std::span<const std::uint8_t> bytes) {
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        return decodeUtf8(bytes.subspan(3));
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return decodeUtf16(bytes.subspan(2), false);
    if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
        return decodeUtf16(bytes.subspan(2), true);
    if (bytes.size() >= 2 && bytes.size() % 2 == 0 && (bytes[0] == 0 || bytes[1] == 0))
        return decodeUtf16(bytes, bytes[0] == 0);
    return decodeUtf8(bytes);
}

// Characters that may form a string without quotes.
bool isBareChar(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || c == '+' || c == '/' || c == ':' || c == '.' || c == '-';
}

int hexValue(char32_t c) {
    if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
    return -1;
}

class Parser {
  public:
    explicit Parser(std::u32string text) : text_(std::move(text)) {}

    StringsTable parse() {
        StringsTable table;
        while (skipSpaceAndComments()) {
            std::string key = readString("a key");
            skipSpaceAndComments();
            if (peek() == ';') {
                // A key alone stands for itself.
                ++pos_;
                table.insert_or_assign(key, key);
                continue;
            }
            expect('=', "'=' after the key");
            skipSpaceAndComments();
            std::string value = readString("a value");
            skipSpaceAndComments();
            expect(';', "';' after the value");
            table.insert_or_assign(std::move(key), std::move(value));
        }
        return table;
    }

  private:
    [[noreturn]] void fail(const std::string& what) const {
        throw Failure{"line " + std::to_string(line_) + ": " + what};
    }

    char32_t peek() const { return pos_ < text_.size() ? text_[pos_] : U'\0'; }
    bool atEnd() const { return pos_ >= text_.size(); }

    char32_t next() {
        char32_t c = text_[pos_++];
        if (c == '\n') ++line_;
        return c;
    }

    void expect(char32_t c, const char* what) {
        if (atEnd() || peek() != c) fail(std::string("expected ") + what);
        ++pos_;
    }

    // Gives false at the end of the text.
    bool skipSpaceAndComments() {
        while (!atEnd()) {
            char32_t c = peek();
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v' ||
                c == 0xFEFF || c == 0x2028 || c == 0x2029) {
                next();
            } else if (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '*') {
                std::size_t startLine = line_;
                pos_ += 2;
                for (;;) {
                    if (atEnd())
                        throw Failure{"line " + std::to_string(startLine) + ": comment not closed"};
                    if (peek() == '*' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/') {
                        pos_ += 2;
                        break;
                    }
                    next();
                }
            } else if (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/') {
                while (!atEnd() && peek() != '\n') next();
            } else {
                return true;
            }
        }
        return false;
    }

    std::string readString(const char* what) {
        if (atEnd()) fail(std::string("expected ") + what + " before the end");
        if (peek() == '"') return readQuoted();
        std::string out;
        while (!atEnd() && isBareChar(peek())) appendUtf8(out, next());
        if (out.empty()) fail(std::string("expected ") + what);
        return out;
    }

    std::string readQuoted() {
        std::size_t startLine = line_;
        ++pos_;
        std::u32string value;
        for (;;) {
            if (atEnd()) throw Failure{"line " + std::to_string(startLine) + ": string not closed"};
            char32_t c = next();
            if (c == '"') break;
            if (c == '\\') {
                readEscape(value);
            } else {
                value += c;
            }
        }
        std::string out;
        for (std::size_t i = 0; i < value.size(); ++i) {
            char32_t c = value[i];
            // \U escapes may spell a character outside the basic plane as two halves.
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < value.size() && value[i + 1] >= 0xDC00 &&
                value[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (value[i + 1] - 0xDC00);
                ++i;
            } else if (isSurrogate(c)) {
                fail("escape spells half of a surrogate pair");
            }
            appendUtf8(out, c);
        }
        return out;
    }

    void readEscape(std::u32string& value) {
        if (atEnd()) fail("escape at the end of the text");
        char32_t c = next();
        switch (c) {
            case 'n':
                value += '\n';
                return;
            case 't':
                value += '\t';
                return;
            case 'r':
                value += '\r';
                return;
            case 'a':
                value += '\a';
                return;
            case 'b':
                value += '\b';
                return;
            case 'f':
                value += '\f';
                return;
            case 'v':
                value += '\v';
                return;
            case 'U':
            case 'u': {
                char32_t code = 0;
                int digits = 0;
                while (digits < 4 && !atEnd() && hexValue(peek()) >= 0) {
                    code = code << 4 | static_cast<char32_t>(hexValue(next()));
                    ++digits;
                }
                if (digits == 0) fail("\\U escape without hexadecimal digits");
                value += code;
                return;
            }
            default:
                if (c >= '0' && c <= '7') {
                    char32_t code = c - '0';
                    for (int digits = 1; digits < 3 && !atEnd() && peek() >= '0' && peek() <= '7';
                         ++digits)
                        code = code << 3 | (next() - '0');
                    value += code;
                    return;
                }
                // \" \\ \' and any other escaped character stand for themselves.
                value += c;
        }
    }

    std::u32string text_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
};

}  // namespace

std::optional<StringsTable> parseStrings(std::span<const std::uint8_t> bytes, std::string* error) {
    try {
        return Parser(decode(bytes)).parse();
    } catch (const Failure& failure) {
        if (error) *error = failure.message;
    } catch (const std::bad_alloc&) {
        if (error) *error = "out of memory";
    }
    return std::nullopt;
}

std::optional<StringsTable> parseStrings(std::string_view bytes, std::string* error) {
    return parseStrings(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), error);
}

std::optional<StringsTable> readStringsFile(const std::filesystem::path& path, std::string* error) {
    auto bytes = readFileBytes(path, error);
    if (!bytes) return std::nullopt;
    std::string why;
    auto table = parseStrings(*bytes, &why);
    if (!table && error) *error = path.string() + ": " + why;
    return table;
}

}  // namespace qor::core
