// The print-settings ticket as the CUPS option string, quoted in the syntax of cupsParseOptions.
#include "OptionString.h"

#include <cctype>

#include "PrintSession.h"

using qor::core::Dictionary;
using qor::core::Value;

namespace {

bool isOptionSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool validName(std::string_view name) {
    if (name.empty()) return false;
    for (char c : name)
        if (c == '=' || c == '\0' || isOptionSpace(c)) return false;
    return true;
}

struct Builder {
    std::string text;
    std::string* error;

    bool add(std::string_view name, const Value& value, std::string_view where) {
        const std::string* s = value.asString();
        if (!validName(name) || s == nullptr || s->find('\0') != std::string::npos) {
            if (error != nullptr)
                *error = "cannot pass the " + std::string(where) + " entry \"" + std::string(name) +
                         "\" as a CUPS option";
            return false;
        }
        if (!text.empty()) text += ' ';
        text.append(name).append("=").append(PMQuoteCUPSOptionValue(*s));
        return true;
    }
};

}  // namespace

std::string PMQuoteCUPSOptionValue(std::string_view value) {
    std::string quoted;
    quoted.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        // A value that opens with a brace would be read as a collection.
        bool special =
            c == '\\' || c == '\'' || c == '"' || isOptionSpace(c) || (i == 0 && c == '{');
        if (special) quoted += '\\';
        quoted += c;
    }
    return quoted;
}

OSStatus PMTicketGetCUPSOptionString(PMTicketRef printSettings, std::string_view client,
                                     std::string* options, std::string* error) {
    const Dictionary* ticket = PMTicketGetDictionary(printSettings);
    if (ticket == nullptr || options == nullptr) return kPMInvalidParameter;
    Builder out{{}, error};
    Dictionary* ppd = nullptr;
    if (PMTicketGetPPDDict(printSettings, kPMTopLevel, kPMTopLevel, &ppd) == kPMNoError)
        for (const auto& [keyword, option] : *ppd)
            if (!out.add(keyword, option, "PPD")) return kPMInvalidParameter;
    for (const auto& entry : *ticket) {
        const std::string& key = entry.first;
        const Value* item = nullptr;
        if (PMTicketGetItem(printSettings, kPMTopLevel, kPMTopLevel, key, &item) != kPMNoError)
            continue;
        if (PMTicketGetItemClient(printSettings, key) == client) {
            if (!out.add(key, *item, client)) return kPMInvalidParameter;
        } else if (key == kPMCopiesKey && item->asInteger() != nullptr) {
            out.add(kPMCopiesOption, Value(std::to_string(*item->asInteger())), "copies");
        }
    }
    *options = std::move(out.text);
    return kPMNoError;
}
