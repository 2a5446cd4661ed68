// A program of the build (from TARVO_BIN_DIR) running in the background with its standard output
// and error on pipes, for the tests that talk to it while it runs. Every wait on it is woken by
// the program's own output or end; only a failing test waits out the patience.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace tarvo::test {

class Background {
  public:
    // Starts `program` (a file name in the build's bin directory) with `args`.
    Background(const std::string& program, const std::vector<std::string>& args);
    ~Background();  // kills a program still running
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;

    // The next line of standard output without its line end; nullopt at the end of the output.
    std::optional<std::string> line();
    // All of standard error, up to its end.
    std::string errors();
    void signal(int number);
    // The exit status (128 + the signal for a killed program); -1 when it does not end.
    int wait();

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
};

}  // namespace tarvo::test
