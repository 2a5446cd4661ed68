#include "desk/last_send.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <sstream>

#include "tarvo/base/fs.h"
#include "tarvo/base/paths.h"
#include "tarvo/base/port_names.h"

namespace tarvo::app {
namespace {

constexpr std::size_t kMaxFileBytes = 4096;

bool ParseInt(std::string_view text, int* value) {
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, *value);
    return !text.empty() && error == std::errc() && rest == end;
}

bool ParseValues(std::string_view text, LanValues* values) {
    std::size_t i = 0;
    while (i < values->size()) {
        const std::size_t comma = text.find(',');
        if (!ParseInt(text.substr(0, comma), &(*values)[i++]))
            return false;
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    return i == values->size() && text.find(',') == std::string_view::npos;
}

// Takes one "key = value" line into *record; false for a line it cannot read.
bool TakeLine(std::string_view key, std::string_view value, LastSend* record, int* seen) {
    if (key == "port" && (*seen & 1) == 0) {
        record->port = PortIndexOf(std::string(value));
        *seen |= 1;
        return record->port >= 0;
    }
    if (key == "model" && (*seen & 2) == 0) {
        *seen |= 2;
        return ParseInt(value, &record->model) && record->model >= 0 &&
               record->model < PROP_MODEL_COUNT;
    }
    if (key == "firmware" && (*seen & 4) == 0) {
        *seen |= 4;
        record->firmware = value;
        return true;
    }
    if (key == "values" && (*seen & 8) == 0) {
        *seen |= 8;
        return ParseValues(value, &record->values);
    }
    return false;
}

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return std::string(text.substr(first, last - first + 1));
}

std::optional<LastSend> Parse(const std::string& contents, int port, std::string* error) {
    LastSend record;
    std::istringstream in(contents);
    std::string line;
    int seen = 0;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#')
            continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos ||
            !TakeLine(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)), &record, &seen)) {
            *error = LastSendPath(port) + " line " + std::to_string(number) + " cannot be read";
            return std::nullopt;
        }
    }
    if (seen != 15 || record.port != port) {
        *error = LastSendPath(port) + " is incomplete";
        return std::nullopt;
    }
    return record;
}

}  // namespace

std::string LastSendPath(int port) {
    return platform::DataDirectory() + "/last-send-" + tarvo::PortName(port) + ".txt";
}

bool SaveLastSend(const LastSend& record, std::string* error) {
    std::string ignored;
    std::string& why = error != nullptr ? *error : ignored;
    if (tarvo::PortName(record.port).empty()) {
        why = "no port " + std::to_string(record.port);
        return false;
    }
    std::string text =
        "# The configuration the printer held before the last send from this host.\n";
    text += "port = " + tarvo::PortName(record.port) + "\n";
    text += "model = " + std::to_string(record.model) + "\n";
    text += "firmware = " + record.firmware + "\n";
    text += "values = ";
    for (std::size_t i = 0; i < record.values.size(); ++i)
        text += (i == 0 ? "" : ",") + std::to_string(record.values[i]);
    text += "\n";
    const std::string path = LastSendPath(record.port);
    if (!platform::MakeDirectories(platform::DataDirectory(), 0700) ||
        !platform::WriteFileAtomically(path, text, 0600)) {
        why = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void ForgetLastSend(int port) {
    if (!tarvo::PortName(port).empty())
        ::unlink(LastSendPath(port).c_str());
}

std::optional<LastSend> LoadLastSend(int port, std::string* error) {
    std::string ignored;
    std::string& why = error != nullptr ? *error : ignored;
    if (tarvo::PortName(port).empty()) {
        why = "no port " + std::to_string(port);
        return std::nullopt;
    }
    std::string contents;
    const int status = platform::ReadSmallFile(LastSendPath(port), kMaxFileBytes, &contents);
    if (status == ENOENT) {
        why = "no send from this host to " + tarvo::PortName(port) + " was recorded";
        return std::nullopt;
    }
    if (status != 0) {
        why = "cannot read " + LastSendPath(port) + ": " + std::strerror(status);
        return std::nullopt;
    }
    return Parse(contents, port, &why);
}

}  // namespace tarvo::app
