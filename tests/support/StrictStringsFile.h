// Strict reader of the strings files the bundles ship, shared by the tests that check them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace qor::test {

struct StrictStringsFile {
    std::map<std::string, std::string> entries;
    std::vector<std::string> errors;
    size_t quotes = 0;  // double quotes in the whole file, delimiters included
};

inline bool isValidUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        const size_t len = lead < 0x80           ? 1
                           : (lead >> 5) == 0x6  ? 2
                           : (lead >> 4) == 0xE  ? 3
                           : (lead >> 3) == 0x1E ? 4
                                                 : 0;
        if (len == 0 || i + len > s.size()) return false;
        uint32_t cp = len == 1 ? lead : lead & (0x7F >> len);
        for (size_t k = 1; k < len; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        constexpr uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kShortest[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += len;
    }
    return true;
}

// The filter's scanner drops white space at the start of a value, and a leading blank is
// reserved for menu items of "-1"/"+2" style texts.
inline bool startsWithSpace(std::string_view v) {
    for (std::string_view space : {" ", "\t", "\xC2\xA0", "\xE3\x80\x80"})
        if (v.starts_with(space)) return true;
    return false;
}

// Reads a strings file as the bundles ship it: blank lines, whole-line comments without
// double quotes, and lines of exactly `"key" = "value";`. Anything looser is reported, since
// the filter's scanner only pairs double quotes and would silently shift every later entry.
inline StrictStringsFile readStrictStringsFile(const std::string& path) {
    StrictStringsFile file;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        file.errors.push_back("cannot open " + path);
        return file;
    }
    const std::string text = (std::ostringstream() << in.rdbuf()).str();
    file.quotes = static_cast<size_t>(std::count(text.begin(), text.end(), '"'));
    if (text.starts_with("\xEF\xBB\xBF")) file.errors.push_back("starts with a byte order mark");
    if (!isValidUtf8(text)) file.errors.push_back("not valid UTF-8");

    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const std::string where = "line " + std::to_string(number) + ": ";
        if (line.empty()) continue;
        if (line.starts_with("/*")) {
            if (!line.ends_with("*/") || line.find('"') != std::string::npos)
                file.errors.push_back(where + "bad comment: " + line);
            continue;
        }
        const size_t keyEnd = line.find('"', 1);
        const size_t valueStart = keyEnd == std::string::npos ? keyEnd : keyEnd + 5;
        if (!line.starts_with('"') || keyEnd == std::string::npos ||
            line.compare(keyEnd, 5, "\" = \"") != 0 || !line.ends_with("\";") ||
            line.size() < valueStart + 2) {
            file.errors.push_back(where + "not of the form \"key\" = \"value\";: " + line);
            continue;
        }
        const std::string key = line.substr(1, keyEnd - 1);
        const std::string value = line.substr(valueStart, line.size() - 2 - valueStart);
        if (key.empty() || value.empty()) file.errors.push_back(where + "empty key or value");
        if (value.find('"') != std::string::npos)
            file.errors.push_back(where + "double quote inside the value");
        if (key.find('\\') != std::string::npos || value.find('\\') != std::string::npos)
            file.errors.push_back(where + "backslash in key or value");
        if (startsWithSpace(value)) file.errors.push_back(where + "value starts with white space");
        if (!file.entries.emplace(key, value).second)
            file.errors.push_back(where + "repeated key " + key);
    }
    return file;
}

inline std::set<std::string> keysOf(const StrictStringsFile& file) {
    std::set<std::string> keys;
    for (const auto& entry : file.entries) keys.insert(entry.first);
    return keys;
}

}  // namespace qor::test
