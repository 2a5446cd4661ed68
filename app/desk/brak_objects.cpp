#include "desk/brak_objects.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "brakenholm/brak_text.h"
#include "fwxfer/gf_monitor.h"
#include "tarvo/fonts.h"

namespace tarvo::app {
namespace {

constexpr const char* kNameTakenCaption = "Tarvo Warning";
constexpr const char* kNotMonochrome =
    "This file must be converted to monochrome before\nbeing downloaded to the printer.";

// The names of a listing: its lines of exactly a name and a size. The printer's summary
// ("   2 File(s)  ... bytes free") and "No images" are no names.
std::vector<std::string> ListedNames(const std::string& listing) {
    std::vector<std::string> names;
    std::istringstream in(listing);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string name, size, more;
        if (!(words >> name >> size) || (words >> more) ||
            size.find_first_not_of("0123456789") != std::string::npos)
            continue;
        names.push_back(name);
    }
    return names;
}

std::string FileStart(const std::string& path, std::size_t size) {
    std::ifstream in(path, std::ios::binary);
    std::string start(size, '\0');
    in.read(start.data(), static_cast<std::streamsize>(size));
    start.resize(static_cast<std::size_t>(in.gcount()));
    return start;
}

std::string NameTakenQuestion(TransferKind kind) {
    return kind == TransferKind::Image
               ? "This image name is already used in the printer.\nDo you want to continue?"
               : "This font name is already used in the printer.\nDo you want to continue?";
}

}  // namespace

std::vector<std::string> HostFaceNames() {
    HostFontList list{};
    if (PCUGetHostFontList(&list) != 1)
        return {};
    // The whole file goes to the printer, so the character-set variants of a face (" (Greek)")
    // are one entry; the sorted list has each face's plain name before its variants.
    std::vector<std::string> names;
    for (int i = 0; i < list.count; ++i) {
        const std::string name = list.names[i];
        const std::string face = name.substr(0, name.find(" ("));
        if (names.empty() || names.back() != face)
            names.push_back(face);
    }
    PCUFreeHostFontList(&list);
    return names;
}

std::optional<std::string> HostFaceFile(const std::string& listedName) {
    PCULogicalFont face{};
    PCUTextMetrics metrics{};
    const std::string name = listedName.substr(0, listedName.find(" ("));
    if (fonGetFontStructs(nullptr, name.c_str(), &face, &metrics) != 1)
        return std::nullopt;
    return std::string(face.filePath);
}

std::vector<std::string> PrinterObjectNames(CBrakPrinter& printer, TransferKind kind) {
    if (kind == TransferKind::Image)
        return ListedNames(printer.QueryLine("IMAGES").text);
    std::vector<std::string> names;
    for (const char* device : {"c:", "ram:"}) {
        const QueryReply reply = printer.QueryLine(std::string("FILES \"") + device + "\"");
        if (reply.ok() && reply.text.find("bytes free") != std::string::npos) {
            const std::vector<std::string> listed = ListedNames(reply.text);
            names.insert(names.end(), listed.begin(), listed.end());
        }
    }
    return names;
}

std::optional<std::string> ImageFileProblem(const std::string& path) {
    const std::string extension = AsciiLower(std::filesystem::path(path).extension().string());
    const std::string start = FileStart(path, 66);
    if (extension == ".pcx") {
        // PCX: bits per pixel at 3, colour planes at 65.
        if (start.size() < 66 || start[0] != 0x0A)
            return path + " is not a PCX image.";
        return start[3] == 1 && start[65] == 1 ? std::nullopt
                                               : std::optional<std::string>(kNotMonochrome);
    }
    if (extension == ".bmp") {
        // BMP: bits per pixel as a 16-bit number at 28.
        if (start.size() < 30 || start.compare(0, 2, "BM") != 0)
            return path + " is not a BMP image.";
        return start[28] == 1 && start[29] == 0 ? std::nullopt
                                                : std::optional<std::string>(kNotMonochrome);
    }
    return "Images go to the printer as PCX (*.pcx) or BMP (*.bmp) files.";
}

OpResult SendBrakObject(Desk& desk, const std::string& path, TransferKind kind,
                        const std::string& name, const std::vector<std::string>& held,
                        TransferWindows& windows) {
    CBrakPrinter* brak = AsBrakPrinter(desk.session.printer.get());
    if (brak == nullptr)
        return {OpStatus::NotSupported, std::nullopt, "not a Brakenholm printer"};
    std::optional<std::string> problem = PrinterFileNameProblem(name);
    if (!problem && kind == TransferKind::Image)
        problem = ImageFileProblem(path);
    if (problem) {
        desk.prompt.Tell("Error", *problem, PromptIcon::Stop);
        return {OpStatus::Refused, std::nullopt, *problem};
    }
    if (std::find(held.begin(), held.end(), name) != held.end() &&
        desk.prompt.Ask({kNameTakenCaption, NameTakenQuestion(kind), PromptButtons::YesNo,
                         PromptIcon::Exclamation, PromptAnswer::No}) != PromptAnswer::Yes)
        return {OpStatus::Cancelled, std::nullopt, {}};
    OpResult result;
    {
        const auto monitor = windows.OpenMonitor(kind);
        result = brak->DownloadFile(path, kind, name, *monitor);
    }
    if (result.ok())
        desk.prompt.Tell("Tarvo", "Stored " + name + " on the printer.", PromptIcon::Information);
    return TellIfFailed(desk, result);
}

}  // namespace tarvo::app
