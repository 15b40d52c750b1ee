// Fuzzes the strings-file reader of the core platform layer.
// Any input is read whole or refused; a table it reads survives being written out and read again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "StringsFile.h"

namespace {

void appendQuoted(std::string& out, const std::string& text) {
    out += '"';
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            // Three octal digits, so a digit that follows is not taken into the escape.
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\%03o", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    auto table = qor::core::parseStrings(std::span(data, size), &error);
    if (!table) {
        if (error.empty()) std::abort();  // a refusal always says why
        return 0;
    }
    std::string written;
    for (const auto& [key, value] : *table) {
        appendQuoted(written, key);
        written += " = ";
        appendQuoted(written, value);
        written += ";\n";
    }
    auto again = qor::core::parseStrings(written, &error);
    if (!again || *again != *table) std::abort();
    return 0;
}
