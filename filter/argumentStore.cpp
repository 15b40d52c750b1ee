// Builds the option store from the job's option string.
#include "argumentStore.h"

#include <cups/cups.h>

#include "JobRoutingOptions.h"

namespace qor {

argumentStore argumentStore::initWithOptionString(const char* options) {
    argumentStore store;
    if (options == nullptr) return store;
    cups_option_t* pairs = nullptr;
    const int n = cupsParseOptions(options, 0, &pairs);
    for (int i = 0; i < n; ++i) {
        std::string_view value = pairs[i].value != nullptr ? pairs[i].value : "";
        store.options_.insert_or_assign(pairs[i].name, jr::filterDecodeSpecialCharacters(value));
    }
    cupsFreeOptions(n, pairs);
    return store;
}

const std::string* argumentStore::getValue(std::string_view name) const {
    auto it = options_.find(name);
    return it == options_.end() ? nullptr : &it->second;
}

std::vector<std::string> argumentStore::keyEnumerator() const {
    std::vector<std::string> keys;
    keys.reserve(options_.size());
    for (const auto& entry : options_) keys.push_back(entry.first);
    return keys;
}

}  // namespace qor
