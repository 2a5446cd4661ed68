// Running the build's programs as a user does, through the shell, for end-to-end tests.
#pragma once

#include <string>

#include "support/test_env.h"

namespace tarvo::test {

struct Outcome {
    int status = -1;  // exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs `program` from the build's bin directory (TARVO_BIN_DIR) with `args` (shell words),
// standard input from `input` through a file (from /dev/null when empty), never a terminal;
// standard error goes through a file in env's directory.
Outcome RunProgram(const TestEnv& env, const std::string& program, const std::string& args,
                   const std::string& input = {});

// The path of `program` in the build's bin directory.
std::string ProgramPath(const std::string& program);

// Runs a shell command line (programs named by ProgramPath) with stderr and stdin as
// RunProgram has them.
Outcome RunShell(const TestEnv& env, const std::string& commandLine, const std::string& input = {});

}  // namespace tarvo::test
