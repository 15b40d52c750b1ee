// Printer and feature checks read from the compiled PPD and the printer-information ticket.
#include "PrinterChecks.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "PrintSession.h"
#include "PropertyList.h"

namespace {

// The plain value of a PPD main keyword, or nothing when the keyword or its value is missing.
std::optional<std::string> keywordValue(PPDContextViel context, std::string_view keyword) {
    Str255 key;
    PStringFromString(keyword, key);
    std::int16_t main = ppdGetMainIndex(context, key);
    if (main == 0) return std::nullopt;
    unsigned char buffer[256] = {};
    if (ppdGetInvocationString(context, main, 0, buffer, sizeof buffer) != 0) return std::nullopt;
    return StringFromPString(buffer);
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

bool IsQuorvanPrinter(PPDContextViel context) {
    std::optional<std::string> value = keywordValue(context, kQuorvanPDEIDKey);
    return value && equalIgnoringCase(*value, kQuorvanPDEIDValue);
}

bool QorFeatureSupported(PPDContextViel context, std::string_view feature) {
    std::optional<std::string> value = keywordValue(context, kQuorvanFeaturesKey);
    if (!value) return false;
    std::string_view rest = *value;
    while (true) {
        std::size_t cut = rest.find('_');
        if (rest.substr(0, cut) == feature) return true;
        if (cut == std::string_view::npos) return false;
        rest.remove_prefix(cut + 1);
    }
}

bool IsLPRPrinter(PMTicketRef printerInfo) {
    const qor::core::Value* item = nullptr;
    if (PMTicketGetItem(printerInfo, kPMTopLevel, kPMTopLevel, kPMPrinterAddressKey, &item) !=
        kPMNoError)
        return true;
    const qor::core::Data* xml = item->asData();
    if (xml == nullptr) return true;
    std::optional<qor::core::Value> address = qor::core::readPropertyList(*xml);
    const qor::core::Dictionary* fields = address ? address->asDictionary() : nullptr;
    const std::string* uri = fields != nullptr ? fields->findString(kPMPrinterURIKey) : nullptr;
    if (uri == nullptr) return true;
    return uri->starts_with("lpd:");
}

void MyDebugMessage(const char* message, std::int32_t value) {
    if (message == nullptr) message = "";
    if (std::getenv(std::string(kPDEDebugVariable).c_str()) != nullptr) {
        std::printf("%s (%d)\n", message, value);
        std::fflush(stdout);
        return;
    }
    char line[256];
    std::snprintf(line, sizeof line, "%s (%d)", message, value);
    qor::core::show(qor::core::Value(line));
}

void divulgeDictionaryContent(const qor::core::Dictionary* dictionary) {
    if (dictionary == nullptr) return;
    for (const auto& [key, value] : *dictionary) {
        qor::core::show(qor::core::Value(key));
        qor::core::show(value);
    }
}
