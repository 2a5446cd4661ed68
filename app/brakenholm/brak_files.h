// The printer's file system: reading a FILES listing, listing a device, and deleting files.
//
// A listing can be far longer than the printer object's reply buffer, so it is read on until
// its closing line (within a bound); what was cut short says so instead of losing entries, and
// lines that are no entry never become one.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "brakenholm/brak_printer.h"

namespace tarvo::app {

// One file of a listing: "HELLO.PRG   1234" is HELLO, PRG, 1234.
struct DirectoryEntry {
    std::string name;       // up to the point (a leading point belongs to the name)
    std::string extension;  // after the point, or empty
    std::string size;       // digits

    // "HELLO.PRG", as the printer names the file.
    std::string FileName() const { return extension.empty() ? name : name + "." + extension; }
};

// A FILES listing as read.
struct BrakFilesListing {
    bool answered = false;   // the printer said something
    bool complete = false;   // its closing line came ("... File(s) ..." or "No files on ...")
    bool truncated = false;  // it was longer than the bound and its tail was dropped
    std::vector<DirectoryEntry> entries;
    std::optional<long long> freeBytes;  // the figure before " bytes free"
    std::string error;                   // the printer's "Error: ..." line, when it sent one
    int skippedLines = 0;                // lines before the closing one that were no entry
};

// Parses a FILES reply. Lines may end in CR LF, LF or CR. Every line before the closing one
// whose rest, after the name, is a plain number is an entry; anything else is counted in
// skippedLines. An empty reply is not answered (no entries, never a negative count).
BrakFilesListing ParseFilesListing(std::string_view reply);

// Whether `reply` ends with a closing line (or an error line) of a listing.
bool ListingComplete(std::string_view reply);

// The most a listing may run to before it is cut short (some 6000 files).
inline constexpr std::size_t kMaxListingBytes = 256 * 1024;

// The devices a printer may have, as roots of its file system.
inline constexpr std::string_view kPrinterDevices[] = {
    "c:", "ram:", "rom:", "card1:", "card2:", "tmp:"};

// Whether `device` is one of kPrinterDevices ("card:" too), lower case.
bool IsPrinterDevice(std::string_view device);

// "FILES \"c:\"", with ",A" after the quote when system files are wanted. Nullopt for a device
// that is not one of the printer's.
std::optional<std::string> FilesCommand(std::string_view device, bool withSystemFiles);

// Lists `device`; system files too when `withSystemFiles`. A device that is not one of the
// printer's gives an unanswered listing with the reason in `error`, and nothing is sent.
BrakFilesListing ListDirectory(CBrakPrinter& printer, std::string_view device,
                               bool withSystemFiles);

// Whether a file is the printer's own (its name begins with a point, or it lives on "rom:").
bool IsSystemFile(std::string_view device, std::string_view fileName);

// The path of a file for commands: "c:/HELLO.PRG" ("%s:/%s" for the other devices alike).
std::string FilePath(std::string_view device, std::string_view fileName);

// What became of each file a deletion was asked for.
struct DeleteReport {
    std::vector<std::string> deleted;                          // gone from the new listing
    std::vector<std::pair<std::string, std::string>> refused;  // name, why; nothing sent
    std::vector<std::string> survivors;                        // sent, but still listed
    std::vector<std::string> imagesNotRemoved;                 // REMOVE IMAGE did not go out
    std::vector<std::string> notTried;                         // after a cancel
    bool relisted = false;  // the device was listed again afterwards
    BrakFilesListing listing;

    bool AllDeleted() const {
        return refused.empty() && survivors.empty() && imagesNotRemoved.empty() &&
               notTried.empty() && relisted;
    }
};

// Called when a command could not be sent for `fileName`; returns whether to go on with the
// next file.
using ContinueAfterFailure = std::function<bool(const std::string& fileName)>;

// Deletes `fileNames` ("HELLO.PRG") from `device`: system files and names that cannot go into
// a quoted argument are refused, every other file is killed (on generations 2 and 3 a name
// longer than 27 characters by changing to its device first and killing the bare name), ".PCX"
// files are also removed from the image list, and then the device is listed again: a file
// still listed is a survivor. `onFailure` (may be empty: stop) decides after a failed send.
DeleteReport DeleteFiles(CBrakPrinter& printer, std::string_view device,
                         const std::vector<std::string>& fileNames,
                         const ContinueAfterFailure& onFailure = {});

}  // namespace tarvo::app
