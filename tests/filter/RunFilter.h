// Runs a program with given arguments, environment, input and output, for end-to-end tests.
#pragma once

#include <string>
#include <vector>

namespace qor::test {

struct RunResult {
    int status = -1;  // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

struct RunOptions {
    std::vector<std::string> env;  // NAME=value pairs added to a minimal environment
    std::string input;             // standard input
    std::string outputPath;        // standard output goes here instead of being captured
    bool closedPipe = false;       // standard output is a pipe whose reader has gone
};

RunResult runProgram(const std::vector<std::string>& argv, const RunOptions& options = {});

// A fresh folder under the temporary directory, removed with the object.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

std::string readFile(const std::string& path);
// Copies the built filter into folder (made as needed) with the mode CUPS asks of filters.
void installFilter(const std::string& folder);
void writeFile(const std::string& path, const std::string& bytes);

}  // namespace qor::test
