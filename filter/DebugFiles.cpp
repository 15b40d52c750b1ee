// Finding and opening the debug marker and log files.
#include "DebugFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#ifndef QOR_DEBUG_DIR_DEFAULT
#define QOR_DEBUG_DIR_DEFAULT "/tmp"
#endif

namespace qor {

std::string debugDirectory() {
    const char* dir = std::getenv("QOR_DEBUG_DIR");
    return dir != nullptr && *dir != '\0' ? dir : QOR_DEBUG_DIR_DEFAULT;
}

bool debugMarkerHonoured(const std::string& markerPath) {
    struct stat st {};
    if (lstat(markerPath.c_str(), &st) != 0) return false;
    return st.st_uid == 0 || st.st_uid == geteuid();
}

int openLogFile(const std::string& path) {
    // O_NONBLOCK keeps a planted FIFO from stalling the job; the checks below refuse it.
    const int fd =
        open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd < 0) return -1;
    struct stat st {};
    // A second link would be a file planted under this name to be emptied and overwritten.
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid() || st.st_nlink != 1 ||
        ftruncate(fd, 0) != 0) {
        close(fd);
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

}  // namespace qor
