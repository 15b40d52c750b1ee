// Process running and temporary files for the end-to-end tests.
#include "RunFilter.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace qor::test {

TempDir::TempDir() {
    std::string pattern = std::filesystem::temp_directory_path() / "qor-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void installFilter(const std::string& folder) {
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(QORPSTOPS_PATH, folder + "/qorpstops");
    std::filesystem::permissions(folder + "/qorpstops", std::filesystem::perms(0555));
}

RunResult runProgram(const std::vector<std::string>& argv, const RunOptions& options) {
    TempDir io;
    const std::string in = io.file("in"), out = io.file("out"), err = io.file("err");
    writeFile(in, options.input);
    int pipeFds[2] = {-1, -1};
    if (options.closedPipe) {
        if (pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
        close(pipeFds[0]);
    }

    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        const std::string outPath = options.outputPath.empty() ? out : options.outputPath;
        const int inFd = open(in.c_str(), O_RDONLY);
        const int outFd = options.closedPipe
                              ? pipeFds[1]
                              : open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (inFd < 0 || outFd < 0 || errFd < 0) _exit(127);
        dup2(inFd, 0);
        dup2(outFd, 1);
        dup2(errFd, 2);
        std::vector<std::string> envStrings = {"PATH=/usr/bin:/bin"};
        for (const char* keep : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
            if (const char* value = std::getenv(keep))
                envStrings.push_back(std::string(keep) + "=" + value);
        }
        envStrings.insert(envStrings.end(), options.env.begin(), options.env.end());
        std::vector<char*> args, env;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        for (const auto& e : envStrings) env.push_back(const_cast<char*>(e.c_str()));
        env.push_back(nullptr);
        execve(args[0], args.data(), env.data());
        _exit(127);
    }
    if (options.closedPipe) close(pipeFds[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    RunResult result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readFile(out);
    result.err = readFile(err);
    return result;
}

}  // namespace qor::test
