// What a downloaded object held, kept beside the object's listing entry while the printer runs
// so that a test can compare what the printer received with what the host meant to send. The
// state file keeps only the listing entries.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "glyph_decode.h"
#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {

// An outline font: the font file's bytes as the hex data commands carried them.
struct OutlineFontContent {
    std::string bytes;
};

// A font sent as image lines: each line as it came (tag character and data).
struct ImageFontContent {
    std::vector<std::string> lines;
};

struct BitmapGlyph {
    std::optional<int> aWidth;
    int z = 0;
    DotGrid dots;  // as wide as the columns sent, as high as the cell
};

struct BitmapFontContent {
    int maxWidth = 0;                   // x
    int cellHeight = 0;                 // y
    std::map<int, BitmapGlyph> glyphs;  // by character code
};

struct GraphicContent {
    DotGrid dots;
};

// A format or a page: its lines after the header, in order.
struct CommandLinesContent {
    std::vector<std::string> lines;
};

using ObjectContent = std::variant<OutlineFontContent, ImageFontContent, BitmapFontContent,
                                   GraphicContent, CommandLinesContent>;

// What downloads leave behind that the state file does not keep. Contents are shared and never
// changed once stored, so copies of the printer's state stay cheap; two records are equal when
// they hold the very same contents.
struct DownloadRecord {
    std::array<std::map<unsigned, std::shared_ptr<const ObjectContent>>, 4> contents;
    // Why the last download that was dropped was dropped; empty while none was.
    std::string lastRefusal;

    std::map<unsigned, std::shared_ptr<const ObjectContent>>& of(ObjectKind kind) {
        return contents[static_cast<std::size_t>(kind)];
    }
    const std::map<unsigned, std::shared_ptr<const ObjectContent>>& of(ObjectKind kind) const {
        return contents[static_cast<std::size_t>(kind)];
    }
    bool operator==(const DownloadRecord&) const = default;
};

// The content of type T stored for object `id` of `kind`; null when there is none of that type.
template <typename T>
const T* FindContent(const DownloadRecord& record, ObjectKind kind, unsigned id) {
    const auto& contents = record.of(kind);
    const auto it = contents.find(id);
    return it == contents.end() ? nullptr : std::get_if<T>(it->second.get());
}

}  // namespace tarvo::sim
