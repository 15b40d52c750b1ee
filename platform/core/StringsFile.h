// Reader of localized strings files: "key" = "value"; entries with comments and escapes,
// in UTF-8 or in UTF-16 (told apart by a byte-order mark, or failing one by NUL bytes).
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qor::core {

// Keys and values in UTF-8. A key given twice keeps its last value.
using StringsTable = std::map<std::string, std::string, std::less<>>;

// Reads the whole text or nothing: malformed input gives no table and, when asked, a
// message naming the line where reading stopped.
std::optional<StringsTable> parseStrings(std::span<const std::uint8_t> bytes,
                                         std::string* error = nullptr);
std::optional<StringsTable> parseStrings(std::string_view bytes, std::string* error = nullptr);
std::optional<StringsTable> readStringsFile(const std::filesystem::path& path,
                                            std::string* error = nullptr);

}  // namespace qor::core
