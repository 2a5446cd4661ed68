#include "fonts/dbcs_font.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "fonts/font_resolve.h"
#include "objects/progress_window.h"
#include "objects/transfers.h"
#include "platform/clock.h"
#include "tarvo/base/fs.h"
#include "tarvo/base/paths.h"
#include "tarvo/downloads.h"

namespace tarvo::fonts {

std::string IbfDirectory() {
    const char* variable = std::getenv("TARVOFONT");
    if (variable != nullptr && variable[0] != '\0')
        return platform::DirectoryOf(variable);
    return platform::DataDirectory();
}

bool ValidIbfName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

int BuildIbfText(RenderedFont& font, const IbfIndex& index,
                 const std::function<void(long done)>& progress, std::string* text) {
    const TextMetrics& metrics = font.metrics();
    IbfBuilder builder(index, metrics);
    const auto add = [&](unsigned code) {
        const std::optional<Glyph> glyph = font.renderCode(code);
        return !glyph || builder.add(code, GlyphRecord(*glyph, metrics));
    };
    for (int code = std::max(metrics.firstChar, 32); code <= metrics.lastChar; ++code) {
        if (!add(static_cast<unsigned>(code)))
            return PCU_ERR_DBCS_RANGES;
    }
    long done = 0;
    for (const unsigned code : index.doubleByteCodes()) {
        if (!add(code))
            return PCU_ERR_DBCS_RANGES;
        if (progress)
            progress(++done);
    }
    *text = builder.text();
    return 0;
}

}  // namespace tarvo::fonts

namespace tarvo {

int ConvertDoubleByteFont(const FontInfo& entry, int emulation, std::string* ibfPath) {
    using namespace fonts;
    if (ibfPath == nullptr)
        return PCU_ERR_ARGUMENT;
    DbcsRanges ranges;
    if (ParseDbcsRanges(entry.dbcsRanges, &ranges) != 0)
        return PCU_ERR_DBCS_RANGES;
    const char* codePage = DoubleByteCodePage(entry.charRange);
    if (codePage == nullptr)
        return PCU_ERR_DBCS_RANGES;  // no double-byte character set to read the ranges in
    CharSize size;
    if (const int status = ComputeCharSize(entry, emulation, &size); status != 0)
        return status;
    try {
        const std::optional<ResolvedFace> face = ResolveEntry(entry);
        if (!face)
            return PCU_ERR_FACE;
        const std::string name = OutputNameOf(entry, *face);
        if (!ValidIbfName(name))
            return PCU_ERR_DBCS_RANGES;
        const auto font =
            RenderedFont::Open(face->file, face->index, size, face->charSet, codePage);
        if (!font)
            return PCU_ERR_FACE;
        const IbfIndex index(ranges);
        std::string text;
        {
            ProgressWindow progress("Converting DBCS font",
                                    static_cast<std::int64_t>(index.doubleByteCodes().size()));
            const int status = BuildIbfText(
                *font, index,
                [&progress](long done) {
                    progress.moveTo(done);
                    platform::PumpMessages();
                },
                &text);
            if (status != 0)
                return status;
        }
        const std::string directory = IbfDirectory();
        const std::string path = directory + "/" + name + ".ibf";
        if (!platform::MakeDirectories(directory, 0755) ||
            !platform::WriteFileAtomically(path, text, 0644)) {
            return PCU_ERR_FILE_WRITE;
        }
        *ibfPath = path;
        return 0;
    } catch (const std::bad_alloc&) {
        return PCU_ERR_NO_MEMORY;
    }
}

}  // namespace tarvo
