#include "object_changes.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string_view>

#include "tarvo/base/dbcs_ranges.h"
#include "tarvo/downloads.h"

namespace tarvo::cli {
namespace {

bool IsVerb(const std::string& word) {
    return word == "add-font" || word == "add-graphic" || word == "add-format" || word == "delete";
}

std::optional<long> Whole(const std::string& text, long low, long high) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<double> Positive(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value > 0) || value > 1e6)
        return std::nullopt;
    return value;
}

// "1.5x0.75": width and height in inches.
bool ParseSize(const std::string& text, float* width, float* height) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos)
        return false;
    const auto w = Positive(text.substr(0, x));
    const auto h = Positive(text.substr(x + 1));
    if (!w || !h)
        return false;
    *width = static_cast<float>(*w);
    *height = static_cast<float>(*h);
    return true;
}

template <std::size_t N>
bool CopyField(const std::string& text, char (&field)[N]) {
    if (text.size() >= N)
        return false;
    std::memcpy(field, text.c_str(), text.size() + 1);
    return true;
}

// Lead and trail byte ranges of the double-byte code pages, as a font page offers them.
struct ByteRanges {
    std::vector<std::pair<int, int>> lead, trail;
};

const std::map<std::string, std::pair<int, ByteRanges>>& DoubleByteSets() {
    static const std::map<std::string, std::pair<int, ByteRanges>> sets = {
        {"cp932", {4, {{{0x81, 0x9F}, {0xE0, 0xFC}}, {{0x40, 0x7E}, {0x80, 0xFC}}}}},
        {"cp950", {5, {{{0x81, 0xFE}}, {{0x40, 0x7E}, {0xA1, 0xFE}}}}},
        {"cp936", {6, {{{0x81, 0xFE}}, {{0x40, 0x7E}, {0x80, 0xFE}}}}},
        {"cp949", {7, {{{0x81, 0xFE}}, {{0x41, 0x5A}, {0x61, 0x7A}, {0x81, 0xFE}}}}},
    };
    return sets;
}

// "81-9f,e0-fc": hexadecimal byte ranges.
bool ParseRanges(const std::string& text, std::vector<std::pair<int, int>>* ranges) {
    ranges->clear();
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        const std::string piece = text.substr(at, comma - at);
        unsigned first = 0, last = 0;
        char tail = 0;
        if (std::sscanf(piece.c_str(), "%x-%x%c", &first, &last, &tail) != 2 || first > 0xFF ||
            last > 0xFF)
            return false;
        ranges->emplace_back(static_cast<int>(first), static_cast<int>(last));
        at = comma + 1;
    }
    return !ranges->empty();
}

bool StoreRanges(const ByteRanges& ranges, FontInfo* font) {
    constexpr std::size_t kMax = kMaxDbcsRanges;
    if (ranges.lead.size() > kMax || ranges.trail.size() > kMax)
        return false;
    unsigned char* raw = font->dbcsRanges;
    std::memset(raw, 0, sizeof font->dbcsRanges);
    raw[kDbcsFlag] = 1;
    for (std::size_t i = 0; i < ranges.lead.size(); ++i) {
        raw[kDbcsLeadFirst + i] = static_cast<unsigned char>(ranges.lead[i].first);
        raw[kDbcsLeadLast + i] = static_cast<unsigned char>(ranges.lead[i].second);
    }
    raw[kDbcsLeadCount] = static_cast<unsigned char>(ranges.lead.size());
    for (std::size_t i = 0; i < ranges.trail.size(); ++i) {
        raw[kDbcsTrailFirst + i] = static_cast<unsigned char>(ranges.trail[i].first);
        raw[kDbcsTrailLast + i] = static_cast<unsigned char>(ranges.trail[i].second);
    }
    raw[kDbcsTrailCount] = static_cast<unsigned char>(ranges.trail.size());
    return true;
}

class Parser {
  public:
    Parser(const std::vector<std::string>& args, std::string* error) : args_(args), error_(error) {}

    bool run(std::vector<ObjectChange>* changes, std::string* toFile) {
        while (at_ < args_.size()) {
            const std::string& word = args_[at_++];
            if (word == "--to") {
                if (!value(word, toFile))
                    return false;
                continue;
            }
            if (!IsVerb(word))
                return fail("unexpected '" + word +
                            "' (add-font, add-graphic, add-format or delete)");
            ObjectChange change;
            if (!(word == "add-font"      ? font(&change)
                  : word == "add-graphic" ? graphic(&change)
                  : word == "add-format"  ? format(&change)
                                          : deletion(&change)))
                return false;
            changes->push_back(change);
        }
        if (changes->empty())
            return fail("nothing to do");
        return true;
    }

