// Fuzzes the option store and the PJL header built from it.
// No crash, consistent lookups, and no value that can end a header line or its quoted string.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "argumentStore.h"
#include "pjlCreation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte picks the user argument's length; the rest is the option string.
    if (size == 0) return 0;
    const size_t userLength = data[0] % 16 < size - 1 ? data[0] % 16 : size - 1;
    const std::string user(reinterpret_cast<const char*>(data + 1), userLength);
    const std::string options(reinterpret_cast<const char*>(data + 1 + userLength),
                              size - 1 - userLength);

    const qor::argumentStore store = qor::argumentStore::initWithOptionString(options.c_str());
    const auto keys = store.keyEnumerator();
    if (keys.size() != store.count()) std::abort();
    for (const auto& key : keys) {
        if (store.getValue(key) == nullptr) std::abort();
    }

    const auto header = qor::pjlCreation::initFromArgsStore(store, user, "host").objectEnumerator();
    for (size_t i = 0; i < header.size(); ++i) {
        const std::string& line = header[i];
        // One line feed, at the end; no other control character but the opening ESC.
        if (line.empty() || line.back() != '\n') std::abort();
        for (size_t j = 0; j + 1 < line.size(); ++j) {
            const auto c = static_cast<unsigned char>(line[j]);
            if ((c < 0x20 || c == 0x7F) && !(i == 0 && j == 0 && c == 0x1B)) std::abort();
        }
        // Quoted values come in pairs of quotes: none can open or close a string early.
        size_t quotes = 0;
        for (char c : line) quotes += c == '"';
        if (quotes % 2 != 0) std::abort();
    }
    return 0;
}
