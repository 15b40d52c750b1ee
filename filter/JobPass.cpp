// The job pass over the input lines, with the cover page and collated-copies insertions.
#include "JobPass.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "JobRoutingOptions.h"
#include "pjlCreation.h"

namespace qor {
namespace {

bool startsWith(std::string_view line, std::string_view prefix) {
    return line.size() >= prefix.size() &&
           std::memcmp(line.data(), prefix.data(), prefix.size()) == 0;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

}  // namespace

LineReader::LineReader(int fd, std::function<void()> beforeBlock, size_t blockSize)
    : fd_(fd),
      beforeBlock_(std::move(beforeBlock)),
      buffer_(std::max(blockSize, 2 * kLineLength)),
      pos_(buffer_.data()),
      end_(buffer_.data()) {}

const char* LineReader::find(const char*& cache, bool& valid, char c, const char* from) {
    if (!valid || (cache != nullptr && cache < from)) {
        cache = static_cast<const char*>(std::memchr(from, c, static_cast<size_t>(end_ - from)));
        valid = true;
    }
    return cache != nullptr ? cache : end_;
}

bool LineReader::refill(const char* pos) {
    if (beforeBlock_) beforeBlock_();
    const size_t kept = static_cast<size_t>(end_ - pos);
    std::memmove(buffer_.data(), pos, kept);
    pos_ = buffer_.data();
    end_ = pos_ + kept;
    lfValid_ = crValid_ = nulValid_ = false;
    for (;;) {
        const ssize_t n = ::read(fd_, buffer_.data() + kept, buffer_.size() - kept);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            readError_ = errno;
            return false;
        }
        if (n == 0) eof_ = true;
        end_ += n;
        return true;
    }
}

bool LineReader::nextLine(std::string_view& line, bool& hasZero) {
    for (;;) {
        if (readError_ != 0) return false;
        const size_t avail = static_cast<size_t>(end_ - pos_);
        const char* term =
            std::min(find(nextLF_, lfValid_, '\n', pos_), find(nextCR_, crValid_, '\r', pos_));
        size_t length = 0;
        if (term != end_ && static_cast<size_t>(term - pos_) < kLineLength) {
            length = static_cast<size_t>(term - pos_) + 1;
        } else if (avail >= kLineLength) {
            length = kLineLength;
        } else if (eof_) {
            if (avail == 0) return false;
            length = avail;
        } else {
            if (!refill(pos_)) return false;
            continue;
        }
        line = std::string_view(pos_, length);
        hasZero = find(nextNUL_, nulValid_, '\0', pos_) < pos_ + length;
        pos_ += length;
        return true;
    }
}

JobPass::JobPass(const JobPassSettings& settings, CoverPageFn coverPage, OutputSink& out,
                 OutputSink* inputLog, OutputSink* outputLog)
    : settings_(settings),
      coverPage_(std::move(coverPage)),
      out_(out),
      inputLog_(inputLog),
      outputLog_(outputLog) {
    collateBlock_ = "%!\n%Set collate copies = copy:\n<< /CollatedCopies " +
                    settings_.collatedCopies + " >> setuserparams\n%EndUserSetup\n";
}

bool JobPass::coverOn() const {
    return settings_.coverFlag && equalsIgnoringCase(*settings_.coverFlag, "true");
}

bool JobPass::emit(std::string_view bytes) {
    if (!flushSpan()) return false;
    if (outputLog_ != nullptr) outputLog_->write(bytes);
    if (!out_.write(bytes)) ok_ = false;
    return ok_;
}

bool JobPass::flushSpan() {
    if (spanBegin_ == spanEnd_) return ok_;
    const std::string_view span(spanBegin_, static_cast<size_t>(spanEnd_ - spanBegin_));
    spanBegin_ = spanEnd_ = nullptr;
    if (outputLog_ != nullptr) outputLog_->write(span);
    if (!out_.write(span)) ok_ = false;
    return ok_;
}

bool JobPass::flushAll() {
    flushSpan();
    if (inputLog_ != nullptr) inputLog_->flush();
    if (outputLog_ != nullptr) outputLog_->flush();
    if (!out_.flush()) ok_ = false;
    return ok_;
}

void JobPass::passThrough(std::string_view line) {
    if (line.data() != spanEnd_ || spanBegin_ == spanEnd_) {
        flushSpan();
        spanBegin_ = line.data();
    }
    spanEnd_ = line.data() + line.size();
}

void JobPass::processLine(std::string_view line, bool hasZero) {
    if (inputLog_ != nullptr) inputLog_->write(line);
    if (hasZero) {
        passThrough(line);
        return;
    }
    const bool fax = settings_.routingMode && *settings_.routingMode == jr::kModeFax;
    const bool verify = settings_.routingMode && *settings_.routingMode == jr::kModeVerify;
    if (fax && startsWith(line, "%%EndSetup")) {
        // Written here, once, so that the cover page follows it directly.
        emit(line);
        if (coverOn() && coverPage_)
            coverPage_([this](std::string_view bytes) { return emit(bytes); });
        flushAll();
        return;
    }
    if (verify && startsWith(line, "%RBINumCopies: ")) {
        // The block begins with "%!", so the line it now heads is never taken for PJL.
        emit(collateBlock_);
        passThrough(line);
        flushAll();
        return;
    }
    if (startsWith(line, kUEL) || startsWith(line, "@PJL")) return;
    passThrough(line);
}

bool JobPass::run(int inputFd, size_t blockSize) {
    LineReader reader(
        inputFd, [this] { flushAll(); }, blockSize);
    std::string_view line;
    bool hasZero = false;
    while (ok_ && reader.nextLine(line, hasZero)) processLine(line, hasZero);
    flushSpan();
    readError_ = reader.readError();
    return ok_ && readError_ == 0;
}

}  // namespace qor
