#include "object_downloads.h"

#include <vector>

namespace tarvo::sim {
namespace {

constexpr std::string_view kOutlineTrueType = "400";
constexpr std::string_view kOutlineSpeedo = "300";
constexpr std::string_view kBitmapFont = "200";
constexpr std::size_t kQuotedCommandLength = 40;

std::vector<std::string_view> Fields(std::string_view text) {
    std::vector<std::string_view> fields;
    while (true) {
        const std::size_t comma = text.find(',');
        fields.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos)
            return fields;
        text.remove_prefix(comma + 1);
    }
}

// E and s always delete; T and G delete when no name follows the number.
bool IsDeletion(std::string_view command) {
    const char letter = command.front();
    return letter == 'E' || letter == 's' ||
           ((letter == 'T' || letter == 'G') && command.find(',') == std::string_view::npos);
}

ObjectKind KindOf(char letter) {
    switch (letter) {
        case 'G':
            return ObjectKind::Graphic;
        case 'E':
        case 'F':
            return ObjectKind::Format;
        case 's':
        case 'S':
            return ObjectKind::Page;
        default:
            return ObjectKind::Font;
    }
}

struct Header {
    std::unique_ptr<ObjectBuild> build;
    std::string type;
    std::string problem;  // empty when the header is sound
};

// "J<id>,<name>,<1|0>,<bytes>" or "J<id>,<name>,2".
Header FontHeader(const std::vector<std::string_view>& fields) {
    if (fields.size() == 3 && fields[2] == "2")
        return {MakeImageFontBuild(), std::string(kBitmapFont), {}};
    const bool outline = fields.size() == 4 && (fields[2] == "0" || fields[2] == "1");
    const std::optional<int> bytes =
        outline ? ParseBoundedNumber(fields[3], 0, static_cast<int>(kMaxKeptBytes)) : std::nullopt;
    if (!bytes) {
        return {MakeOutlineFontBuild(0), std::string(kOutlineTrueType),
                "a font header is J<number>,<name>,<1|0>,<bytes> (bytes up to 64 MiB) or "
                "J<number>,<name>,2"};
    }
    return {MakeOutlineFontBuild(static_cast<std::uint32_t>(*bytes)),
            std::string(fields[2] == "1" ? kOutlineTrueType : kOutlineSpeedo),
            {}};
}

// The build a header starts, with what it says of the object.
Header ParseHeader(char letter, const std::vector<std::string_view>& fields) {
    if (letter == 'J')
        return FontHeader(fields);
    Header header;
    const bool named = fields.size() == 2;
    switch (letter) {
        case 'T':
            header = {MakeBitmapFontBuild(), std::string(kBitmapFont), {}};
            break;
        case 'G':
            header.build = MakeGraphicBuild();
            break;
        default:  // F and S, whose name may be left out
            header.build = MakeCommandLinesBuild();
            if (fields.size() == 1)
                return header;
            break;
    }
    if (!named) {
        header.problem =
            std::string("a header is ") + letter + "<number>,<name>" + " (a name without a comma)";
    }
    return header;
}

std::string Describe(ObjectKind kind, const StoredObject& object) {
    return std::string(ObjectKindName(kind)) + " " + std::to_string(object.id) + " \"" +
           object.description + "\"";
}

}  // namespace

void DownloadReceiver::take(std::string_view command, PrinterState* state) {
    if (command.empty())
        return;
    if (BeginsObjectCommand(command)) {
        finish(state);
        start(command, state);
    } else if (current_) {
        give(command, state);
    }
}

bool DownloadReceiver::takesLine(std::string_view rest) const {
    return current_ && current_->build->takesLine(rest);
}

void DownloadReceiver::takeLine(std::string_view line, PrinterState* state) {
    if (current_ && !line.empty())
        give(line, state);
}

void DownloadReceiver::finish(PrinterState* state) {
    if (!current_)
        return;
    Download download = std::move(*current_);
    current_.reset();
    if (download.broken)
        return;  // said when it broke
    std::shared_ptr<const ObjectContent> content;
    std::string reason = download.build->finish(&download.object.size, &content);
    if (reason.empty()) {
        reason = StoreDownload(state, download.kind, download.object, std::move(content));
    }
    if (!reason.empty()) {
        state->downloads.lastRefusal =
            Describe(download.kind, download.object) + " not stored: " + reason;
    }
}

void DownloadReceiver::start(std::string_view command, PrinterState* state) {
    const char letter = command.front();
    const std::vector<std::string_view> fields = Fields(command.substr(1));
    const std::optional<int> id = ParseBoundedNumber(fields.front(), 0, kMaxDimension);
    if (IsDeletion(command)) {
        if (id && fields.size() == 1)
            RemoveObject(state, KindOf(letter), static_cast<unsigned>(*id));
        return;
    }
    Header header = ParseHeader(letter, fields);
    Download download{KindOf(letter), {}, std::move(header.build), false};
    download.object.type = std::move(header.type);
    if (fields.size() > 1)
        download.object.description = fields[1];
    if (id)
        download.object.id = static_cast<unsigned>(*id);
    else
        header.problem = "the number is not 0 to 65535";
    current_ = std::move(download);
    if (!header.problem.empty()) {
        // Kept, broken, so that the data that follows is taken and dropped with it.
        current_->broken = true;
        const std::string quoted(command.substr(0, kQuotedCommandLength));
        state->downloads.lastRefusal = "\"" + quoted + "\" refused: " + header.problem;
    }
}

void DownloadReceiver::give(std::string_view command, PrinterState* state) {
    if (current_->broken)
        return;
    if (std::string reason = current_->build->take(command); !reason.empty()) {
        current_->broken = true;
        state->downloads.lastRefusal =
            Describe(current_->kind, current_->object) + " not stored: " + reason;
    }
}

}  // namespace tarvo::sim
