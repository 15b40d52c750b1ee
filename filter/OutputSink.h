// A buffered writer on a file descriptor that remembers the first failed write.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace qor {

class OutputSink {
  public:
    // Writes to fd; when owned, the descriptor is closed with the sink.
    OutputSink(int fd, bool owned, size_t capacity = 64 * 1024);
    ~OutputSink();
    OutputSink(const OutputSink&) = delete;
    OutputSink& operator=(const OutputSink&) = delete;

    // Queues the bytes; large pieces go straight to the descriptor. False once any
    // write has failed: later data is discarded, so a broken stream stays broken.
    bool write(std::string_view bytes);
    // Hands everything queued to the descriptor.
    bool flush();

    bool failed() const { return error_ != 0; }
    int error() const { return error_; }  // the errno of the failed write, 0 if none

  private:
    bool writeAll(const char* data, size_t size);

    int fd_;
    bool owned_;
    std::vector<char> buffer_;
    size_t used_ = 0;
    int error_ = 0;
};

}  // namespace qor
