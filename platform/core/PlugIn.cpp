// Plug-in loading with dlopen and the per-factory instance registry.
#include "PlugIn.h"

#include <dlfcn.h>

#include <algorithm>
#include <map>
#include <mutex>

namespace qor::core {

namespace {

struct Registry {
    std::mutex mutex;
    std::map<std::filesystem::path, std::shared_ptr<PlugIn>> loaded;
    std::map<Uuid, std::size_t> instances;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

void setError(std::string* error, std::string message) {
    if (error) *error = std::move(message);
}

}  // namespace

PlugIn::PlugIn(std::shared_ptr<Bundle> bundle, void* handle)
    : bundle_(std::move(bundle)), handle_(handle) {}

std::shared_ptr<PlugIn> PlugIn::load(const std::filesystem::path& bundlePath, std::string* error) {
    auto bundle = Bundle::open(bundlePath, error);
    if (!bundle) return nullptr;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (auto it = r.loaded.find(bundle->path()); it != r.loaded.end()) return it->second;

    std::filesystem::path executable = bundle->executablePath();
    if (executable.empty()) {
        setError(error, bundle->path().string() + ": Info.plist names no executable");
        return nullptr;
    }
    // RTLD_LOCAL keeps one bundle's frame from answering for another's.
    void* handle = dlopen(executable.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        setError(error, why ? why : executable.string() + ": cannot be loaded");
        return nullptr;
    }
    auto plugIn = std::make_shared<PlugIn>(bundle, handle);
    r.loaded.emplace(bundle->path(), plugIn);
    return plugIn;
}

std::vector<Uuid> PlugIn::factoriesForType(const Uuid& type) const {
    std::vector<Uuid> factories;
    const Dictionary* types = bundle_->infoDictionary().findDictionary(kPlugInTypesKey);
    if (!types) return factories;
    for (const auto& [key, value] : *types) {
        auto listedType = Uuid::fromString(key);
        if (!listedType || *listedType != type || !value.asArray()) continue;
        for (const Value& item : *value.asArray())
            if (const std::string* text = item.asString())
                if (auto factory = Uuid::fromString(*text)) factories.push_back(*factory);
    }
    return factories;
}

QorPlugInFactoryFunction PlugIn::factoryFunction(const Uuid& factory, std::string* error) const {
    const Dictionary* factories = bundle_->infoDictionary().findDictionary(kPlugInFactoriesKey);
    const std::string* name = nullptr;
    if (factories)
        for (const auto& [key, value] : *factories)
            if (Uuid::fromString(key) == factory) name = value.asString();
    if (!name) {
        setError(error, "factory " + factory.toString() + " is not in the factory table");
        return nullptr;
    }
    dlerror();
    void* symbol = dlsym(handle_, name->c_str());
    if (!symbol) {
        setError(error, "factory function " + *name + " is not exported");
        return nullptr;
    }
    return reinterpret_cast<QorPlugInFactoryFunction>(symbol);
}

void* PlugIn::createInstance(const Uuid& factory, const Uuid& type) const {
    auto registered = factoriesForType(type);
    if (std::find(registered.begin(), registered.end(), factory) == registered.end())
        return nullptr;
    QorPlugInFactoryFunction function = factoryFunction(factory);
    if (!function) return nullptr;
    Ref typeID = makeUuid(type);
    return typeID ? function(nullptr, typeID.get()) : nullptr;
}

void addInstanceForFactory(const Uuid& factory) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    ++r.instances[factory];
}

bool removeInstanceForFactory(const Uuid& factory) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.instances.find(factory);
    if (it == r.instances.end()) return false;
    if (--it->second == 0) r.instances.erase(it);
    return true;
}

std::size_t instanceCountForFactory(const Uuid& factory) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.instances.find(factory);
    return it == r.instances.end() ? 0 : it->second;
}

}  // namespace qor::core

extern "C" {

void QorPlugInAddInstanceForFactory(QorUUIDRef factoryID) {
    try {
        if (auto factory = qor::core::uuidOf(factoryID)) qor::core::addInstanceForFactory(*factory);
    } catch (...) {
        // A full registry only loses the keep-loaded hint; nothing unloads plug-ins here.
    }
}

void QorPlugInRemoveInstanceForFactory(QorUUIDRef factoryID) {
    if (auto factory = qor::core::uuidOf(factoryID)) qor::core::removeInstanceForFactory(*factory);
}

}  // extern "C"
