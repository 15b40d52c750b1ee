// Tests of the line pass in process: insertion points, block boundaries and flushing.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

#include <thread>

#include "JobPass.h"

using namespace qor;

namespace {

std::string readAll(int fd) {
    std::string bytes(static_cast<size_t>(lseek(fd, 0, SEEK_END)), '\0');
    EXPECT_EQ(pread(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
    close(fd);
    return bytes;
}

// The copies a pass with logging on makes of what it read and wrote.
struct LogCopies {
    std::string input, output;
};

// Runs the pass over the input with a fake cover page; returns what it wrote. With logs, the
// pass also copies its input and output, as it does when the debug marker is there.
std::string runPass(const JobPassSettings& settings, const std::string& input,
                    size_t blockSize = 256 * 1024, int* coverCalls = nullptr,
                    LogCopies* logs = nullptr) {
    const int in = memfd_create("in", 0), out = memfd_create("out", 0);
    const int inCopy = memfd_create("in-copy", 0), outCopy = memfd_create("out-copy", 0);
    EXPECT_EQ(write(in, input.data(), input.size()), static_cast<ssize_t>(input.size()));
    lseek(in, 0, SEEK_SET);
    {
        OutputSink sink(out, false, 100);
        OutputSink inLog(inCopy, false, 100), outLog(outCopy, false, 100);
        JobPass pass(
            settings,
            [coverCalls](const WriteFn& write) {
                if (coverCalls) ++*coverCalls;
                return write("COVER\n");
            },
            sink, logs ? &inLog : nullptr, logs ? &outLog : nullptr);
        EXPECT_TRUE(pass.run(in, blockSize));
        EXPECT_TRUE(pass.flushAll());
    }
    close(in);
    if (logs) {
        logs->input = readAll(inCopy);
        logs->output = readAll(outCopy);
    } else {
        close(inCopy);
        close(outCopy);
    }
    return readAll(out);
}

JobPassSettings mode(const char* routing, const char* cover) {
    JobPassSettings s;
    if (routing) s.routingMode = routing;
    if (cover) s.coverFlag = cover;
    return s;
}

}  // namespace

TEST(JobPass, CoverPageFollowsEachEndSetupOfAFaxJobWithTheFlagOn) {
    const std::string job = "%!\n%%EndSetup\n%%Page: 1 1\n%%EndSetupExtra\n";
    const std::string withCover = "%!\n%%EndSetup\nCOVER\n%%Page: 1 1\n%%EndSetupExtra\nCOVER\n";
    struct Case {
        const char* routing;
        const char* cover;
        bool expectCover;
    } cases[] = {
        {"JRFax", "TRUE", true},   {"JRFax", "True", true},     {"JRFax", "true", true},
        {"JRFax", "FALSE", false}, {"JRFax", "false", false},   {"JRFax", nullptr, false},
        {"JRFax", "yes", false},   {"JRFax", "", false},        {"jrfax", "TRUE", false},
        {"JRConf", "TRUE", false}, {"JRVerify", "TRUE", false}, {nullptr, "TRUE", false},
    };
    for (const auto& c : cases) {
        int calls = 0;
        const std::string out = runPass(mode(c.routing, c.cover), job, 256 * 1024, &calls);
        EXPECT_EQ(out, c.expectCover ? withCover : job)
            << (c.routing ? c.routing : "-") << " " << (c.cover ? c.cover : "-");
        EXPECT_EQ(calls, c.expectCover ? 2 : 0);
    }
}

TEST(JobPass, AFailedCoverPageLeavesTheEndSetupLineOnce) {
    const int in = memfd_create("in", 0), out = memfd_create("out", 0);
    const std::string job = "%%EndSetup\nx\n";
    write(in, job.data(), job.size());
    lseek(in, 0, SEEK_SET);
    OutputSink sink(out, false);
    JobPass pass(
        mode("JRFax", "TRUE"), [](const WriteFn&) { return false; }, sink, nullptr, nullptr);
    EXPECT_TRUE(pass.run(in));
    std::string result(64, '\0');
    result.resize(static_cast<size_t>(pread(out, result.data(), result.size(), 0)));
    EXPECT_EQ(result, job);
    close(in);
    close(out);
}

TEST(JobPass, LinesAcrossBlockBoundariesSplitAsInOneBlock) {
    // Lines of every length around the 1024-byte limit, with CR, LF, NUL and PJL lines,
    // give the same output whatever the size of the read blocks.
    std::string job;
    for (size_t n = 1; n < 2100; n += 37) {
        job += (n % 3 == 0 ? "@PJL " : "%") + std::string(n, static_cast<char>('a' + n % 26));
        job += n % 5 == 0 ? "\r" : "\n";
        if (n % 7 == 0) job += std::string("@PJL\0zero\n", 10);
    }
    const std::string expected = runPass(mode("JRVerify", nullptr), job);
    EXPECT_EQ(expected.find("\n@PJL "), std::string::npos);
    EXPECT_NE(expected.find(std::string("@PJL\0zero\n", 10)), std::string::npos);
    for (size_t block : {2048u, 2049u, 3000u, 4096u}) {
        EXPECT_EQ(runPass(mode("JRVerify", nullptr), job, block), expected) << block;
        // With logging on every line takes the long way; the output must not change.
        LogCopies logs;
        EXPECT_EQ(runPass(mode("JRVerify", nullptr), job, block, nullptr, &logs), expected)
            << block;
        EXPECT_EQ(logs.input, job) << block;
        EXPECT_EQ(logs.output, expected) << block;
    }
}

TEST(JobPass, OutputIsNotHeldBackWhileWaitingForInput) {
    int in[2], out[2];
    ASSERT_EQ(pipe(in), 0);
    ASSERT_EQ(pipe(out), 0);
    std::thread filter([&] {
        OutputSink sink(out[1], false);
        JobPass pass(mode("JRFax", nullptr), nullptr, sink, nullptr, nullptr);
        pass.run(in[0]);
        sink.flush();
        close(out[1]);
    });
    const std::string first = "%!\nline two\npartial";
    ASSERT_EQ(write(in[1], first.data(), first.size()), static_cast<ssize_t>(first.size()));
    // The complete lines must arrive while the filter still waits for the rest.
    std::string seen;
    pollfd p{out[0], POLLIN, 0};
    while (seen.size() < 12 && poll(&p, 1, 5000) == 1) {
        char buf[64];
        const ssize_t n = read(out[0], buf, sizeof buf);
        if (n <= 0) break;
        seen.append(buf, static_cast<size_t>(n));
    }
    EXPECT_EQ(seen, "%!\nline two\n");
    ASSERT_EQ(write(in[1], " end\n", 5), 5);
    close(in[1]);
    filter.join();
    char buf[64];
    const ssize_t n = read(out[0], buf, sizeof buf);
    EXPECT_EQ(std::string(buf, n > 0 ? static_cast<size_t>(n) : 0), "partial end\n");
    close(in[0]);
    close(out[0]);
}
