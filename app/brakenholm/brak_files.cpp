#include "brakenholm/brak_files.h"

#include <algorithm>
#include <set>

#include "brakenholm/brak_text.h"
#include "brakenholm/brak_transfer.h"

namespace tarvo::app {
namespace {

constexpr std::string_view kFilesMarker = " File(s)";
constexpr std::string_view kEmptyMarker = "No files on";
constexpr std::string_view kErrorMarker = "Error";
// The printer needs a moment before a directory's first line comes.
constexpr std::uint16_t kListingWaitMs = 500;
// Longer names do not fit a path on the generation 2 and 3 printers' KILL: the file is killed
// by its bare name from its own device.
constexpr std::size_t kLongestPathName = 27;

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        if (end > start)
            lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool IsClosingLine(std::string_view line) {
    return line.find(kFilesMarker) != std::string_view::npos ||
           line.find(kEmptyMarker) != std::string_view::npos;
}

bool IsErrorLine(std::string_view line) {
    return StripLeading(line, " ").substr(0, kErrorMarker.size()) == kErrorMarker;
}

std::optional<DirectoryEntry> ParseEntry(std::string_view line) {
    line = StripLeading(line, " \t");
    const std::size_t blank = std::min(line.find_first_of(" \t"), line.size());
    const std::string_view file = line.substr(0, blank);
    const std::string size(StripTrailing(StripLeading(line.substr(blank), " \t"), " \t"));
    if (file.empty() || !IsDigits(size))
        return std::nullopt;
    DirectoryEntry entry;
    const std::size_t point = file.find('.', 1);
    entry.name = std::string(file.substr(0, point));
    if (point != std::string_view::npos)
        entry.extension = std::string(file.substr(point + 1));
    entry.size = size;
    return entry;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string Lower(std::string_view text) {
    return AsciiLower(text);
}

}  // namespace

bool ListingComplete(std::string_view reply) {
    // Only a line that has ended counts: the free-space figure may still be coming.
    const std::size_t lastEnd = reply.find_last_of("\r\n");
    if (lastEnd == std::string_view::npos)
        return false;
    for (std::string_view line : Lines(reply.substr(0, lastEnd))) {
        if (IsClosingLine(line) || IsErrorLine(line))
            return true;
    }
    return false;
}

BrakFilesListing ParseFilesListing(std::string_view reply) {
    BrakFilesListing listing;
    listing.answered = !StripTrailing(reply, " \r\n").empty();
    for (std::string_view line : Lines(reply)) {
        if (IsClosingLine(line)) {
            listing.complete = true;
            if (const auto free = FigureBefore(line, " bytes free"))
                listing.freeBytes = ParseDecimal(*free);
            break;
        }
        if (IsErrorLine(line)) {
            listing.error = std::string(StripLeading(line, " "));
            break;
        }
        if (auto entry = ParseEntry(line))
            listing.entries.push_back(std::move(*entry));
        else if (StripLeading(line, " ") != "Ok")
            ++listing.skippedLines;
    }
    return listing;
}

bool IsPrinterDevice(std::string_view device) {
    const std::string lower = Lower(device);
    return lower == "card:" || std::find(std::begin(kPrinterDevices), std::end(kPrinterDevices),
                                         lower) != std::end(kPrinterDevices);
}

std::optional<std::string> FilesCommand(std::string_view device, bool withSystemFiles) {
    if (!IsPrinterDevice(device))
        return std::nullopt;
    return "FILES \"" + Lower(device) + "\"" + (withSystemFiles ? ",A" : "");
}

BrakFilesListing ListDirectory(CBrakPrinter& printer, std::string_view device,
                               bool withSystemFiles) {
    const auto command = FilesCommand(device, withSystemFiles);
    if (!command) {
        BrakFilesListing refused;
        refused.error = "\"" + std::string(device) + "\" is not a device of the printer";
        return refused;
    }
    const QueryReply reply =
        printer.QueryUntil(*command, kListingWaitMs, ListingComplete, kMaxListingBytes);
    BrakFilesListing listing = ParseFilesListing(reply.text);
    listing.truncated = reply.truncated;
    return listing;
}

bool IsSystemFile(std::string_view device, std::string_view fileName) {
    return (!fileName.empty() && fileName.front() == '.') || Lower(device) == "rom:";
}

std::string FilePath(std::string_view device, std::string_view fileName) {
    return Lower(device) + "/" + std::string(fileName);
}

namespace {

// Sends what deletes one file. Returns false when a line did not go out.
bool SendDelete(CBrakPrinter& printer, std::string_view device, const std::string& fileName) {
    const int generation = printer.SetupGeneration();
    if ((generation == 2 || generation == 3) && fileName.size() > kLongestPathName) {
        if (!printer.SendSetupLine("CHDIR \"" + Upper(device) + "\"").ok())
            return false;
        return printer.SendSetupLine("KILL \"" + fileName + "\"").ok();
    }
    return printer.SendSetupLine("KILL \"" + FilePath(device, fileName) + "\"").ok();
}

bool IsImageFile(std::string_view fileName) {
    return fileName.size() > 4 && Upper(fileName.substr(fileName.size() - 4)) == ".PCX";
}

}  // namespace

DeleteReport DeleteFiles(CBrakPrinter& printer, std::string_view device,
                         const std::vector<std::string>& fileNames,
                         const ContinueAfterFailure& onFailure) {
    DeleteReport report;
    if (!IsPrinterDevice(device)) {
        for (const std::string& name : fileNames)
            report.refused.emplace_back(name, "\"" + std::string(device) + "\" is no device");
        return report;
    }
    std::vector<std::string> sent;
    bool stop = false;
    for (const std::string& name : fileNames) {
        if (stop) {
            report.notTried.push_back(name);
            continue;
        }
        if (const auto problem = PrinterFileNameProblem(name)) {
            report.refused.emplace_back(name, *problem);
            continue;
        }
        if (IsSystemFile(device, name)) {
            report.refused.emplace_back(
                name, "The file '" + name + "' is a system file. \nIt cannot be deleted.");
            continue;
        }
        bool failed = !SendDelete(printer, device, name);
        if (!failed)
            sent.push_back(name);
        if (!failed && IsImageFile(name) &&
            !printer.SendSetupLine("REMOVE IMAGE \"" + name + "\"").ok()) {
            report.imagesNotRemoved.push_back(name);
            failed = true;
        }
        if (failed && !(onFailure && onFailure(name)))
            stop = true;
        if (failed && !IsImageFile(name))
            report.survivors.push_back(name);
    }
    report.listing = ListDirectory(printer, device, true);
    report.relisted = report.listing.complete;
    std::set<std::string> listed;
    for (const DirectoryEntry& entry : report.listing.entries)
        listed.insert(Upper(entry.FileName()));
    for (const std::string& name : sent) {
        // Without a whole listing nothing can be said to be gone.
        if (!report.relisted || listed.count(Upper(name)) > 0)
            report.survivors.push_back(name);
        else
            report.deleted.push_back(name);
    }
    return report;
}

}  // namespace tarvo::app
