// The setup text file: the record as setup-listing lines, one per setting, ended by CR LF.
// Saving replaces the file atomically; loading reads it back through the listing parser.
#include <string>

#include "brakenholm/brak_commands.h"
#include "brakenholm/brak_printer.h"
#include "brakenholm/brak_wire.h"
#include "tarvo/base/fs.h"

namespace tarvo::app {
namespace {

const FileRequest kSetupFileRequest{" Text file (*.*)|*.txt||", "txt", false, true, {}, {}};

// A setup file is a few dozen short lines; anything far larger is not one.
constexpr std::size_t kMaxFileBytes = 1 << 20;
// Lines are taken in pieces of at most this many characters, as the printer's own line buffer
// would take them.
constexpr std::size_t kLinePiece = 80;
constexpr mode_t kFileMode = 0644;

// The listing text of a file: each non-empty line (or piece of a long line) ended by CR LF.
// Nullopt when it would not fit the reply buffer that a listing from the printer fills.
std::optional<std::string> ListingOfFile(const std::string& contents) {
    std::string listing;
    std::size_t pos = 0;
    while (pos < contents.size()) {
        std::size_t end = contents.find('\n', pos);
        if (end == std::string::npos)
            end = contents.size();
        std::string_view line(contents.data() + pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        for (std::size_t at = 0; at < line.size(); at += kLinePiece) {
            listing.append(line.substr(at, kLinePiece)).append("\r\n");
            if (listing.size() > kReplyLimit)
                return std::nullopt;
        }
        pos = end + 1;
    }
    return listing;
}

}  // namespace

std::vector<std::string> CBrakPrinter::BuildSetupLines() const {
    return app::BuildSetupLines(setup_, generation_);
}

OpResult CBrakPrinter::SaveSetupFile() {
    const FileChoice choice = prompt_.ChooseSaveFile(kSetupFileRequest);
    if (choice.outcome == FileChoice::Outcome::Failed) {
        prompt_.Tell("Error", "Unable to access File SaveAs dialog box", PromptIcon::Stop);
        return {OpStatus::Failed, std::nullopt, "the file chooser failed"};
    }
    if (choice.outcome == FileChoice::Outcome::Cancelled || choice.path.empty())
        return {OpStatus::Cancelled, std::nullopt, {}};
    return SaveSetupFileTo(choice.path);
}

OpResult CBrakPrinter::SaveSetupFileTo(const std::string& path) {
    std::string text;
    for (const std::string& line : BuildSetupLines())
        text.append(line).append("\r\n");
    if (!platform::WriteFileAtomically(path, text, kFileMode)) {
        prompt_.Tell("Error", "Unable to open file " + path, PromptIcon::Stop);
        return {OpStatus::Failed, std::nullopt, "cannot write " + path};
    }
    return {};
}

OpResult CBrakPrinter::LoadSetupFile() {
    FileRequest request = kSetupFileRequest;
    request.mustExist = true;
    request.confirmOverwrite = false;
    const FileChoice choice = prompt_.ChooseOpenFile(request);
    if (choice.outcome == FileChoice::Outcome::Failed) {
        prompt_.Tell("Error", "Unable to access File Open dialog box", PromptIcon::Stop);
        return {OpStatus::Failed, std::nullopt, "the file chooser failed"};
    }
    if (choice.outcome == FileChoice::Outcome::Cancelled || choice.path.empty())
        return {OpStatus::Cancelled, std::nullopt, {}};
    return LoadSetupFileFrom(choice.path);
}

OpResult CBrakPrinter::LoadSetupFileFrom(const std::string& path) {
    std::string contents;
    if (platform::ReadSmallFile(path, kMaxFileBytes, &contents) != 0) {
        prompt_.Tell("Error", "Unable to open file " + path, PromptIcon::Exclamation);
        return {OpStatus::Failed, std::nullopt, "cannot read " + path};
    }
    const auto refuse = [&](const std::string& why) {
        prompt_.Tell("Error", path + ":\n" + why + "\nThe settings were not changed.",
                     PromptIcon::Exclamation);
        return OpResult{OpStatus::Refused, std::nullopt, why};
    };
    const std::optional<std::string> listing = ListingOfFile(contents);
    if (!listing)
        return refuse("the file is longer than a setup file can be");
    if (listing->empty())
        return refuse("the file holds no settings");
    if (!ParseSetupListing(*listing, ListingSource::File))
        return refuse("the file is not a setup file: it has no char length or stop bits");
    prompt_.Tell("Notice",
                 "Tarvo settings may not match printer configuration.\n"
                 "You may select the Send to Printer button at any time\n"
                 " to update your printer.",
                 PromptIcon::Information);
    return {};
}

}  // namespace tarvo::app
