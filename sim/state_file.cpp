#include "state_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <map>
#include <optional>
#include <sstream>
#include <string_view>

#include "config_text.h"
#include "models.h"
#include "tarvo/base/fs.h"
#include "script_files.h"
#include "setup_values.h"

namespace tarvo::sim {
namespace {

// Far beyond any real state file; a larger file is not ours.
constexpr std::size_t kMaxStateFileBytes = 1 << 20;
constexpr unsigned kMaxMemoryKb = 16u * 1024 * 1024;
constexpr std::string_view kConfigPrefix = "config.";
constexpr std::string_view kSetupPrefix = "setup.";
constexpr std::string_view kFilePrefix = "file.";
// A century either way is more than any clock a host sets.
constexpr long long kMaxClockOffsetSeconds = 100LL * 366 * 24 * 3600;

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

bool IsLanmere(int model) {
    return FamilyOfModel(model) == Family::Lanmere;
}

bool HasShell(int model) {
    return !ShellPlatformName(model).empty();
}

void FormatLanmereState(const PrinterState& state, std::ostream& out) {
    // Written only while it holds, so that the files of printers that never lost their
    // firmware stay as they were.
    if (state.firmwareInvalidated)
        out << "firmware-invalid = yes\n";
    if (HasShell(state.model)) {
        out << "shell-user = " << state.shellUser << "\n"
            << "admin-password = " << state.adminPassword << "\n";
    }
    out << "# Configuration; '?' is a value the printer does not know.\n";
    for (int setting = 0; setting < kSettingCount; ++setting) {
        if (KeepsSetting(setting)) {
            out << kConfigPrefix << SettingName(setting) << " = "
                << ConfigNumbers({state.config.settings[static_cast<std::size_t>(setting)]})
                << "\n";
        }
    }
    for (const auto& [letter, values] : state.config.extras)
        out << kConfigPrefix << letter << " = " << ConfigNumbers(values) << "\n";
    for (ObjectKind kind : kObjectKinds) {
        for (const auto& [id, object] : state.objects.of(kind)) {
            out << ObjectKindName(kind) << "." << id << " = " << FormatObjectValue(object) << "\n";
        }
    }
}

bool IsBrakenholm(int model) {
    return FamilyOfModel(model) == Family::Brakenholm;
}

void FormatBrakenholmState(const PrinterState& state, std::ostream& out) {
    out << "shell-user = " << state.shellUser << "\n"
        << "admin-password = " << state.adminPassword << "\n"
        << "# The printer's clock less the computer's, in seconds.\n"
        << "clock-offset-seconds = " << state.clockOffsetSeconds << "\n"
        << "# Setup tree " << SetupTreeVersion(state.model)
        << "; the serial settings of UART1 are the line's, not kept here.\n";
    for (const auto& [path, value] : state.setup)
        out << kSetupPrefix << path << " = " << value << "\n";
    for (const auto& [key, size] : state.files)
        out << kFilePrefix << key << " = " << size << "\n";
}

// Calls `apply` with each "key = value" pair of `text` and its line number; stops at the first
// line that is not a pair or that `apply` refuses, with "line N: reason" in *error.
template <typename Apply>
bool ForEachPair(const std::string& text, std::string* error, Apply apply) {
    std::istringstream in(text);
    std::string rawLine;
    int lineNumber = 0;
    while (std::getline(in, rawLine)) {
        ++lineNumber;
        const std::string_view line = Trim(rawLine);
        if (line.empty() || line.front() == '#')
            continue;
        const auto equals = line.find('=');
        std::string reason = "expected \"key = value\"";
        if (equals != std::string_view::npos)
            reason = apply(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)), lineNumber);
        if (!reason.empty()) {
            *error = "line " + std::to_string(lineNumber) + ": " + reason;
            return false;
        }
    }
    return true;
}

std::string ParseObjectEntry(std::string_view key, std::string_view value, ObjectEntry* entry) {
    const auto dot = key.find('.');
    const auto kind = ObjectKindByName(key.substr(0, dot));
    const std::string_view number = dot == key.npos ? "" : key.substr(dot + 1);
    const auto [end, error] =
        std::from_chars(number.data(), number.data() + number.size(), entry->object.id);
    if (!kind)
        return "unknown kind of object \"" + std::string(key) + "\"";
    if (number.empty() || error != std::errc() || end != number.data() + number.size())
        return "\"" + std::string(number) + "\" is not an object number";
    entry->kind = *kind;
    return ParseObjectValue(value, &entry->object);
}

// Reads a state file's lines over a copy of the state, remembering where each key was.
class StateParser {
  public:
    explicit StateParser(const PrinterState& state) : parsed_(state), model_(state.model) {}

    // Applies one "key = value" pair; returns an empty string or the reason it was refused.
    std::string apply(std::string_view key, std::string_view value, int lineNumber);
    // The checks across keys, once every line is read; *lineNumber gets the line to blame.
    std::string finish(int* lineNumber) const;

    const PrinterState& parsed() const { return parsed_; }

