// The debug marker and the three log files, opened so that other users cannot plant them.
#pragma once

#include <string>

namespace qor {

// The folder of the marker and the logs: $QOR_DEBUG_DIR when set and not empty,
// otherwise the build's default ("/tmp").
std::string debugDirectory();

// Logging is on when the marker exists and belongs to root or to this process's user;
// anyone else's marker is ignored, since anyone can create files in /tmp.
bool debugMarkerHonoured(const std::string& markerPath);

// Opens a log file for writing, emptied: never through a symbolic link, only a regular
// file owned by this process's user with no other link, new ones with mode 0600. -1 when
// refused.
int openLogFile(const std::string& path);

}  // namespace qor
