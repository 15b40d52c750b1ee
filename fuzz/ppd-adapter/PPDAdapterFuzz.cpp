// Feeds arbitrary bytes to the PPD library as a PPD file and walks every keyword it finds.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "PPDLib.h"

namespace {

// The library reads PPDs by path: one in-memory file per process, rewritten for every input,
// so that nothing is left behind however the run ends.
int inputFile() {
    static const int fd = [] {
        int made = memfd_create("qor-ppd-fuzz", 0);
        if (made < 0) std::abort();
        return made;
    }();
    return fd;
}

void walk(PPDContextViel ctx) {
    setInstallableOptions(ctx, nullptr);
    unsigned char value[256];
    Str255 text;
    std::int16_t keys = ppdCountMainKeys(ctx);
    for (std::int16_t main = 1; main <= keys; ++main) {
        ppdGetMainString(ctx, main, text);
        ppdGetMainIndex(ctx, text);
        ppdGetUIKeyType(ctx, main);
        ppdGetInvocationString(ctx, main, 0, value, sizeof value);
        xUIHeader header;
        if (!ppdGetUIHeader(ctx, main, &header)) continue;
        ppdGetOptionAlias(ctx, main, header.defaultOption, text);
        for (std::int16_t i = 0; i <= ppdCountUIOptions(ctx, main); ++i) {
            xUIOption option;
            if (!ppdGetIndUIOption(ctx, main, i, &option)) continue;
            ppdGetOptionAlias(ctx, main, option.optionKeyIndex, text);
            ppdGetOptionString(ctx, option.optionKeyIndex, text);
            ppdGetOptionIndex(ctx, text);
            ppdGetUIOption(ctx, main, option.optionKeyIndex, &option);
            ppdGetInvocationString(ctx, main, option.optionKeyIndex, value, sizeof value);
            ppdGetInvocationString(ctx, main, option.optionKeyIndex, value, 3);
        }
    }
}

}  // namespace

// libcups's parser loses a few strings on some malformed files; that is its own leak, outside
// the adapter, and would otherwise stop every run at the first such input.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:_ppdOpen\n";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    int fd = inputFile();
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    PPDContextViel ctx = nullptr;
    if (ppdOpenCompiledPPDFromFile(path.c_str(), &ctx) == kPPDNoErr) {
        walk(ctx);
        ppdCloseCompiledPPD(ctx);
    }
    return 0;
}
