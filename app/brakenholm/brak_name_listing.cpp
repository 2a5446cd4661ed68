#include "brakenholm/brak_name_listing.h"

#include <algorithm>

namespace tarvo::app {
namespace {

constexpr std::uint16_t kNameListingWaitMs = 500;

std::string_view TrimmedListingLine(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos)
        return {};
    const std::size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(start, end - start + 1);
}

// A name from the printer goes into reports and lists; a control byte would break their lines.
std::string PrintableName(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    }
    return out;
}

BrakNameListing ReadNames(CBrakPrinter& printer, std::string_view command, bool images) {
    const QueryReply reply = printer.QueryLineAfter(command, kNameListingWaitMs);
    BrakNameListing listing;
    listing.portBusy = reply.status == TxStatus::OpenFailed;
    if (!reply.ok() || reply.text.empty())
        return listing;
    listing.read = true;
    listing.truncated = reply.truncated;
    listing.names = ParseNameListing(reply.text, images);
    return listing;
}

}  // namespace

std::vector<std::string> ParseNameListing(std::string_view reply, bool imageListing) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < reply.size()) {
        std::size_t end = reply.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = reply.size();
        // Control bytes become blanks before the trim, so that a line of noise is no name.
        const std::string line = PrintableName(reply.substr(start, end - start));
        std::string_view name = TrimmedListingLine(line);
        start = end + 1;
        if (name.empty() || name == "Ok" || name == "No images" || name == "No fonts")
            continue;
        if (imageListing)
            name = name.substr(0, name.find(' '));
        names.emplace_back(name);
    }
    return names;
}

BrakNameListing ReadFontNames(CBrakPrinter& printer) {
    return ReadNames(printer, "FONTS", false);
}

BrakNameListing ReadImageNames(CBrakPrinter& printer) {
    return ReadNames(printer, "IMAGES", true);
}

bool ListsName(const BrakNameListing& listing, std::string_view name) {
    return listing.read &&
           std::find(listing.names.begin(), listing.names.end(), name) != listing.names.end();
}

}  // namespace tarvo::app
