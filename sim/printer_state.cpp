#include "printer_state.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <map>
#include <sstream>
#include <string_view>

#include "platform/fs.h"
#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {
namespace {

// Far beyond any real state file; a larger file is not ours.
constexpr std::size_t kMaxStateFileBytes = 1 << 20;
constexpr std::size_t kMaxFirmwareLength = 32;
constexpr unsigned kMaxMemoryKb = 16u * 1024 * 1024;

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool ParseKilobytes(std::string_view text, unsigned* value) {
    unsigned parsed = 0;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, parsed);
    if (text.empty() || error != std::errc() || rest != end || parsed > kMaxMemoryKb) {
        return false;
    }
    *value = parsed;
    return true;
}

// Applies one "key = value" pair; returns an empty string or the reason it was refused.
std::string ApplySetting(std::string_view key, std::string_view value, PrinterState* state) {
    if (key == "model") {
        const int model = ModelIndexByName(std::string(value));
        if (model < 0)
            return "unknown model \"" + std::string(value) + "\"";
        state->model = model;
    } else if (key == "firmware") {
        if (!ValidFirmware(value))
            return "firmware must be 1 to 32 printable characters, no comma";
        state->firmware = value;
    } else if (key == "memory-total-kb") {
        if (!ParseKilobytes(value, &state->memoryTotalKb))
            return "memory-total-kb is not a size";
    } else if (key == "memory-free-kb") {
        if (!ParseKilobytes(value, &state->memoryFreeKb))
            return "memory-free-kb is not a size";
    } else {
        return "unknown key \"" + std::string(key) + "\"";
    }
    return {};
}

}  // namespace

bool ValidFirmware(std::string_view text) {
    if (text.empty() || text.size() > kMaxFirmwareLength)
        return false;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ',' || byte < 0x20 || byte >= 0x7F)
            return false;
    }
    return true;
}

std::string FormatState(const PrinterState& state) {
    std::ostringstream out;
    out << "# State of a simulated printer (tarvo-printersim); kept between runs.\n"
        << "model = " << ModelName(state.model) << "\n"
        << "firmware = " << state.firmware << "\n"
        << "memory-total-kb = " << state.memoryTotalKb << "\n"
        << "memory-free-kb = " << state.memoryFreeKb << "\n";
    return out.str();
}

bool ParseState(const std::string& text, PrinterState* state, std::string* error) {
    PrinterState parsed = *state;
    std::map<std::string, int, std::less<>> lineOfKey;
    std::istringstream in(text);
    std::string rawLine;
    const auto fail = [error](int lineNumber, const std::string& reason) {
        *error = "line " + std::to_string(lineNumber) + ": " + reason;
        return false;
    };
    int lineNumber = 0;
    while (std::getline(in, rawLine)) {
        ++lineNumber;
        const std::string_view line = Trim(rawLine);
        if (line.empty() || line.front() == '#')
            continue;
        const auto equals = line.find('=');
        if (equals == std::string_view::npos)
            return fail(lineNumber, "expected \"key = value\"");
        const std::string_view key = Trim(line.substr(0, equals));
        const std::string_view value = Trim(line.substr(equals + 1));
        if (!lineOfKey.emplace(std::string(key), lineNumber).second) {
            return fail(lineNumber, "\"" + std::string(key) + "\" given twice");
        }
        if (std::string reason = ApplySetting(key, value, &parsed); !reason.empty()) {
            return fail(lineNumber, reason);
        }
        // A printer never changes its model: a file of another model belongs to another
        // printer, and starting over it would overwrite that printer's memory.
        if (parsed.model != state->model) {
            return fail(lineNumber, "the saved printer is a " + ModelName(parsed.model) +
                                        ", not a " + ModelName(state->model));
        }
    }
    if (parsed.memoryFreeKb > parsed.memoryTotalKb) {
        int blamed = 0;
        for (const char* key : {"memory-total-kb", "memory-free-kb"}) {
            if (auto it = lineOfKey.find(key); it != lineOfKey.end()) {
                blamed = std::max(blamed, it->second);
            }
        }
        return fail(blamed, "memory-free-kb exceeds memory-total-kb");
    }
    *state = parsed;
    return true;
}

LoadResult LoadStateFile(const std::string& path, PrinterState* state, std::string* error) {
    std::string text;
    const int rc = platform::ReadSmallFile(path, kMaxStateFileBytes, &text);
    if (rc == ENOENT)
        return LoadResult::Missing;
    if (rc != 0) {
        *error = "cannot read state file " + path + ": " + std::strerror(rc);
        return LoadResult::Failed;
    }
    std::string reason;
    if (!ParseState(text, state, &reason)) {
        *error = "state file " + path + ", " + reason;
        return LoadResult::Failed;
    }
    return LoadResult::Loaded;
}

bool SaveStateFile(const std::string& path, const PrinterState& state, std::string* error) {
    if (!platform::WriteFileAtomically(path, FormatState(state), 0644)) {
        *error = "cannot write state file " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace tarvo::sim
