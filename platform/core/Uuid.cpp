// UUID parsing and formatting.
#include "Uuid.h"

#include <algorithm>

namespace qor::core {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<Uuid> Uuid::fromString(std::string_view text) {
    if (text.size() != 36) return std::nullopt;
    Bytes bytes{};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (pos == 8 || pos == 13 || pos == 18 || pos == 23) {
            if (text[pos] != '-') return std::nullopt;
            ++pos;
        }
        int high = hexDigit(text[pos]);
        int low = hexDigit(text[pos + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
        pos += 2;
    }
    return Uuid(bytes);
}

Uuid Uuid::fromBytes(std::span<const std::uint8_t, 16> bytes) {
    Bytes copy{};
    std::copy(bytes.begin(), bytes.end(), copy.begin());
    return Uuid(copy);
}

std::string Uuid::toString() const {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(36);
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
        text += kDigits[bytes_[i] >> 4];
        text += kDigits[bytes_[i] & 0xf];
    }
    return text;
}

}  // namespace qor::core