  private:
    // These return nullopt for a key that is not theirs.
    std::optional<std::string> applyCommon(std::string_view key, std::string_view value);
    std::optional<std::string> applyLanmere(std::string_view key, std::string_view value);
    std::optional<std::string> applyUser(std::string_view key, std::string_view value);
    std::optional<std::string> applyBrakenholm(std::string_view key, std::string_view value);
    std::string applyFile(std::string_view key, std::string_view value);
    std::string checkFiles(int* lineNumber) const;
    std::string applyConfig(std::string_view name, std::string_view value);
    std::string applyObject(std::string_view key, std::string_view value);
    int lastLineOf(std::initializer_list<std::string_view> keys) const;

    PrinterState parsed_;
    const int model_;
    std::map<std::string, int, std::less<>> lineOfKey_;
    int lastObjectLine_ = 0;
    int lastFileLine_ = 0;
};

std::string StateParser::apply(std::string_view key, std::string_view value, int lineNumber) {
    if (!lineOfKey_.emplace(std::string(key), lineNumber).second)
        return "\"" + std::string(key) + "\" given twice";
    std::optional<std::string> reason = applyCommon(key, value);
    if (!reason && IsLanmere(model_))
        reason = applyLanmere(key, value);
    if (!reason && IsBrakenholm(model_))
        reason = applyBrakenholm(key, value);
    if (!reason)
        return "unknown key \"" + std::string(key) + "\"";
    if (reason->empty() && IsLanmere(model_) && ObjectKindByName(key.substr(0, key.find('.'))))
        lastObjectLine_ = lineNumber;
    if (reason->empty() && key.substr(0, kFilePrefix.size()) == kFilePrefix)
        lastFileLine_ = lineNumber;
    return *reason;
}

std::optional<std::string> StateParser::applyCommon(std::string_view key, std::string_view value) {
    if (key == "model") {
        const int model = ModelIndexByName(std::string(value));
        if (model < 0)
            return "unknown model \"" + std::string(value) + "\"";
        // A printer never changes its model: a file of another model belongs to another
        // printer, and starting over it would overwrite that printer's memory.
        if (model != model_)
            return "the saved printer is a " + ModelName(model) + ", not a " + ModelName(model_);
    } else if (key == "firmware") {
        if (!ValidFirmware(value))
            return "firmware must be 1 to 32 printable characters, no comma";
        parsed_.firmware = value;
    } else if (key == "memory-total-kb") {
        if (!ParseKilobytes(value, &parsed_.memoryTotalKb))
            return "memory-total-kb is not a size";
    } else if (key == "memory-free-kb") {
        if (!ParseKilobytes(value, &parsed_.memoryFreeKb))
            return "memory-free-kb is not a size";
    } else {
        return std::nullopt;
    }
    return std::string();
}

std::optional<std::string> StateParser::applyLanmere(std::string_view key, std::string_view value) {
    if (auto reason = applyUser(key, value))
        return reason;
    if (key == "firmware-invalid") {
        if (value != "yes" && value != "no")
            return std::string("firmware-invalid is yes or no");
        parsed_.firmwareInvalidated = value == "yes";
        return std::string();
    }
    if (key.substr(0, kConfigPrefix.size()) == kConfigPrefix)
        return applyConfig(key.substr(kConfigPrefix.size()), value);
    if (ObjectKindByName(key.substr(0, key.find('.'))))
        return applyObject(key, value);
    return std::nullopt;
}

std::optional<std::string> StateParser::applyBrakenholm(std::string_view key,
                                                        std::string_view value) {
    if (auto reason = applyUser(key, value))
        return reason;
    if (key == "clock-offset-seconds") {
        const auto offset = ParseSetupNumber(value);
        if (!offset || *offset < -kMaxClockOffsetSeconds || *offset > kMaxClockOffsetSeconds)
            return std::string("clock-offset-seconds is a number of seconds within a century");
        parsed_.clockOffsetSeconds = *offset;
        return std::string();
    }
    if (key.substr(0, kSetupPrefix.size()) == kSetupPrefix) {
        const std::string_view path = key.substr(kSetupPrefix.size());
        if (std::string reason = CheckStoredSetting(model_, path, value); !reason.empty())
            return std::string(path) + ": " + reason;
        parsed_.setup[std::string(path)] = value;
        return std::string();
    }
    if (key.substr(0, kFilePrefix.size()) == kFilePrefix)
        return applyFile(key.substr(kFilePrefix.size()), value);
    return std::nullopt;
}

std::string StateParser::applyFile(std::string_view key, std::string_view value) {
    const auto file = FileOfKey(model_, key);
    if (!file)
        return "\"" + std::string(key) + "\" is not a file of this printer (\"c:/NAME\")";
    const auto size = ParseSetupNumber(value);
    if (!size || *size < 0 || *size > 0xFFFFFFFFLL || value.front() == '+' || value.front() == '-')
        return "the size of " + std::string(key) + " is not a number of bytes";
    parsed_.files[FileKey(*file)] = static_cast<std::uint32_t>(*size);
    return {};
}

