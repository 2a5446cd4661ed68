#include "support/cli_run.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace tarvo::test {

std::string ProgramPath(const std::string& program) {
    const char* bin = std::getenv("TARVO_BIN_DIR");
    return std::string(bin != nullptr ? bin : "build-test/bin") + "/" + program;
}

Outcome RunShell(const TestEnv& env, const std::string& commandLine, const std::string& input) {
    const std::string errFile = env.root() + "/stderr";
    std::string inFile = "/dev/null";
    if (!input.empty()) {
        inFile = env.root() + "/stdin";
        std::ofstream(inFile, std::ios::binary) << input;
    }
    const std::string command = commandLine + " 2>" + errFile + " <" + inFile;
    Outcome result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    std::array<char, 4096> chunk;
    std::size_t n;
    while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0)
        result.out.append(chunk.data(), n);
    const int raw = ::pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.err = ReadFile(errFile);
    return result;
}

Outcome RunProgram(const TestEnv& env, const std::string& program, const std::string& args,
                   const std::string& input) {
    return RunShell(env, ProgramPath(program) + " " + args, input);
}

}  // namespace tarvo::test
