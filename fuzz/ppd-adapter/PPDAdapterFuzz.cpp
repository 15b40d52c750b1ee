// Feeds arbitrary bytes to the PPD library as a PPD file and walks every keyword it finds.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "PPDLib.h"

namespace {

// One file per process, rewritten for every input: the library reads PPDs by path.
const std::string& inputPath() {
    static const std::string path = [] {
        char name[] = "/tmp/qor-ppd-fuzz-XXXXXX";
        int fd = mkstemp(name);
        if (fd < 0) std::abort();
        close(fd);
        std::atexit([] { unlink(inputPath().c_str()); });
        return std::string(name);
    }();
    return path;
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
    const std::string& path = inputPath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    PPDContextViel ctx = nullptr;
    if (ppdOpenCompiledPPDFromFile(path.c_str(), &ctx) == kPPDNoErr) {
        walk(ctx);
        ppdCloseCompiledPPD(ctx);
    }
    return 0;
}
