// Buffered writes to a descriptor, with partial writes and interruptions handled.
#include "OutputSink.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qor {

OutputSink::OutputSink(int fd, bool owned, size_t capacity)
    : fd_(fd), owned_(owned), buffer_(capacity) {}

OutputSink::~OutputSink() {
    if (owned_ && fd_ >= 0) close(fd_);
}

bool OutputSink::writeAll(const char* data, size_t size) {
    while (size > 0 && error_ == 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            error_ = errno;
        } else if (n == 0) {
            error_ = EIO;
        } else {
            data += n;
            size -= static_cast<size_t>(n);
        }
    }
    return error_ == 0;
}

bool OutputSink::write(std::string_view bytes) {
    if (error_ != 0) return false;
    // A large piece with nothing queued before it needs no copy.
    if (used_ == 0 && bytes.size() >= buffer_.size() / 4)
        return writeAll(bytes.data(), bytes.size());
    if (used_ + bytes.size() <= buffer_.size()) {
        std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
        used_ += bytes.size();
        return true;
    }
    if (!flush()) return false;
    // A piece as large as the buffer gains nothing from being copied first.
    if (bytes.size() >= buffer_.size()) return writeAll(bytes.data(), bytes.size());
    std::memcpy(buffer_.data(), bytes.data(), bytes.size());
    used_ = bytes.size();
    return true;
}

bool OutputSink::flush() {
    if (error_ != 0) return false;
    const size_t n = used_;
    used_ = 0;
    return writeAll(buffer_.data(), n);
}

}  // namespace qor
