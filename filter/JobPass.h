// The line pass: copies the job line by line, drops its PJL, makes the insertions.
#pragma once

#include <cstddef>
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

    // The next line (valid until the next call) and whether it holds a byte 0;
    // false at the end of the input or on a read error (see readError).
    bool nextLine(std::string_view& line, bool& hasZero);
    int readError() const { return readError_; }

  private:
    const char* find(const char*& cache, bool& valid, char c, const char* from);
    bool refill(const char* pos);

    int fd_;
    std::function<void()> beforeBlock_;
    std::vector<char> buffer_;
    const char* pos_;
    const char* end_;
    bool eof_ = false;
    int readError_ = 0;
    // Next line feed, carriage return and zero byte at or after the read position,
    // nullptr when there is none before end_; kept across lines so each search runs once.
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
