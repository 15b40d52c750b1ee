// Choosing a bundle's localization from the user's language settings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qor::core {

// The language settings of a process, as the C library reads them. Empty means unset.
struct LanguageEnvironment {
    std::string language;    // LANGUAGE: a colon-separated list of preferences
    std::string lcAll;       // LC_ALL
    std::string lcMessages;  // LC_MESSAGES
    std::string lang;        // LANG

    static LanguageEnvironment fromProcess();
};

// The user's languages, most preferred first, as codes such as "fr_FR", "pt_BR" or "de".
// LANGUAGE comes first unless the locale is the plain C one; then the locale of
// LC_ALL, LC_MESSAGES or LANG, whichever is set first.
std::vector<std::string> preferredLanguages(const LanguageEnvironment& environment);

// The best of the available localizations (named either by code, "pt" or "zh_TW", or by
// the older English names, "French" or "Japanese") for the user's languages. A language
// with a region takes an exact match first and then its language alone; when nothing
// fits, the development region is taken if available, then the first available
// localization. Empty only when none is available.
std::string preferredLocalization(const std::vector<std::string>& available,
                                  const LanguageEnvironment& environment,
                                  std::string_view developmentRegion = "English");

}  // namespace qor::core
