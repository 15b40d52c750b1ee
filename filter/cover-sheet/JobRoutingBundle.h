// Where the Job Routing panel's bundle and its strings files are found.
#pragma once

#include <string>
#include <string_view>

namespace qor {

// The bundle whose strings files translate the cover page's labels. By default
// "/Library/Printers/Quorvan/PDEs/Quorvan Job Routing.plugin"; a package that installs the
// bundle elsewhere sets the CMake cache variable QOR_JOB_ROUTING_BUNDLE_DIR, and the
// environment variable QOR_JOB_ROUTING_BUNDLE (when not empty) overrides both at run time.
std::string jobRoutingBundlePath();

// The English strings file read when the requested one does not exist. With the default bundle
// this is the older bundle location's file, "/Library/Printers/PPD Plugins/Quorvan Job
// Routing.plugin/Contents/Resources/English.lproj/Localizable.strings"; a bundle pointed to
// elsewhere supplies its own English.lproj.
std::string englishStringsPath();

// "<bundle>/Contents/Resources/<localization>.lproj/Localizable.strings".
std::string stringsFilePath(std::string_view bundle, std::string_view localization);

}  // namespace qor
