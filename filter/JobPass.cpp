// The job pass over the input lines, with the cover page and collated-copies insertions.
#include "JobPass.h"

#include <unistd.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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
      // The slack after the block lets the terminator search read whole 64-byte spans.
      buffer_(std::max(blockSize, 2 * kLineLength) + kMaskSpan),
      pos_(buffer_.data()),
      end_(buffer_.data()),
      maskBase_(buffer_.data()) {}

uint64_t LineReader::terminatorMask(const char* base) const {
    uint64_t mask = 0;
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (int part = 0; part < 4; ++part) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + 16 * part));
        const __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(bytes, lf), _mm_cmpeq_epi8(bytes, cr));
        mask |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(hits)))
                << (16 * part);
    }
#else
    for (int i = 0; i < kMaskSpan; ++i) {
        if (base[i] == '\n' || base[i] == '\r') mask |= uint64_t{1} << i;
    }
#endif
    const ptrdiff_t valid = end_ - base;
    return valid >= kMaskSpan ? mask : mask & ((uint64_t{1} << valid) - 1);
}

void LineReader::refill() {
    if (beforeBlock_) beforeBlock_();
    const size_t kept = static_cast<size_t>(end_ - pos_);
    std::memmove(buffer_.data(), pos_, kept);
    pos_ = buffer_.data();
    end_ = pos_ + kept;
    nulValid_ = false;
    for (;;) {
        const ssize_t n = ::read(fd_, buffer_.data() + kept, buffer_.size() - kMaskSpan - kept);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            readError_ = errno;
        } else if (n == 0) {
            eof_ = true;
        } else {
            end_ += n;
        }
        maskBase_ = pos_;
        termMask_ = terminatorMask(pos_);
        return;
    }
}

JobPass::JobPass(const JobPassSettings& settings, CoverPageFn coverPage, OutputSink& out,
                 OutputSink* inputLog, OutputSink* outputLog)
    : settings_(settings),
      coverPage_(std::move(coverPage)),
      out_(out),
      inputLog_(inputLog),
      outputLog_(outputLog) {
    fax_ = settings_.routingMode && *settings_.routingMode == jr::kModeFax;
    verify_ = settings_.routingMode && *settings_.routingMode == jr::kModeVerify;
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
    if (fax_ && startsWith(line, "%%EndSetup")) {
        // Written here, once, so that the cover page follows it directly.
        emit(line);
        if (coverOn() && coverPage_)
            coverPage_([this](std::string_view bytes) { return emit(bytes); });
        flushAll();
        return;
    }
    if (verify_ && startsWith(line, "%RBINumCopies: ")) {
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
    while (ok_ && reader.nextLine(line)) {
        // Only a line that begins with '%', '@' or ESC can be a marker or PJL; any other
        // is passed on as it is, whatever it holds.
        const char first = line.front();
        if (inputLog_ == nullptr && first != '%' && first != '@' && first != '\x1b') {
            if (line.data() == spanEnd_ && spanBegin_ != spanEnd_) {
                spanEnd_ += line.size();
            } else {
                passThrough(line);
            }
        } else {
            processLine(line, reader.hasZero(line));
        }
    }
    flushSpan();
    readError_ = reader.readError();
    return ok_ && readError_ == 0;
}

}  // namespace qor
