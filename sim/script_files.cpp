#include "script_files.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

#include "setup_tree.h"

namespace tarvo::sim {
namespace {

constexpr std::string_view kRom = "rom:";
constexpr std::string_view kTmp = "tmp:";
constexpr std::string_view kRam = "ram:";
constexpr std::string_view kFlash = "c:";
constexpr std::size_t kMaxNameLength = 30;
// The smallest models have a fixed store, whatever memory the options give.
constexpr std::uint64_t kSmallStoreBytes = 196608;
constexpr std::uint64_t kTmpBytes = 512 * 1024;
constexpr std::uint64_t kSideRamBytes = 1024 * 1024;

bool HasFlash(int model) {
    return SetupGeneration(model) >= 2;
}

std::vector<ScriptFile> RomFiles(int model) {
    if (HasFlash(model)) {
        return {{"rom:", ".setup.saved", 2048},
                {"rom:", "lblshtxt.prg", 40960},
                {"rom:", "winxp.prg", 65536}};
    }
    return {{"rom:", "lblshtxt.prg", 40960}, {"rom:", "win1.prg", 32768}};
}

bool ValidName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameLength || name == "." || name == "..")
        return false;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || c == '"' || c == '/' || c == ',' || c == ':' ||
            c == ';' || c == '=')
            return false;
    }
    return true;
}

std::uint64_t UsedBytes(const std::vector<ScriptFile>& files) {
    std::uint64_t used = 0;
    for (const ScriptFile& file : files)
        used += file.size;
    return used;
}

}  // namespace

std::string_view MainDevice(int model) {
    return HasFlash(model) ? kFlash : kRam;
}

bool HasDevice(int model, std::string_view device) {
    return device == kRom || device == kTmp || device == kRam ||
           (device == kFlash && HasFlash(model));
}

std::uint64_t DeviceCapacity(const PrinterState& state, std::string_view device) {
    if (device == kRom)
        return UsedBytes(RomFiles(state.model));
    if (device == kTmp)
        return kTmpBytes;
    if (device != MainDevice(state.model))
        return kSideRamBytes;
    if (SetupGeneration(state.model) == 0)
        return kSmallStoreBytes;
    return std::uint64_t{state.memoryTotalKb} * 1024;
}

std::vector<ScriptFile> FilesOn(const PrinterState& state, std::string_view device,
                                bool withSystemFiles) {
    std::vector<ScriptFile> files;
    if (device == kRom) {
        files = RomFiles(state.model);
    } else {
        for (const auto& [key, size] : state.files) {
            if (auto file = FileOfKey(state.model, key); file && file->device == device) {
                file->size = size;
                files.push_back(*file);
            }
        }
    }
    if (!withSystemFiles) {
        std::erase_if(files, [](const ScriptFile& file) { return file.name.front() == '.'; });
    }
    std::sort(files.begin(), files.end(),
              [](const ScriptFile& a, const ScriptFile& b) { return a.name < b.name; });
    return files;
}

std::string FilesListing(const PrinterState& state, std::string_view device, bool withSystemFiles) {
    const std::vector<ScriptFile> files = FilesOn(state, device, withSystemFiles);
    std::string listing;
    char line[96];
    for (const ScriptFile& file : files) {
        std::snprintf(line, sizeof line, "%-*s %10u\r\n", static_cast<int>(kMaxNameLength),
                      file.name.c_str(), file.size);
        listing += line;
    }
    // Used and free count every file, the system files too.
    const std::uint64_t used = UsedBytes(FilesOn(state, device, true));
    const std::uint64_t capacity = DeviceCapacity(state, device);
    std::snprintf(line, sizeof line, "%4zu File(s) %11llu bytes used %11llu bytes free\r\n",
                  files.size(), static_cast<unsigned long long>(used),
                  static_cast<unsigned long long>(capacity > used ? capacity - used : 0));
    return listing + line;
}

std::optional<ScriptFile> ParseFilePath(int model, std::string_view path) {
    const std::size_t colon = path.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    ScriptFile file;
    file.device = std::string(path.substr(0, colon + 1));
    for (char& c : file.device)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string_view name = path.substr(colon + 1);
    if (!name.empty() && name.front() == '/')
        name.remove_prefix(1);
    if (!HasDevice(model, file.device) || !ValidName(name))
        return std::nullopt;
    file.name = std::string(name);
    return file;
}

std::string StoreFile(PrinterState* state, const ScriptFile& file) {
    if (!HasDevice(state->model, file.device) || !ValidName(file.name))
        return "\"" + file.device + file.name + "\" is not a file path of this printer";
    if (file.device == kRom)
        return "rom: cannot be written";
    std::uint64_t used = 0;
    for (const ScriptFile& other : FilesOn(*state, file.device, true)) {
        if (other.name != file.name)
            used += other.size;
    }
    const std::uint64_t capacity = DeviceCapacity(*state, file.device);
    if (used + file.size > capacity) {
        return "no room on " + file.device + " for " + std::to_string(file.size) + " bytes (" +
               std::to_string(capacity - used) + " free)";
    }
    state->files[FileKey(file)] = file.size;
    return {};
}

bool DeleteFile(PrinterState* state, const ScriptFile& file) {
    return state->files.erase(FileKey(file)) > 0;
}

std::string FormatDevice(PrinterState* state, std::string_view device) {
    if (!HasDevice(state->model, device) || device == kRom)
        return std::string(device) + " cannot be formatted";
    std::erase_if(state->files, [&](const auto& entry) {
        const auto file = FileOfKey(state->model, entry.first);
        return file && file->device == device;
    });
    return {};
}

std::string FileKey(const ScriptFile& file) {
    return file.device + "/" + file.name;
}

std::optional<ScriptFile> FileOfKey(int model, std::string_view key) {
    const std::size_t colon = key.find(':');
    if (colon == std::string_view::npos || key.substr(colon + 1, 1) != "/")
        return std::nullopt;
    auto file = ParseFilePath(model, key);
    if (file && file->device == kRom)
        return std::nullopt;
    return file;
}

}  // namespace tarvo::sim
