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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static const char* const kModes[] = {"JRFax", "JRVerify", "JRConf", "jrfax"};
    const std::string_view mode = kModes[data[0] & 3];
    const bool cover = (data[0] & 4) != 0;
    const size_t blockSize = 2048 + (data[1] % 8) * 331;
    const std::string_view input(reinterpret_cast<const char*>(data + 2), size - 2);

    const int in = memfd_create("in", 0), out = memfd_create("out", 0);
    if (in < 0 || out < 0) std::abort();
    if (write(in, input.data(), input.size()) != static_cast<ssize_t>(input.size())) std::abort();
    lseek(in, 0, SEEK_SET);
    {
        qor::JobPassSettings settings;
        settings.routingMode = std::string(mode);
        settings.coverFlag = cover ? "True" : "FALSE";
        settings.collatedCopies = "2";
        qor::OutputSink sink(out, false, 512);
        qor::JobPass pass(
            settings, [](const qor::WriteFn& w) { return w("COVER\n"); }, sink, nullptr, nullptr);
        if (!pass.run(in, blockSize) || !sink.flush()) std::abort();
    }
    std::string result(static_cast<size_t>(lseek(out, 0, SEEK_END)), '\0');
    if (pread(out, result.data(), result.size(), 0) != static_cast<ssize_t>(result.size()))
        std::abort();
    close(in);
    close(out);
    if (result != model(input, mode, cover)) std::abort();
    return 0;
}
