// Plug-ins: bundles whose shared object exports factory functions named in Info.plist,
// and the count of live instances per factory.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Bundle.h"
#include "Objects.h"
#include "Uuid.h"

extern "C" {

/* A plug-in's exported factory: returns an instance of the requested type, or null. */
typedef void* (*QorPlugInFactoryFunction)(QorAllocatorRef allocator, QorUUIDRef typeID);

/* The instance registry: a factory's live instances keep its plug-in loaded. */
void QorPlugInAddInstanceForFactory(QorUUIDRef factoryID);
void QorPlugInRemoveInstanceForFactory(QorUUIDRef factoryID);
}

namespace qor::core {

// Info.plist keys: factory UUID string -> exported function name, and type UUID string
// -> array of factory UUID strings.
inline constexpr std::string_view kPlugInFactoriesKey = "CFPlugInFactories";
inline constexpr std::string_view kPlugInTypesKey = "CFPlugInTypes";

class PlugIn {
  public:
    // Opens the bundle and loads its shared object. Loading the same bundle again gives
    // the same plug-in. The shared object stays loaded for the life of the process.
    static std::shared_ptr<PlugIn> load(const std::filesystem::path& bundlePath,
                                        std::string* error = nullptr);

    Bundle& bundle() const { return *bundle_; }
    // The factories that the bundle registers for the type, in Info.plist's order.
    std::vector<Uuid> factoriesForType(const Uuid& type) const;
    // The factory's function, found by the name the factory table gives it.
    QorPlugInFactoryFunction factoryFunction(const Uuid& factory,
                                             std::string* error = nullptr) const;
    // Calls the factory for the type; null when the factory is not registered for the
    // type, cannot be found, or declines.
    void* createInstance(const Uuid& factory, const Uuid& type) const;

    PlugIn(std::shared_ptr<Bundle> bundle, void* handle);

  private:
    std::shared_ptr<Bundle> bundle_;
    void* handle_;
};

// The registry behind QorPlugInAddInstanceForFactory and QorPlugInRemoveInstanceForFactory.
void addInstanceForFactory(const Uuid& factory);
// False when the factory has no live instance to remove.
bool removeInstanceForFactory(const Uuid& factory);
std::size_t instanceCountForFactory(const Uuid& factory);

}  // namespace qor::core
