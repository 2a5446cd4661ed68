#include "object_store.h"

#include <charconv>

#include "tarvo/base/model_tables.h"

namespace tarvo::sim {
namespace {

constexpr std::size_t kMaxDescription = 32;
constexpr std::size_t kMaxType = 16;
constexpr unsigned kMaxObjectNumber = 65535;
constexpr unsigned kBytesPerKb = 1024;

// The type codes a font listing uses for the kinds of resident font.
constexpr std::string_view kBitmapType = "200";
constexpr std::string_view kSpeedoType = "300";

constexpr std::array<std::string_view, kObjectKinds.size()> kKindNames = {"font", "graphic",
                                                                          "format", "page"};

bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// Printable characters without a comma: a comma would split the listing's field.
bool ListableText(std::string_view text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || c == ',')
            return false;
    }
    return true;
}

std::string CheckDescription(std::string_view text) {
    if (text.size() > kMaxDescription || !ListableText(text))
        return "a description is 0 to 32 printable characters without a comma";
    if (!text.empty() && (text.front() == ' ' || text.back() == ' '))
        return "a description neither starts nor ends with a blank";
    return {};
}

std::string CheckType(ObjectKind kind, std::string_view type) {
    if (kind == ObjectKind::Font) {
        return AllDigits(type) && type.size() <= 5 ? "" : "a font type is a number (200, 300, 400)";
    }
    if (type.empty() || type.size() > kMaxType || !ListableText(type))
        return "a type is 1 to 16 printable characters without a comma";
    return {};
}

std::string ListingLine(unsigned id, std::string_view description, std::string_view type,
                        std::uint32_t size) {
    std::string line = std::to_string(id);
    line += ',';
    line += description;
    line += ',';
    line += type;
    line += ',';
    line += std::to_string(size);
    line += "\r\n";
    return line;
}

// A resident font's text ("FONT00  7x9 std         0B Bitmap") as a listing line, size 0.
std::string ResidentFontLine(std::string_view text) {
    const unsigned id = static_cast<unsigned>((text[4] - '0') * 10 + (text[5] - '0'));
    std::string_view description = text.substr(8, 16);
    description = description.substr(0, description.find_last_not_of(' ') + 1);
    const std::string_view type = text.substr(27) == "Speedo" ? kSpeedoType : kBitmapType;
    return ListingLine(id, description, type, 0);
}

std::vector<std::string> FontListing(int model, const std::map<unsigned, StoredObject>& fonts) {
    std::map<unsigned, std::string> lines;
    if (const ModelRow* row = FindModelRow(model)) {
        for (const char* text : row->fonts->texts) {
            const std::string line = ResidentFontLine(text);
            lines.emplace(static_cast<unsigned>(std::stoul(line)), line);
        }
    }
    for (const auto& [id, font] : fonts) {
        lines[id] = ListingLine(id, font.description, font.type, font.size);
    }
    std::vector<std::string> listing;
    for (auto& [id, line] : lines)
        listing.push_back(std::move(line));
    return listing;
}

}  // namespace

std::string_view ObjectKindName(ObjectKind kind) {
    return kKindNames[static_cast<std::size_t>(kind)];
}

std::optional<ObjectKind> ObjectKindByName(std::string_view name) {
    for (ObjectKind kind : kObjectKinds) {
        if (ObjectKindName(kind) == name)
            return kind;
    }
    return std::nullopt;
}

unsigned KbOf(std::uint32_t size) {
    return static_cast<unsigned>((std::uint64_t{size} + kBytesPerKb - 1) / kBytesPerKb);
}

unsigned StoredKb(const ObjectStore& store) {
    unsigned total = 0;
    for (const auto& objects : store.byKind) {
        for (const auto& entry : objects)
            total += KbOf(entry.second.size);
    }
    return total;
}

std::string NormaliseObject(int model, ObjectKind kind, StoredObject* object) {
    if (object->id > kMaxObjectNumber)
        return "an object number is 0 to 65535";
    if (kind == ObjectKind::Font && FontNumberTaken(model, static_cast<int>(object->id))) {
        return "font number " + std::to_string(object->id) + " is taken by a resident font";
    }
    if (object->type.empty())
        object->type = kind == ObjectKind::Font ? kBitmapType : "0";
    if (std::string reason = CheckDescription(object->description); !reason.empty())
        return reason;
    return CheckType(kind, object->type);
}

std::string FormatObjectValue(const StoredObject& object) {
    std::string line = ListingLine(object.id, object.description, object.type, object.size);
    line.resize(line.size() - 2);            // the line end
    return line.substr(line.find(',') + 1);  // the number is the key's
}

std::string ParseObjectValue(std::string_view text, StoredObject* object) {
    const auto first = text.find(',');
    const auto second = first == std::string_view::npos ? first : text.find(',', first + 1);
    if (second == std::string_view::npos || text.find(',', second + 1) != std::string_view::npos)
        return "expected \"description,type,size\"";
    const std::string_view size = text.substr(second + 1);
    std::uint32_t bytes = 0;
    const auto [end, error] = std::from_chars(size.data(), size.data() + size.size(), bytes);
    if (!AllDigits(size) || error != std::errc() || end != size.data() + size.size())
        return "the size is not a number of bytes";
    object->description = text.substr(0, first);
    object->type = text.substr(first + 1, second - first - 1);
    object->size = bytes;
    return {};
}

std::vector<std::string> ListingLines(int model, const ObjectStore& store, ObjectKind kind) {
    if (kind == ObjectKind::Font)
        return FontListing(model, store.of(kind));
    std::vector<std::string> lines;
    for (const auto& [id, object] : store.of(kind))
        lines.push_back(ListingLine(id, object.description, object.type, object.size));
    return lines;
}

}  // namespace tarvo::sim
