// The printer's memory: what its file store and heap hold, whether an object fits, and whether
// a file is there.
#include <filesystem>
#include <string>

#include "brakenholm/brak_files.h"
#include "brakenholm/brak_model.h"
#include "brakenholm/brak_printer.h"
#include "brakenholm/brak_text.h"

namespace tarvo::app {
namespace {

// The generation-0 printers report only what their store uses; its size is fixed.
constexpr long long kModel27StoreBytes = 196608;
// What the generation-0 room check counts as the store: a little is kept back for the system.
constexpr long long kGeneration0RoomBytes = 192000;

std::string FigureOr0(std::string_view reply, std::string_view marker) {
    const auto figure = FigureBefore(reply, marker);
    return figure && !figure->empty() ? std::string(*figure) : "0";
}

}  // namespace

MemoryFigures CBrakPrinter::ReadStorageMemory() {
    MemoryFigures figures;
    if (IsModel27Or28(model_)) {
        const QueryReply reply = QueryLine("FILES");
        figures.used = FigureOr0(reply.text, " bytes");
        figures.free = std::to_string(kModel27StoreBytes - ParseDecimal(figures.used));
    } else {
        const QueryReply reply =
            QueryLine(*FilesCommand(HasFlashDrive(model_) ? "c:" : "ram:", false));
        figures.free = FigureOr0(reply.text, " bytes free");
        figures.used = FigureOr0(reply.text, " bytes used");
    }
    identity_.storageFree = figures.free;
    identity_.storageUsed = figures.used;
    return figures;
}

MemoryFigures CBrakPrinter::ReadHeapMemory() {
    MemoryFigures figures{"0", "0"};
    if (HasFlashDrive(model_)) {
        // The printer's shell takes the command without its closing quote.
        const QueryReply reply = QueryLine("RUN \"meminfo -a");
        if (const auto free = ValueAfterColon(reply.text, "Total free to malloc()"))
            figures.free = std::string(*free);
        if (const auto used = ValueAfterColon(reply.text, "Sum of allocated memory"))
            figures.used = std::string(*used);
    }
    identity_.heapFree = figures.free;
    identity_.heapAllocated = figures.used;
    return figures;
}

bool CBrakPrinter::HasRoomFor(std::string_view device, long long neededBytes) {
    if (generation_ == 0) {
        const long long free = kGeneration0RoomBytes - ParseDecimal(identity_.storageUsed);
        return free >= neededBytes;
    }
    if (!IsPrinterDevice(device))
        return false;
    // The free figure stands on the listing's closing line, after every file: a long directory
    // is read to its end, or its figure would be lost and the room read as none.
    const long long free = ListDirectory(*this, device, false).freeBytes.value_or(0);
    return !(free < neededBytes && neededBytes > 0);
}

bool CBrakPrinter::FileExists(std::string_view device, std::string_view path) {
    const std::filesystem::path file(path);
    const std::string stem = file.stem().string();
    const std::string extension = file.extension().string();  // with its point, or empty
    if (stem.empty() || !IsPrinterDevice(device))
        return false;
    // The whole name, compared with each entry: a name that is part of another ("A.TTF" in
    // "SANSA.TTF") is not that file.
    const std::string name = AsciiLower(stem + extension);
    for (const DirectoryEntry& entry : ListDirectory(*this, device, false).entries) {
        if (AsciiLower(entry.FileName()) == name)
            return true;
    }
    return false;
}

}  // namespace tarvo::app