  private:
    bool fail(const std::string& message) {
        *error_ = message;
        return false;
    }

    bool value(const std::string& option, std::string* out) {
        if (at_ >= args_.size() || IsVerb(args_[at_]))
            return fail(option + " needs a value");
        *out = args_[at_++];
        return true;
    }

    // The options up to the next verb, each with its value (flags get an empty one).
    bool options(const std::vector<std::string>& flags, std::map<std::string, std::string>* out) {
        while (at_ < args_.size() && !IsVerb(args_[at_]) && args_[at_] != "--to") {
            const std::string option = args_[at_++];
            if (!option.starts_with("--"))
                return fail("unexpected '" + option + "'");
            bool isFlag = false;
            for (const std::string& flag : flags)
                isFlag = isFlag || flag == option;
            std::string text;
            if (!isFlag && !value(option, &text))
                return false;
            (*out)[option] = text;
        }
        return true;
    }

    bool positional(const char* what, std::string* out) {
        if (at_ >= args_.size() || args_[at_].starts_with("--") || IsVerb(args_[at_]))
            return fail(std::string("missing ") + what);
        *out = args_[at_++];
        return true;
    }

    bool idAndName(std::map<std::string, std::string>& o, bool required, std::uint16_t* id,
                   char (&name)[PCU_DESCRIPTION_SIZE]) {
        if (o.count("--id")) {
            const auto n = Whole(o["--id"], 0, 65535);
            if (!n)
                return fail("--id takes a number from 0 to 65535");
            *id = static_cast<std::uint16_t>(*n);
        } else if (required) {
            return fail("--id is required");
        }
        if (o.count("--name")) {
            if (!CopyField(o["--name"], name))
                return fail("--name takes at most 32 characters");
        } else if (required) {
            return fail("--name is required");
        }
        return true;
    }

    bool font(ObjectChange* change) {
        change->kind = ChangeKind::Font;
        FontInfo& f = change->font;
        std::map<std::string, std::string> o;
        if (!options({"--outline"}, &o) || !idAndName(o, true, &f.id, f.newDescription))
            return false;
        if (o.count("--face") == o.count("--file"))
            return fail("add-font takes --face NAME or --file PATH");
        if (o.count("--face")) {
            f.source = PCU_FONT_SOURCE_FACE;
            if (!CopyField(o["--face"], f.faceName))
                return fail("--face takes at most 32 characters");
        } else if (!CopyField(o["--file"], f.path)) {
            return fail("--file takes a path of at most 256 characters");
        }
        if (o.count("--outline")) {
            f.kind = PCU_FONT_KIND_OUTLINE;
            f.fontType = PCU_FONT_TYPE_TRUETYPE;
            return true;
        }
        f.kind = PCU_FONT_KIND_BITMAP;
        return fontSize(o, &f) && fontChars(o, &f);
    }

    bool fontSize(std::map<std::string, std::string>& o, FontInfo* f) {
        if (o.count("--points") == o.count("--size"))
            return fail("add-font takes --points P or --size WxH (or --outline)");
        if (o.count("--points")) {
            const auto points = Whole(o["--points"], 1, 999);
            if (!points)
                return fail("--points takes a number from 1 to 999");
            f->sizeMode = PCU_SIZE_BY_POINTS;
            f->pointSize = static_cast<std::int16_t>(*points);
        } else if (!ParseSize(o["--size"], &f->width, &f->height)) {
            return fail("--size takes WIDTHxHEIGHT in inches, such as 0.1x0.2");
        }
        return true;
    }

