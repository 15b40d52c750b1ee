// The line pass: copies the job line by line, drops its PJL, makes the insertions.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
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
            const char* limit =
                end_ - pos_ > static_cast<ptrdiff_t>(kLineLength) ? pos_ + kLineLength : end_;
            const char* term = findTerminator(limit);
            size_t length = 0;
            if (term != limit) {
                length = static_cast<size_t>(term - pos_) + 1;
                termMask_ &= termMask_ - 1;  // the terminator is taken
            } else if (limit == pos_ + kLineLength) {
                length = kLineLength;
            } else if (eof_ || readError_ != 0) {
                if (pos_ == end_ || readError_ != 0) return false;
                length = static_cast<size_t>(end_ - pos_);
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
    // The first line feed or carriage return at or after the read position and before
    // limit, or limit. Terminators are found 64 bytes at a time as a bit mask, so that a
    // short line costs a few instructions rather than a search of its own.
    const char* findTerminator(const char* limit) {
        while (termMask_ == 0) {
            if (maskBase_ + kMaskSpan >= limit) return limit;
            maskBase_ += kMaskSpan;
            termMask_ = terminatorMask(maskBase_);
        }
        const char* term = maskBase_ + std::countr_zero(termMask_);
        return term < limit ? term : limit;
    }
    // Bit i set when byte base[i] is a line feed or carriage return; only bytes before
    // end_ count.
    uint64_t terminatorMask(const char* base) const;
    void refill();

    static constexpr ptrdiff_t kMaskSpan = 64;

    int fd_;
    std::function<void()> beforeBlock_;
    std::vector<char> buffer_;
    const char* pos_;
    const char* end_;
    bool eof_ = false;
    int readError_ = 0;
    // Terminators of the 64 bytes from maskBase_ not yet taken by a line; none lies
    // before the read position.
    const char* maskBase_;
    uint64_t termMask_ = 0;
    // The next zero byte found in the buffer, nullptr when there is none before end_;
    // kept across lines so that the search runs once per block.
    const char* nextNUL_ = nullptr;
    bool nulValid_ = false;
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
    void passThrough(std::string_view line);
    bool flushSpan();
    bool coverOn() const;

    JobPassSettings settings_;
    bool fax_ = false;     // routing mode exactly JRFax
    bool verify_ = false;  // routing mode exactly JRVerify
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
