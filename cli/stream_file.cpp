#include "stream_file.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iostream>

namespace tarvo::cli {

std::string StreamFile::name(bool output) const {
    if (!isStream())
        return argument_;
    return output ? "standard output" : "standard input";
}

bool StreamFile::Prepare(bool fromStdin, std::string* error) {
    if (!isStream())
        return true;
    if (!directory_.Make("tarvo-stream-")) {
        *error = "cannot make a temporary directory for the stream";
        return false;
    }
    temporary_ = directory_.path() + "/stream.tcf";
    if (!fromStdin)
        return true;
    std::ofstream out(temporary_, std::ios::binary);
    out << std::cin.rdbuf();
    // An empty input leaves the stream's failbit set; an empty file is the kernel's to judge.
    out.close();
    if (!out || std::cin.bad()) {
        *error = "cannot read standard input";
        return false;
    }
    return true;
}

bool StreamFile::Deliver(std::string* error) {
    if (!isStream())
        return true;
    std::ifstream in(temporary_, std::ios::binary);
    if (!in) {
        *error = "nothing was written for standard output";
        return false;
    }
    std::cout << in.rdbuf();
    std::cout.flush();
    if (!std::cout) {
        *error = "cannot write standard output";
        return false;
    }
    return true;
}

std::ostream& StreamFile::messages() const {
    return isStream() ? std::cerr : std::cout;
}

}  // namespace tarvo::cli
