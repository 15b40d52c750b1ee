// The strings-file scanner of the translation table.
#include "transDictionary.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>

#include "JobRoutingBundle.h"

namespace qor {
namespace {

// Byte length of the white space or line break that starts at `pos` (0 when there is none):
// the ASCII ones and the Unicode spaces and line separators, as the platform's scanner skips.
size_t whiteSpaceLength(std::string_view text, size_t pos) {
    const auto byte = [&](size_t i) {
        return pos + i < text.size() ? static_cast<unsigned char>(text[pos + i]) : 0u;
    };
    const unsigned b0 = byte(0);
    if (b0 == ' ' || (b0 >= 0x09 && b0 <= 0x0D)) return 1;
    if (b0 == 0xC2 && (byte(1) == 0x85 || byte(1) == 0xA0)) return 2;
    if (b0 == 0xE1 && byte(1) == 0x9A && byte(2) == 0x80) return 3;  // U+1680
    if (b0 == 0xE2 && byte(1) == 0x80) {
        const unsigned b2 = byte(2);
        if ((b2 >= 0x80 && b2 <= 0x8A) || b2 == 0xA8 || b2 == 0xA9 || b2 == 0xAF) return 3;
    }
    if (b0 == 0xE2 && byte(1) == 0x81 && byte(2) == 0x9F) return 3;  // U+205F
    if (b0 == 0xE3 && byte(1) == 0x80 && byte(2) == 0x80) return 3;  // U+3000
    return 0;
}

bool isValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = lead < 0x80           ? 1
                        : (lead >> 5) == 0x6  ? 2
                        : (lead >> 4) == 0xE  ? 3
                        : (lead >> 3) == 0x1E ? 4
                                              : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        // Overlong forms and surrogates are not text either.
        const unsigned next = static_cast<unsigned char>(text[i + (length > 1 ? 1 : 0)]);
        if ((length == 2 && lead < 0xC2) || (length == 3 && lead == 0xE0 && next < 0xA0) ||
            (length == 3 && lead == 0xED && next >= 0xA0) ||
            (length == 4 && lead == 0xF0 && next < 0x90) || (length == 4 && lead > 0xF4) ||
            (length == 4 && lead == 0xF4 && next >= 0x90)) {
            return false;
        }
        i += length;
    }
    return true;
}

class Scanner {
  public:
    explicit Scanner(std::string_view text) : text_(text) {}

    // True when nothing but white space is left, as the scan steps see the end.
    bool atEnd() {
        skipWhiteSpace();
        return pos_ >= text_.size();
    }
    // Everything up to the next quote (or the end), after leading white space.
    std::string_view upToQuote() {
        skipWhiteSpace();
        const size_t quote = std::min(text_.find('"', pos_), text_.size());
        const std::string_view scanned = text_.substr(pos_, quote - pos_);
        pos_ = quote;
        return scanned;
    }
    void stepOverQuote() {
        skipWhiteSpace();
        if (pos_ < text_.size() && text_[pos_] == '"') ++pos_;
    }

  private:
    void skipWhiteSpace() {
        while (size_t length = whiteSpaceLength(text_, pos_)) pos_ += length;
    }
    std::string_view text_;
    size_t pos_ = 0;
};

std::optional<std::string> readRegularFile(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(text).str();
}

}  // namespace

transDictionary transDictionary::initWithFilePath(const std::string& path) {
    return initWithFilePath(path, englishStringsPath());
}

transDictionary transDictionary::initWithFilePath(const std::string& path,
                                                  const std::string& englishPath) {
    // A file that is there but cannot be read is treated like a missing one: English labels
    // serve the page better than none.
    auto text = readRegularFile(path);
    if (!text) {
        std::fprintf(stderr, "ERROR: Unable to open file %s English is being used.\n",
                     path.c_str());
        text = readRegularFile(englishPath);
        if (!text) {
            std::fprintf(stderr, "ERROR: Unable to open file %s\n", englishPath.c_str());
            return {};
        }
    }
    return initWithText(*text);
}

transDictionary transDictionary::initWithText(std::string_view text) {
    transDictionary table;
    Scanner scanner(text);
    while (!scanner.atEnd()) {
        scanner.upToQuote();
        if (scanner.atEnd()) break;
        scanner.stepOverQuote();
        if (scanner.atEnd()) break;
        const std::string_view key = scanner.upToQuote();
        if (scanner.atEnd()) break;  // a key without its value is dropped
        scanner.stepOverQuote();
        if (scanner.atEnd()) break;
        scanner.upToQuote();
        if (scanner.atEnd()) break;
        scanner.stepOverQuote();
        if (scanner.atEnd()) break;
        const std::string_view value = scanner.upToQuote();
        scanner.stepOverQuote();
        if (isValidUtf8(key) && isValidUtf8(value)) {
            table.transDict.insert_or_assign(std::string(key), std::string(value));
        }
    }
    return table;
}

const std::string* transDictionary::getValue(std::string_view key) const {
    const auto it = transDict.find(key);
    return it == transDict.end() ? nullptr : &it->second;
}

std::vector<std::string> transDictionary::keyEnumerator() const {
    std::vector<std::string> keys;
    keys.reserve(transDict.size());
    for (const auto& entry : transDict) keys.push_back(entry.first);
    return keys;
}

}  // namespace qor
