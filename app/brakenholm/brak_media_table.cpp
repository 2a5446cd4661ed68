#include "brakenholm/brak_media_table.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tarvo/base/paths.h"

namespace tarvo::app {
namespace {

constexpr std::string_view kMediaBlanks = " \t";
// Far beyond any table: a larger file is not a table, and is not read into memory whole.
constexpr std::streamsize kMaxTableBytes = 1 << 20;

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kMediaBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kMediaBlanks) - first + 1);
}

// The fields between commas, blank ones dropped (several commas in a row make one separator).
std::vector<std::string_view> MediaFields(std::string_view line) {
    std::vector<std::string_view> fields;
    while (true) {
        const std::size_t comma = line.find(',');
        const std::string_view field = TrimBlanks(line.substr(0, comma));
        if (!field.empty())
            fields.push_back(field);
        if (comma == std::string_view::npos)
            return fields;
        line.remove_prefix(comma + 1);
    }
}

std::optional<int> MediaInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [at, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || at != end)
        return std::nullopt;
    return value;
}

std::string MediaPrintf(const char* pattern, auto... values) {
    char text[200];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

struct MediaLimit {
    int low;
    int high;  // a value above it is too large
    std::string tooLarge;
    std::string tooSmall;
};

}  // namespace

std::string_view MediaValueKind(MediaKind kind) {
    return kind == MediaKind::ThermalTransfer ? "Ribbon" : "Label";
}

std::string_view MediaTableFileName(MediaKind kind) {
    return kind == MediaKind::ThermalTransfer ? "BrakTTRMedia.txt" : "BrakDTMedia.txt";
}

BrakMediaTable BrakMediaTable::Parse(std::string_view text, MediaKind kind, bool model880KS) {
    BrakMediaTable table;
    table.kind_ = kind;
    table.entries_.reserve(15);
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        table.ReadLine(line, ++number, model880KS);
    }
    return table;
}

void BrakMediaTable::ReadLine(std::string_view line, int number, bool model880KS) {
    if (line.size() > kMediaLineMax) {
        notes_.push_back(
            {number, MediaPrintf("Line %d is longer than %zu characters and was skipped", number,
                                 kMediaLineMax)});
        return;
    }
    if (line.size() < kMediaLineMin || line.front() == '*')
        return;
    const bool transfer = kind_ == MediaKind::ThermalTransfer;
    const std::vector<std::string_view> fields = MediaFields(line);
    const std::size_t wanted = transfer ? 6 : 5;
    std::vector<int> values;
    for (std::size_t i = 2; i < fields.size() && fields.size() == wanted; ++i) {
        if (const auto value = MediaInteger(fields[i]))
            values.push_back(*value);
    }
    if (values.size() + 2 != wanted) {
        notes_.push_back(
            {number,
             MediaPrintf(
                 "Line %d was skipped: it does not hold a name, a description, a constant, a "
                 "factor, %sand a maximum speed",
                 number, transfer ? "a label offset " : "")});
        return;
    }
    BrakMediaEntry entry{std::string(fields[0]),   std::string(fields[1]), values[0], values[1],
                         transfer ? values[2] : 0, values.back()};
    const char* what = MediaValueKind(kind_).data();
    const int speedReset = model880KS ? 225 : 300;
    const auto check = [&](int& value, const MediaLimit& limit, int resetHigh) {
        if (value > limit.high) {
            notes_.push_back(
                {number, MediaPrintf(limit.tooLarge.c_str(), value, number, resetHigh)});
            value = resetHigh;
        } else if (value < limit.low) {
            notes_.push_back({number, MediaPrintf(limit.tooSmall.c_str(), value, number)});
            value = limit.low;
        }
    };
    check(
        entry.constant,
        {50, 115, MediaPrintf("%s Constant %%d input on line %%d is too large. Reset to %%d", what),
         MediaPrintf("%s Constant %%d input on line %%d is too small. Reset to 50", what)},
        115);
    check(entry.factor,
          {10, 50, MediaPrintf("%s Factor %%d input on line %%d is too large. Reset to %%d", what),
           MediaPrintf("%s Factor %%d input on line %%d is too small. Reset to 10", what)},
          50);
    if (transfer) {
        check(entry.offset,
              {-50, 50, "Label Offset %d input on line %d is too large. Reset to %d",
               "Label Offset %d input on line %d is too small. Reset to -50"},
              50);
    }
    check(entry.maxSpeed,
          {100, 300, "Max speed %d input on line %d is too large. Reset to %d",
           "Max speed %d input on line %d is too small. Reset to 100"},
          speedReset);
    if (model880KS && entry.maxSpeed > 225)
        entry.maxSpeed = 225;
    longestName_ = std::max(longestName_, entry.name.size());
    entries_.push_back(std::move(entry));
}

int BrakMediaTable::Preselect(int constant, int factor, int offset) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const BrakMediaEntry& e = entries_[i];
        if (e.constant == constant && e.factor == factor && e.offset == offset)
            return static_cast<int>(i);
    }
    return 0;
}

std::vector<std::string> MediaTableDirectories() {
    std::vector<std::string> directories{platform::DataDirectory()};
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    std::string_view list =
        dataDirs != nullptr && *dataDirs != '\0' ? dataDirs : "/usr/local/share:/usr/share";
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        const std::string_view entry = list.substr(0, colon);
        // The base-directory rules ignore relative entries.
        if (!entry.empty() && entry.front() == '/')
            directories.push_back(std::string(entry) + "/tarvo");
        list.remove_prefix(colon == std::string_view::npos ? list.size() : colon + 1);
    }
    // Last, the tables beside the program itself: an installation under any prefix, and the
    // build tree, which copies them to share/tarvo beside bin/.
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
        directories.push_back((program.parent_path().parent_path() / "share/tarvo").string());
    return directories;
}

MediaTableLoad LoadMediaTable(MediaKind kind, bool model880KS) {
    MediaTableLoad load;
    std::string tried;
    const std::vector<std::string> directories = MediaTableDirectories();
    for (std::size_t i = 0; i < directories.size(); ++i) {
        const std::string path = directories[i] + "/" + std::string(MediaTableFileName(kind));
        tried += (i == 0 ? "" : (i + 1 == directories.size() ? " or " : ", ")) + path;
        std::ifstream file(path, std::ios::binary);
        if (!file)
            continue;
        load.path = path;
        std::string text(static_cast<std::size_t>(kMaxTableBytes) + 1, '\0');
        file.read(text.data(), kMaxTableBytes + 1);
        if (file.bad()) {
            load.error = "Unable to read file " + path + "\nPrint Quality Wizard cancelled";
            return load;
        }
        text.resize(static_cast<std::size_t>(file.gcount()));
        if (text.size() > static_cast<std::size_t>(kMaxTableBytes)) {
            load.error = "The file " + path +
                         " is too large for a media table\nPrint Quality Wizard cancelled";
            return load;
        }
        BrakMediaTable table = BrakMediaTable::Parse(text, kind, model880KS);
        if (table.entries().empty()) {
            load.error =
                "The file " + path + " holds no media entries\nPrint Quality Wizard cancelled";
            return load;
        }
        load.table = std::move(table);
        return load;
    }
    load.error = "Unable to open file " + tried + "\nPrint Quality Wizard cancelled";
    return load;
}

}  // namespace tarvo::app
