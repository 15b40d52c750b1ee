// Bundles: a directory Name.plugin/Contents/ with Info.plist, Resources/ and per-language
// <localization>.lproj folders, found again by identifier once opened.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Localization.h"
#include "StringsFile.h"
#include "Value.h"

namespace qor::core {

// Info.plist keys that this layer reads.
inline constexpr std::string_view kBundleIdentifierKey = "CFBundleIdentifier";
inline constexpr std::string_view kBundleExecutableKey = "CFBundleExecutable";
inline constexpr std::string_view kBundleDevelopmentRegionKey = "CFBundleDevelopmentRegion";
inline constexpr std::string_view kBundleLocalizationsKey = "CFBundleLocalizations";

// Layout: Contents/Info.plist, Contents/Resources/..., and the shared object at
// Contents/Linux/<CFBundleExecutable>.
class Bundle {
  public:
    // Opens the bundle at path and adds it to the loaded bundles; opening the same
    // directory again gives the same bundle. Nothing when Contents/Info.plist is missing
    // or is not a dictionary.
    static std::shared_ptr<Bundle> open(const std::filesystem::path& path,
                                        std::string* error = nullptr);
    // A loaded bundle by its identifier, or null. The loaded bundles live as long as the
    // process, so the pointer stays valid.
    static Bundle* withIdentifier(std::string_view identifier);

    const std::filesystem::path& path() const { return path_; }
    const Dictionary& infoDictionary() const { return info_; }
    std::string identifier() const;
    std::filesystem::path resourcePath() const { return path_ / "Contents" / "Resources"; }
    // Empty when the bundle names no executable.
    std::filesystem::path executablePath() const;
    // The development region of Info.plist, "English" when it names none.
    std::string developmentRegion() const;
    // The localizations the bundle has: its .lproj folders and any that Info.plist
    // lists, sorted by name.
    std::vector<std::string> localizations() const;
    std::string preferredLocalization(
        const LanguageEnvironment& environment = LanguageEnvironment::fromProcess()) const;

    // The resource "name.type": first in the localization's folder (the preferred one
    // when none is given), then in the development region's, then at the top of Resources.
    std::optional<std::filesystem::path> pathForResource(std::string_view name,
                                                         std::string_view type,
                                                         std::string_view localization = {}) const;

    // The translation of key in the strings table of the preferred localization, with the
    // key itself when the table lacks it. A malformed table is reported once on standard
    // error and then counts as empty.
    std::string localizedString(
        std::string_view key, std::string_view table = "Localizable",
        const LanguageEnvironment& environment = LanguageEnvironment::fromProcess()) const;

    // A resource map over Resources/ (see ResourceMap.h); -1 when the bundle has no
    // resources folder.
    std::int16_t openBundleResourceMap() const;
    void closeBundleResourceMap(std::int16_t refNum) const;

    explicit Bundle(std::filesystem::path path, Dictionary info);

  private:
    const StringsTable& table(const std::filesystem::path& file) const;

    std::filesystem::path path_;
    Dictionary info_;
    mutable std::mutex cacheMutex_;
    // A map, not a vector: callers hold references to tables while others are added.
    mutable std::map<std::filesystem::path, StringsTable> tables_;
};

}  // namespace qor::core
