// The line pass: copies the job line by line, drops its PJL, makes the insertions.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CoverPageHook.h"
#include "OutputSink.h"

namespace qor {

// The longest line the pass examines; longer input lines are cut into pieces of this size.
inline constexpr size_t kLineLength = 1024;

// Splits an input descriptor into the pass's lines: each ends at and includes its line
// feed or carriage return, or is cut after kLineLength bytes, or ends with the input.
// Input is read in large blocks; before any read that may block, beforeBlock is called
// so that nothing waits in an output buffer while the filter waits for input.
class LineReader {
  public:
    LineReader(int fd, std::function<void()> beforeBlock, size_t blockSize = 256 * 1024);

    // The next line, valid until the next call; false at the end of the input or on a
    // read error (see readError). Inline: it runs once per line of the job.
    bool nextLine(std::string_view& line) {
        for (;;) {
            const char* term =
                std::min(find(nextLF_, lfValid_, '\n'), find(nextCR_, crValid_, '\r'));
            const size_t avail = static_cast<size_t>(end_ - pos_);
            size_t length = 0;
            if (term != end_ && static_cast<size_t>(term - pos_) < kLineLength) {
                length = static_cast<size_t>(term - pos_) + 1;
            } else if (avail >= kLineLength) {
                length = kLineLength;
            } else if (eof_ || readError_ != 0) {
                if (avail == 0 || readError_ != 0) return false;
                length = avail;
            } else {
                refill();
                continue;
            }
            line = std::string_view(pos_, length);
            pos_ += length;
            return true;
        }
    }
    // Whether the line just returned holds a byte 0.
    bool hasZero(std::string_view line) {
        const char* from = line.data();
        if (!nulValid_ || (nextNUL_ != nullptr && nextNUL_ < from)) {
            nextNUL_ =
                static_cast<const char*>(std::memchr(from, 0, static_cast<size_t>(end_ - from)));
            nulValid_ = true;
        }
        return nextNUL_ != nullptr && nextNUL_ < from + line.size();
    }
    int readError() const { return readError_; }

  private:
    // The next c at or after the read position, or end_ when there is none.
    const char* find(const char*& cache, bool& valid, char c) {
        if (!valid || (cache != nullptr && cache < pos_)) {
            cache =
                static_cast<const char*>(std::memchr(pos_, c, static_cast<size_t>(end_ - pos_)));
            valid = true;
        }
        return cache != nullptr ? cache : end_;
    }
    void refill();

    int fd_;
    std::function<void()> beforeBlock_;
    std::vector<char> buffer_;
    const char* pos_;
    const char* end_;
    bool eof_ = false;
    int readError_ = 0;
    // Next line feed, carriage return and zero byte found in the buffer, nullptr when
    // there is none before end_; kept across lines so that each search runs once.
    const char* nextLF_ = nullptr;
    const char* nextCR_ = nullptr;
    const char* nextNUL_ = nullptr;
    bool lfValid_ = false, crValid_ = false, nulValid_ = false;
};

struct JobPassSettings {
    std::optional<std::string> routingMode;  // PrintTo, when present
    std::optional<std::string> coverFlag;    // JRCOVERSHEET, read only with a routing mode
    std::string collatedCopies = "1";        // the copy count of the collated-copies block
};

// Draws the fax cover page through the given writer; false when no page was made.
using CoverPageFn = std::function<bool(const WriteFn&)>;

class JobPass {
  public:
    // Writes to out and, when given, copies the input to inputLog and the output to
    // outputLog.
    JobPass(const JobPassSettings& settings, CoverPageFn coverPage, OutputSink& out,
            OutputSink* inputLog, OutputSink* outputLog);

    // Runs the pass over the whole input. False when the input could not be read or the
    // output could not be written; the sinks tell which.
    bool run(int inputFd, size_t blockSize = 256 * 1024);
    int readError() const { return readError_; }

    // Writes to standard output and the output copy, in order with the passed lines.
    bool emit(std::string_view bytes);
    // Hands all queued output to the descriptors.
    bool flushAll();

  private:
    void processLine(std::string_view line, bool hasZero);
    bool fax_ = false;     // routing mode exactly JRFax
    bool verify_ = false;  // routing mode exactly JRVerify
    void passThrough(std::string_view line);
    bool flushSpan();
    bool coverOn() const;

    JobPassSettings settings_;
    CoverPageFn coverPage_;
    OutputSink& out_;
    OutputSink* inputLog_;
    OutputSink* outputLog_;
    std::string collateBlock_;
    // Unchanged lines that lie one after another in the input buffer are written as one
    // piece straight from it.
    const char* spanBegin_ = nullptr;
    const char* spanEnd_ = nullptr;
    bool ok_ = true;
    int readError_ = 0;
};

}  // namespace qor
