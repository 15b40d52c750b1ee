// Where the Job Routing panel's bundle and its strings files are found.
#pragma once

#include <string>
#include <string_view>

namespace qor {

// The bundle whose strings files translate the cover page's labels:
// "<QOR_PDE_DIR>/Quorvan Job Routing.plugin", by default
// "/Library/Printers/Quorvan/PDEs/Quorvan Job Routing.plugin". The environment variable
// QOR_JOB_ROUTING_BUNDLE (when not empty) overrides it at run time.
std::string jobRoutingBundlePath();

// The English strings file read when the requested one does not exist: the same bundle's
// English.lproj.
std::string englishStringsPath();

// "<bundle>/Contents/Resources/<localization>.lproj/Localizable.strings".
std::string stringsFilePath(std::string_view bundle, std::string_view localization);

}  // namespace qor
