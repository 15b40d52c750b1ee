// Bundles: opening, the loaded-bundle registry, resources and localized strings.
#include "Bundle.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "PropertyList.h"
#include "ResourceMap.h"

namespace qor::core {

namespace {

struct Registry {
    std::mutex mutex;
    std::map<std::filesystem::path, std::shared_ptr<Bundle>> byPath;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

}  // namespace

Bundle::Bundle(std::filesystem::path path, Dictionary info)
    : path_(std::move(path)), info_(std::move(info)) {}

std::shared_ptr<Bundle> Bundle::open(const std::filesystem::path& path, std::string* error) {
    std::error_code ec;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, ec);
    if (ec) canonical = path;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (auto it = r.byPath.find(canonical); it != r.byPath.end()) return it->second;

    std::string why;
    auto info = readPropertyListFile(canonical / "Contents" / "Info.plist", &why);
    if (!info || !info->asDictionary()) {
        if (error)
            *error = info ? canonical.string() + ": Info.plist is not a dictionary"
                          : canonical.string() + " is not a bundle: " + why;
        return nullptr;
    }
    auto bundle = std::make_shared<Bundle>(canonical, std::move(*info->asDictionary()));
    r.byPath.emplace(canonical, bundle);
    return bundle;
}

Bundle* Bundle::withIdentifier(std::string_view identifier) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    for (const auto& [path, bundle] : r.byPath)
        if (bundle->identifier() == identifier) return bundle.get();
    return nullptr;
}

std::string Bundle::identifier() const {
    const std::string* id = info_.findString(kBundleIdentifierKey);
    return id ? *id : std::string();
}

std::filesystem::path Bundle::executablePath() const {
    const std::string* name = info_.findString(kBundleExecutableKey);
    if (!name || name->empty()) return {};
    return path_ / "Contents" / "Linux" / *name;
}

std::string Bundle::developmentRegion() const {
    const std::string* region = info_.findString(kBundleDevelopmentRegionKey);
    return region && !region->empty() ? *region : "English";
}

std::vector<std::string> Bundle::localizations() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(resourcePath(), ec)) {
        if (entry.is_directory(ec) && entry.path().extension() == ".lproj")
            names.push_back(entry.path().stem().string());
    }
    if (const Array* listed = info_.findArray(kBundleLocalizationsKey))
        for (const Value& v : *listed)
            if (const std::string* name = v.asString()) names.push_back(*name);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::string Bundle::preferredLocalization(const LanguageEnvironment& environment) const {
    return qor::core::preferredLocalization(localizations(), environment, developmentRegion());
}

std::optional<std::filesystem::path> Bundle::pathForResource(std::string_view name,
                                                             std::string_view type,
                                                             std::string_view localization) const {
    std::string file(name);
    if (!type.empty()) file += "." + std::string(type);
    std::string chosen(localization.empty() ? preferredLocalization() : localization);
    std::vector<std::filesystem::path> candidates;
    if (!chosen.empty()) candidates.push_back(resourcePath() / (chosen + ".lproj") / file);
    candidates.push_back(resourcePath() / (developmentRegion() + ".lproj") / file);
    candidates.push_back(resourcePath() / file);
    std::error_code ec;
    for (const auto& candidate : candidates)
        if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
    return std::nullopt;
}

std::string Bundle::localizedString(std::string_view key, std::string_view table,
                                    const LanguageEnvironment& environment) const {
    auto file = pathForResource(table, "strings", preferredLocalization(environment));
    if (file) {
        const StringsTable& strings = this->table(*file);
        if (auto it = strings.find(key); it != strings.end()) return it->second;
    }
    return std::string(key);
}

const StringsTable& Bundle::table(const std::filesystem::path& file) const {
    std::lock_guard lock(cacheMutex_);
    if (auto it = tables_.find(file); it != tables_.end()) return it->second;
    std::string error;
    auto strings = readStringsFile(file, &error);
    if (!strings) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::fflush(stderr);
    }
    return tables_.emplace(file, std::move(strings).value_or(StringsTable{})).first->second;
}

std::int16_t Bundle::openBundleResourceMap() const {
    return openResourceMap(resourcePath());
}

void Bundle::closeBundleResourceMap(std::int16_t refNum) const {
    closeResourceMap(refNum);
}

}  // namespace qor::core