std::string StateParser::checkFiles(int* lineNumber) const {
    for (std::string_view device : {"c:", "ram:", "tmp:"}) {
        const std::uint64_t capacity = DeviceCapacity(parsed_, device);
        std::uint64_t used = 0;
        for (const PrinterFile& file : FilesOn(parsed_, device, true))
            used += file.size;
        if (used > capacity) {
            *lineNumber = std::max(lastFileLine_, lastLineOf({"memory-total-kb"}));
            return "the files on " + std::string(device) + " take " + std::to_string(used) +
                   " bytes, more than its " + std::to_string(capacity);
        }
    }
    return {};
}

std::optional<std::string> StateParser::applyUser(std::string_view key, std::string_view value) {
    if (key == "shell-user") {
        if (value != kAdminUser && value != kPlainUser)
            return "shell-user is admin or user";
        parsed_.shellUser = value;
        return std::string();
    }
    if (key == "admin-password") {
        if (!ValidPassword(value))
            return "admin-password must be 1 to 32 printable characters, no blank";
        parsed_.adminPassword = value;
        return std::string();
    }
    return std::nullopt;
}

std::string StateParser::applyConfig(std::string_view name, std::string_view value) {
    std::vector<ConfigValue> numbers;
    if (!ParseConfigNumbers(value, true, &numbers))
        return "\"" + std::string(value) + "\" is not a number or '?'";
    if (name.size() == 1 && kExtraLetters.find(name[0]) != std::string_view::npos) {
        if (!ExtraCountFits(name[0], numbers.size()))
            return "wrong count of numbers for config." + std::string(name);
        parsed_.config.extras[name[0]] = numbers;
        return {};
    }
    const int setting = SettingByName(name);
    if (setting < 0)
        return "unknown setting \"config." + std::string(name) + "\"";
    if (numbers.size() != 1)
        return "config." + std::string(name) + " takes one number";
    return SetSettingValue(&parsed_, setting, numbers[0]);
}

std::string StateParser::applyObject(std::string_view key, std::string_view value) {
    ObjectEntry entry;
    if (std::string reason = ParseObjectEntry(key, value, &entry); !reason.empty())
        return reason;
    if (std::string reason = NormaliseObject(model_, entry.kind, &entry.object); !reason.empty())
        return reason;
    parsed_.objects.of(entry.kind)[entry.object.id] = entry.object;
    return {};
}

int StateParser::lastLineOf(std::initializer_list<std::string_view> keys) const {
    int last = 0;
    for (std::string_view key : keys) {
        if (const auto it = lineOfKey_.find(key); it != lineOfKey_.end())
            last = std::max(last, it->second);
    }
    return last;
}

std::string StateParser::finish(int* lineNumber) const {
    if (parsed_.memoryFreeKb > parsed_.memoryTotalKb) {
        *lineNumber = lastLineOf({"memory-total-kb", "memory-free-kb"});
        return "memory-free-kb exceeds memory-total-kb";
    }
    if (IsBrakenholm(model_))
        return checkFiles(lineNumber);
    const unsigned stored = StoredKb(parsed_.objects);
    if (stored > parsed_.memoryTotalKb - parsed_.memoryFreeKb) {
        *lineNumber = std::max(lastObjectLine_, lastLineOf({"memory-total-kb", "memory-free-kb"}));
        return "the stored objects take " + std::to_string(stored) +
               " KB, more than memory-total-kb less memory-free-kb";
    }
    return {};
}

}  // namespace

bool ParseObjectList(const std::string& text, std::vector<ObjectEntry>* objects,
                     std::string* error) {
    std::vector<ObjectEntry> parsed;
    if (!ForEachPair(text, error, [&parsed](std::string_view key, std::string_view value, int) {
            ObjectEntry entry;
            std::string reason = ParseObjectEntry(key, value, &entry);
            if (reason.empty())
                parsed.push_back(entry);
            return reason;
        })) {
        return false;
    }
    *objects = std::move(parsed);
    return true;
}

std::string FormatState(const PrinterState& state) {
    std::ostringstream out;
    out << "# State of a simulated printer (tarvo-printersim); kept between runs.\n"
        << "model = " << ModelName(state.model) << "\n"
        << "firmware = " << state.firmware << "\n"
        << "memory-total-kb = " << state.memoryTotalKb << "\n"
        << "memory-free-kb = " << state.memoryFreeKb << "\n";
    if (IsLanmere(state.model))
        FormatLanmereState(state, out);
    else if (IsBrakenholm(state.model))
        FormatBrakenholmState(state, out);
    return out.str();
}

bool ParseState(const std::string& text, PrinterState* state, std::string* error) {
    StateParser parser(*state);
    const auto fail = [error](int lineNumber, const std::string& reason) {
        *error = "line " + std::to_string(lineNumber) + ": " + reason;
        return false;
    };
    if (!ForEachPair(text, error,
                     [&parser](std::string_view key, std::string_view value, int lineNumber) {
                         return parser.apply(key, value, lineNumber);
                     })) {
        return false;
    }
    int blamed = 0;
    if (std::string reason = parser.finish(&blamed); !reason.empty())
        return fail(blamed, reason);
    *state = parser.parsed();
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
