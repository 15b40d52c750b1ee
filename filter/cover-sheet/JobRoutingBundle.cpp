// Bundle location: the built-in default, the packaging option and the run-time override.
#include "JobRoutingBundle.h"

#include <cstdlib>

#ifndef QOR_JOB_ROUTING_BUNDLE_DIR
#define QOR_JOB_ROUTING_BUNDLE_DIR "/Library/Printers/Quorvan/PDEs/Quorvan Job Routing.plugin"
#endif

namespace qor {

std::string jobRoutingBundlePath() {
    const char* override = std::getenv("QOR_JOB_ROUTING_BUNDLE");
    if (override && *override) return override;
    return QOR_JOB_ROUTING_BUNDLE_DIR;
}

std::string englishStringsPath() {
    // The bundle's own English file: the older bundle location holds nothing on this system.
    return stringsFilePath(jobRoutingBundlePath(), "English");
}

std::string stringsFilePath(std::string_view bundle, std::string_view localization) {
    std::string path(bundle);
    path += "/Contents/Resources/";
    path += localization;
    path += ".lproj/Localizable.strings";
    return path;
}

}  // namespace qor
