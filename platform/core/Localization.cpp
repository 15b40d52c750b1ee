// Localization choice: normalising locale and localization names, then matching.
#include "Localization.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>

namespace qor::core {

namespace {

struct Code {
    std::string language;  // lower case, "fr"
    std::string region;    // upper case, "FR", or empty
};

// Bundles of the older kind name their localizations by the language's English name.
constexpr std::pair<std::string_view, std::string_view> kLegacyNames[] = {
    {"english", "en"},    {"french", "fr"},   {"german", "de"},  {"italian", "it"},
    {"spanish", "es"},    {"japanese", "ja"}, {"dutch", "nl"},   {"korean", "ko"},
    {"swedish", "sv"},    {"danish", "da"},   {"finnish", "fi"}, {"norwegian", "no"},
    {"portuguese", "pt"}, {"russian", "ru"},  {"polish", "pl"},  {"czech", "cs"},
};

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// "fr_FR.UTF-8@euro" -> fr/FR; "zh-Hant" -> zh/TW; "French" -> fr; "nb_NO" -> no/NO.
std::optional<Code> parseCode(std::string_view name) {
    name = name.substr(0, name.find_first_of(".@"));
    if (name.empty()) return std::nullopt;
    std::string lowered = lower(name);
    for (auto [legacy, code] : kLegacyNames)
        if (lowered == legacy) return Code{std::string(code), ""};

    std::size_t separator = name.find_first_of("_-");
    Code code{lower(name.substr(0, separator)), ""};
    if (separator != std::string_view::npos) {
        std::string region(name.substr(separator + 1));
        std::string loweredRegion = lower(region);
        if (loweredRegion == "hant")
            code.region = "TW";
        else if (loweredRegion == "hans")
            code.region = "CN";
        else
            code.region = upper(region);
    }
    if (code.language == "nb" || code.language == "nn") code.language = "no";
    // Chinese localizations split by script: Hong Kong and Macau read the traditional one,
    // Singapore the simplified one.
    if (code.language == "zh") {
        if (code.region == "HK" || code.region == "MO") code.region = "TW";
        if (code.region == "SG") code.region = "CN";
    }
    if (code.language.empty() || !std::all_of(code.language.begin(), code.language.end(),
                                              [](char c) { return c >= 'a' && c <= 'z'; }))
        return std::nullopt;
    return code;
}

bool isPlainC(std::string_view locale) {
    locale = locale.substr(0, locale.find_first_of(".@"));
    return locale == "C" || locale == "POSIX";
}

}  // namespace

LanguageEnvironment LanguageEnvironment::fromProcess() {
    auto get = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    return {get("LANGUAGE"), get("LC_ALL"), get("LC_MESSAGES"), get("LANG")};
}

std::vector<std::string> preferredLanguages(const LanguageEnvironment& environment) {
    std::string_view locale = !environment.lcAll.empty()        ? environment.lcAll
                              : !environment.lcMessages.empty() ? environment.lcMessages
                                                                : environment.lang;
    std::vector<std::string> result;
    auto add = [&](std::string_view name) {
        if (auto code = parseCode(name)) {
            std::string text =
                code->region.empty() ? code->language : code->language + "_" + code->region;
            if (std::find(result.begin(), result.end(), text) == result.end())
                result.push_back(std::move(text));
        }
    };
    if (locale.empty() || isPlainC(locale)) return result;
    std::string_view list = environment.language;
    while (!list.empty()) {
        std::size_t colon = list.find(':');
        add(list.substr(0, colon));
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    add(locale);
    return result;
}

std::string preferredLocalization(const std::vector<std::string>& available,
                                  const LanguageEnvironment& environment,
                                  std::string_view developmentRegion) {
    std::vector<std::optional<Code>> codes;
    for (const std::string& name : available) codes.push_back(parseCode(name));

    auto firstWhere = [&](auto matches) -> const std::string* {
        for (std::size_t i = 0; i < available.size(); ++i)
            if (codes[i] && matches(*codes[i])) return &available[i];
        return nullptr;
    };

    for (const std::string& preferred : preferredLanguages(environment)) {
        Code want = *parseCode(preferred);
        const std::string* found = nullptr;
        if (!want.region.empty())
            found = firstWhere([&](const Code& c) {
                return c.language == want.language && c.region == want.region;
            });
        if (!found)
            found = firstWhere(
                [&](const Code& c) { return c.language == want.language && c.region.empty(); });
        if (!found) found = firstWhere([&](const Code& c) { return c.language == want.language; });
        if (found) return *found;
    }
    if (std::find(available.begin(), available.end(), developmentRegion) != available.end())
        return std::string(developmentRegion);
    return available.empty() ? std::string() : available.front();
}

}  // namespace qor::core