    bool fontChars(std::map<std::string, std::string>& o, FontInfo* f) {
        static const std::map<std::string, int> single = {
            {"letters", 1}, {"digits", 2}, {"printable", 3}, {"all", 0}};
        const std::string chars = o.count("--chars") ? o["--chars"] : "printable";
        if (const auto it = single.find(chars); it != single.end()) {
            f->charRange = static_cast<std::int16_t>(it->second);
            return true;
        }
        const auto set = DoubleByteSets().find(chars);
        if (set == DoubleByteSets().end())
            return fail(
                "--chars takes letters, digits, printable, all, cp932, cp950, cp936 or "
                "cp949");
        f->charRange = static_cast<std::int16_t>(set->second.first);
        ByteRanges ranges = set->second.second;
        if (o.count("--lead") && !ParseRanges(o["--lead"], &ranges.lead))
            return fail("--lead takes hexadecimal byte ranges such as 88-89");
        if (o.count("--trail") && !ParseRanges(o["--trail"], &ranges.trail))
            return fail("--trail takes hexadecimal byte ranges such as 40-7e,80-fc");
        if (!StoreRanges(ranges, f))
            return fail("at most six lead and six trail ranges");
        return true;
    }

    bool graphic(ObjectChange* change) {
        change->kind = ChangeKind::Graphic;
        GraphicInfo& g = change->graphic;
        std::string path;
        std::map<std::string, std::string> o;
        if (!positional("bitmap file", &path) || !options({}, &o) ||
            !idAndName(o, true, &g.id, g.newDescription))
            return false;
        if (!CopyField(path, g.path))
            return fail("the bitmap file's path is too long");
        if (o.count("--scale") == o.count("--size"))
            return fail("add-graphic takes --scale S or --size WxH");
        if (o.count("--scale")) {
            const auto scale = Positive(o["--scale"]);
            if (!scale || *scale > 100)
                return fail("--scale takes a factor above 0 and at most 100");
            g.scaleMode = PCU_SCALE_BY_FACTOR;
            g.scale = static_cast<float>(*scale);
        } else if (!ParseSize(o["--size"], &g.width, &g.height)) {
            return fail("--size takes WIDTHxHEIGHT in inches, such as 1.5x0.75");
        }
        const std::string rotate = o.count("--rotate") ? o["--rotate"] : "0";
        static const std::map<std::string, int> turns = {
            {"0", 0}, {"90", 1}, {"180", 2}, {"270", 3}};
        const auto turn = turns.find(rotate);
        if (turn == turns.end())
            return fail("--rotate takes 0, 90, 180 or 270 (degrees clockwise)");
        g.rotation = static_cast<std::int16_t>(turn->second);
        return true;
    }

    bool format(ObjectChange* change) {
        change->kind = ChangeKind::Format;
        FormatInfo& f = change->format;
        std::string path;
        std::map<std::string, std::string> o;
        if (!positional("command file", &path) || !options({}, &o))
            return false;
        if (!CopyField(path, f.path))
            return fail("the command file's path is too long");
        std::int32_t isPage = 0, number = 0;
        char name[PCU_DESCRIPTION_SIZE] = "";
        if (PCUGetFormatFileInfo(f.path, &isPage, &number, name) != PCU_OK)
            return fail("cannot read " + path);
        f.isPage = isPage;
        f.id = static_cast<std::uint16_t>(number);
        std::memcpy(f.newDescription, name, sizeof name);
        if (!idAndName(o, false, &f.id, f.newDescription))
            return false;
        const int highest = isPage ? 9 : 99;
        if (f.id < 1 || f.id > highest)
            return fail(path + " names no " +
                        (isPage ? "page number (1 to 9)" : "format number (1 to 99)") +
                        "; give one with --id");
        return true;
    }

    bool deletion(ObjectChange* change) {
        change->kind = ChangeKind::Delete;
        std::string kind, id;
        if (!positional("kind", &kind) || !positional("number", &id))
            return false;
        if (kind == "font" || kind == "graphic" || kind == "format" || kind == "page")
            kind += "s";
        if (kind != "fonts" && kind != "graphics" && kind != "formats" && kind != "pages")
            return fail("delete takes font, graphic, format or page");
        const auto n = Whole(id, 0, 65535);
        if (!n)
            return fail("delete takes a number from 0 to 65535");
        change->deleteKind = kind;
        change->deleteId = static_cast<unsigned>(*n);
        return true;
    }

    const std::vector<std::string>& args_;
    std::string* error_;
    std::size_t at_ = 0;
};

}  // namespace

bool ParseObjectChanges(const std::vector<std::string>& args, std::vector<ObjectChange>* changes,
                        std::string* toFile, std::string* error) {
    return Parser(args, error).run(changes, toFile);
}

}  // namespace tarvo::cli
