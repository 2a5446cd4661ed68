#include "tarvo/base/line_format.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tarvo/base/fs.h"

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
    // Exactly the five fields FormatLineNote writes, in its order, digits only where numbers go.
    std::istringstream in(text);
    std::string field[5];
    std::string extra;
    if (!(in >> field[0] >> field[1] >> field[2] >> field[3] >> field[4]) || (in >> extra)) {
        return std::nullopt;
    }
    auto value = [&](int i, const char* key) -> std::optional<std::string> {
        const std::string prefix = std::string(key) + "=";
        if (field[i].rfind(prefix, 0) != 0 || field[i].size() == prefix.size()) {
            return std::nullopt;
        }
        return field[i].substr(prefix.size());
    };
    auto number = [](const std::optional<std::string>& digits) -> std::optional<unsigned> {
        if (!digits || digits->size() > 9 ||
            digits->find_first_not_of("0123456789") != std::string::npos) {
            return std::nullopt;
        }
        return static_cast<unsigned>(std::stoul(*digits));
    };
    const auto baud = number(value(0, "baud"));
    const auto data = number(value(1, "data"));
    const auto parity = value(2, "parity");
    const auto stop = number(value(3, "stop"));
    const auto flowName = value(4, "flow");
    if (!baud || *baud == 0 || !data || (*data != 7 && *data != 8) || !stop ||
        (*stop != 1 && *stop != 2) || !parity || parity->size() != 1 ||
        std::string("EONMS").find((*parity)[0]) == std::string::npos || !flowName) {
        return std::nullopt;
    }
    const auto flow = FlowFromName(*flowName);
    if (!flow)
        return std::nullopt;
    LineFormat f;
    f.baud = *baud;
    f.dataBits = static_cast<int>(*data);
    f.parity = (*parity)[0];
    f.stopBits = static_cast<int>(*stop);
    f.flow = *flow;
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
