#include "platform/line_format.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/fs.h"

namespace tarvo::platform {
namespace {

const char* FlowName(FlowControl flow) {
    switch (flow) {
        case FlowControl::None:
            return "none";
        case FlowControl::XonXoff:
            return "xonxoff";
        case FlowControl::RtsCts:
            return "rtscts";
    }
    return "none";
}

std::optional<FlowControl> FlowFromName(const std::string& name) {
    if (name == "none")
        return FlowControl::None;
    if (name == "xonxoff")
        return FlowControl::XonXoff;
    if (name == "rtscts")
        return FlowControl::RtsCts;
    return std::nullopt;
}

std::string NoteDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] != '\0') {
        return std::string(runtime) + "/tarvo";
    }
    return "/tmp/tarvo-" + std::to_string(getuid());
}

}  // namespace

std::string FormatLineNote(const LineFormat& f) {
    std::ostringstream out;
    out << "baud=" << f.baud << " data=" << f.dataBits << " parity=" << f.parity
        << " stop=" << f.stopBits << " flow=" << FlowName(f.flow) << "\n";
    return out.str();
}

std::optional<LineFormat> ParseLineNote(const std::string& text) {
    LineFormat f;
    unsigned baud = 0;
    int data = 0;
    int stop = 0;
    char parity = 0;
    char flow[16] = {};
    if (std::sscanf(text.c_str(), "baud=%u data=%d parity=%c stop=%d flow=%15s", &baud, &data,
                    &parity, &stop, flow) != 5) {
        return std::nullopt;
    }
    auto flowValue = FlowFromName(flow);
    if (!flowValue || baud == 0 || (data != 7 && data != 8) || (stop != 1 && stop != 2) ||
        std::string("EONMS").find(parity) == std::string::npos) {
        return std::nullopt;
    }
    f.baud = baud;
    f.dataBits = data;
    f.parity = parity;
    f.stopBits = stop;
    f.flow = *flowValue;
    return f;
}

std::string LineNotePath(int ptyNumber) {
    return NoteDirectory() + "/pty-" + std::to_string(ptyNumber) + ".line";
}

bool WriteLineNote(int ptyNumber, const LineFormat& format) {
    if (!MakeDirectories(NoteDirectory(), 0700)) {
        return false;
    }
    return WriteFileAtomically(LineNotePath(ptyNumber), FormatLineNote(format), 0600);
}

std::optional<LineFormat> ReadLineNote(int ptyNumber) {
    std::ifstream in(LineNotePath(ptyNumber));
    if (!in) {
        return std::nullopt;
    }
    std::string text;
    std::getline(in, text);
    return ParseLineNote(text);
}

void RemoveLineNote(int ptyNumber) {
    ::unlink(LineNotePath(ptyNumber).c_str());
}

int PtyNumberOf(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) {
        return -1;
    }
    const unsigned maj = major(st.st_rdev);
    // Unix98 pseudo-terminal slaves use majors 136..143, 256 minors each.
    if (maj < 136 || maj > 143) {
        return -1;
    }
    return static_cast<int>((maj - 136) * 256 + minor(st.st_rdev));
}

}  // namespace tarvo::platform
