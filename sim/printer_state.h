// What the simulated printer remembers between runs, and the changes to it that keep its
// memory figures right.
#pragma once

#include <string>
#include <string_view>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "object_contents.h"
#include "object_store.h"
#include "printer_config.h"
#include "setup_tree.h"

namespace tarvo::sim {

struct PrinterState {
    int model = 18;
    std::string firmware = "1.13";
    unsigned memoryTotalKb = 1024;
    unsigned memoryFreeKb = 987;  // what <ESC>m reports: stored objects are already taken off
    int imageBandLimit = 0;       // Lanmere: >0 lowers a host's larger image-band request
    // Lanmere printers only.
    PrinterConfig config;
    ObjectStore objects;
    DownloadRecord downloads;  // kept only while the printer runs
    std::string shellUser = "user";
    std::string adminPassword = "admin";
    // Brakenholm printers only (they share the user and password above).
    SetupValues setup;
    std::map<std::string, std::uint32_t> files;  // "c:/HELLO.PRG" -> bytes
    long long clockOffsetSeconds = 0;            // the printer's clock less the computer's
    // Images taken with IMAGE LOAD, name -> bytes; kept only while the printer runs.
    std::map<std::string, std::uint32_t> images;
    // Lanmere: the host declared the running firmware invalid (<ESC>T;F<text>;R); the printer
    // has fallen back to its boot ROM until a firmware download ends with "exit mode".
    bool firmwareInvalidated = false;
    // Lanmere, kept only while the printer runs: what it printed, in order ("test label h",
    // "format 3: <its field lines>"), and the text of the last firmware invalidation.
    std::vector<std::string> printedLabels;
    std::string invalidationText;

    bool operator==(const PrinterState&) const = default;
};

inline constexpr std::string_view kAdminUser = "admin";
inline constexpr std::string_view kPlainUser = "user";

// The firmware text goes into the identification reply between commas, so it must stay one
// printable field of at most 32 characters.
bool ValidFirmware(std::string_view text);

// A password must survive the shell's command line: 1..32 printable characters, no blank.
bool ValidPassword(std::string_view text);

// Stores `object` (in place of one with the same kind and number) and takes its memory. The
// object replaced takes its downloaded content with it. Returns empty, or why not (state
// unchanged).
std::string StoreObject(PrinterState* state, ObjectKind kind, StoredObject object);

// Stores a downloaded object as StoreObject() does, with what it held (not null).
std::string StoreDownload(PrinterState* state, ObjectKind kind, StoredObject object,
                          std::shared_ptr<const ObjectContent> content);

// Removes an object with its content and gives its memory back; false when there is none.
bool RemoveObject(PrinterState* state, ObjectKind kind, unsigned id);

}  // namespace tarvo::sim
