// Fuzzes the line pass against a byte-by-byte model of it.
// The output must match for any job, any routing mode and any read block size.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "JobPass.h"
#include "pjlCreation.h"

namespace {

const std::string kCollate =
    "%!\n%Set collate copies = copy:\n<< /CollatedCopies 2 >> setuserparams\n%EndUserSetup\n";

bool startsWith(std::string_view line, std::string_view prefix) {
    return line.substr(0, prefix.size()) == prefix;
}

// The pass as plainly as it can be written: one byte at a time into a 1024-byte line.
std::string model(std::string_view input, std::string_view mode, bool cover) {
    std::string out, line;
    auto process = [&] {
        if (line.find('\0') != std::string::npos) {
            out += line;
        } else if (mode == "JRFax" && startsWith(line, "%%EndSetup")) {
            out += line;
            if (cover) out += "COVER\n";
        } else {
            if (mode == "JRVerify" && startsWith(line, "%RBINumCopies: ")) line = kCollate + line;
            if (!startsWith(line, qor::kUEL) && !startsWith(line, "@PJL")) out += line;
        }
        line.clear();
    };
    for (char c : input) {
        line += c;
        if (c == '\n' || c == '\r' || line.size() == qor::kLineLength) process();
    }
    process();
    return out;
}

// Everything written to a memory file; the file is closed.
std::string readAll(int fd) {
    std::string bytes(static_cast<size_t>(lseek(fd, 0, SEEK_END)), '\0');
    if (pread(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
        std::abort();
    close(fd);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static const char* const kModes[] = {"JRFax", "JRVerify", "JRConf", "jrfax"};
    const std::string_view mode = kModes[data[0] & 3];
    const bool cover = (data[0] & 4) != 0;
    // With the log copies on, every line goes through the full examination.
    const bool logging = (data[0] & 8) != 0;
    const size_t blockSize = 2048 + (data[1] % 8) * 331;
    const std::string_view input(reinterpret_cast<const char*>(data + 2), size - 2);

    const int in = memfd_create("in", 0), out = memfd_create("out", 0);
    const int inCopy = memfd_create("in-copy", 0), outCopy = memfd_create("out-copy", 0);
    if (in < 0 || out < 0 || inCopy < 0 || outCopy < 0) std::abort();
    if (write(in, input.data(), input.size()) != static_cast<ssize_t>(input.size())) std::abort();
    lseek(in, 0, SEEK_SET);
    {
        qor::JobPassSettings settings;
        settings.routingMode = std::string(mode);
        settings.coverFlag = cover ? "True" : "FALSE";
        settings.collatedCopies = "2";
        qor::OutputSink sink(out, false, 512);
        qor::OutputSink inLog(inCopy, false, 512), outLog(outCopy, false, 512);
        qor::JobPass pass(
            settings, [](const qor::WriteFn& w) { return w("COVER\n"); }, sink,
            logging ? &inLog : nullptr, logging ? &outLog : nullptr);
        if (!pass.run(in, blockSize) || !pass.flushAll()) std::abort();
    }
    close(in);
    const std::string result = readAll(out);
    const std::string inputCopy = readAll(inCopy), outputCopy = readAll(outCopy);
    if (result != model(input, mode, cover)) std::abort();
    if (logging && (inputCopy != input || outputCopy != result)) std::abort();
    if (!logging && !(inputCopy.empty() && outputCopy.empty())) std::abort();
    return 0;
}
