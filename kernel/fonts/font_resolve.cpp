#include "fonts/font_resolve.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>
#include <vector>

#include "fonts/ft_library.h"
#include "fonts/host_fonts.h"
#include "fonts/rendered_font.h"
#include "tarvo/base/fs.h"
#include "port/bounded_copy.h"
#include "tarvo/fonts.h"

namespace tarvo::fonts {
namespace {

// Font files are read whole to find their names; anything larger is no font we could convert.
constexpr std::size_t kMaxFontFileBytes = 256u << 20;

bool AnySame(const std::vector<std::string>& names, std::string_view candidate) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& n) { return SameName(n, candidate); });
}

struct Candidate {
    std::string file;
    long index = 0;
    FaceTraits traits;
};

bool Matches(const Candidate& face, std::string_view name, const std::optional<FaceStyle>& style) {
    if (!style)
        return AnySame(face.traits.fullNames, name);
    return AnySame(face.traits.familyNames, name) && face.traits.style == *style;
}

// Opens faces lazily and keeps what they say, so that each is read once per resolution.
class FaceReader {
  public:
    std::optional<Candidate> read(const std::string& file, long index) {
        const auto key = std::make_pair(file, index);
        if (auto it = cache_.find(key); it != cache_.end())
            return it->second;
        std::optional<Candidate> result;
        if (FtFace face = OpenFace(library_, file, index); face && HasTrueTypeOutlines(face.get()))
            result = Candidate{file, index, ReadFaceTraits(face.get())};
        cache_.emplace(key, result);
        return result;
    }
    const FtLibrary& library() const { return library_; }

  private:
    FtLibrary library_;
    std::map<std::pair<std::string, long>, std::optional<Candidate>> cache_;
};

ResolvedFace ResolvedFrom(const Candidate& face, std::string faceName, std::string fullName) {
    ResolvedFace out;
    out.file = face.file;
    out.index = face.index;
    out.faceName = std::move(faceName);
    out.fullName = !fullName.empty()                ? std::move(fullName)
                   : !face.traits.fullNames.empty() ? face.traits.fullNames.front()
                                                    : out.faceName;
    out.style = face.traits.style;
    return out;
}

}  // namespace

std::optional<ResolvedFace> ResolveListedName(std::string_view listedName) {
    const std::string name = FaceNameOfListed(listedName);
    if (name.empty())
        return std::nullopt;
    FaceReader reader;
    for (const InstalledFace& installed : InstalledTrueTypeFaces()) {
        if (!SameName(installed.fullName, name))
            continue;
        if (const auto face = reader.read(installed.file, installed.index)) {
            ResolvedFace out = ResolvedFrom(*face, name, installed.fullName);
            out.charSet = CharacterSetOfName(listedName);
            return out;
        }
    }
    return std::nullopt;
}

std::optional<ResolvedFace> ResolveFontFile(const std::string& path) {
    std::string bytes;
    if (path.empty() || platform::ReadSmallFile(path, kMaxFontFileBytes, &bytes) != 0)
        return std::nullopt;
    const Bytes file(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    const SfntKind kind = ClassifySfnt(file);
    if (kind != SfntKind::TrueType && kind != SfntKind::Collection)
        return std::nullopt;
    const FontFileNames names = ReadFontFileNames(file);
    if (names.candidates.empty())
        return std::nullopt;

    FaceReader reader;
    std::vector<Candidate> own;
    const long count = FaceCount(reader.library(), path);
    for (long i = 0; i < count; ++i) {
        if (auto face = reader.read(path, i))
            own.push_back(std::move(*face));
    }
    std::vector<InstalledFace> installed;  // listed only when the file's own faces fail
    bool listed = false;
    for (const std::string& candidate : names.candidates) {
        for (const Candidate& face : own) {
            if (Matches(face, candidate, names.style))
                return ResolvedFrom(face, candidate, {});
        }
        if (!listed) {
            installed = InstalledTrueTypeFaces();
            listed = true;
        }
        for (const InstalledFace& face : installed) {
            if (!AnySame(face.families, candidate) && !SameName(face.fullName, candidate))
                continue;
            const auto read = reader.read(face.file, face.index);
            if (read && Matches(*read, candidate, names.style))
                return ResolvedFrom(*read, candidate, face.fullName);
        }
    }
    return std::nullopt;
}

std::optional<ResolvedFace> ResolveEntry(const FontInfo& entry) {
    if (entry.source == PCU_FONT_SOURCE_FACE) {
        const std::string_view name(entry.faceName,
                                    ::strnlen(entry.faceName, sizeof entry.faceName));
        return ResolveListedName(name);
    }
    return ResolveFontFile(std::string(entry.path, ::strnlen(entry.path, sizeof entry.path)));
}

std::string OutputNameOf(const FontInfo& entry, const ResolvedFace& face) {
    if (entry.source == PCU_FONT_SOURCE_FACE)
        return face.faceName;
    std::string base(entry.path, ::strnlen(entry.path, sizeof entry.path));
    base = base.substr(base.rfind('/') == std::string::npos ? 0 : base.rfind('/') + 1);
    if (const auto dot = base.rfind('.'); dot != std::string::npos && dot > 0)
        base.resize(dot);
    return base;
}

}  // namespace tarvo::fonts

TARVO_API int fonGetFontStructs(const char* fontFile, const char* faceName, PCULogicalFont* logFont,
                                PCUTextMetrics* metrics) {
    using namespace tarvo::fonts;
    if (logFont == nullptr || metrics == nullptr)
        return 0;
    const bool byFile = fontFile != nullptr && fontFile[0] != '\0';
    if (!byFile && (faceName == nullptr || faceName[0] == '\0'))
        return 0;
    try {
        const std::optional<ResolvedFace> face =
            byFile ? ResolveFontFile(fontFile) : ResolveListedName(faceName);
        if (!face)
            return 0;
        // At units-per-em pixels per em every metric comes out in design units.
        FtLibrary library;
        FtFace probe = OpenFace(library, face->file, face->index);
        if (!probe)
            return 0;
        const CharSize designSize{probe->units_per_EM, 0};
        probe.reset();
        const auto font = RenderedFont::Open(face->file, face->index, designSize, face->charSet);
        if (!font)
            return 0;
        const TextMetrics& m = font->metrics();
        PCULogicalFont lf{};
        tarvo::CopyBounded(face->faceName, lf.faceName, sizeof lf.faceName);
        tarvo::CopyBounded(face->fullName, lf.fullName, sizeof lf.fullName);
        tarvo::CopyBounded(face->file, lf.filePath, sizeof lf.filePath);
        lf.faceIndex = static_cast<int32_t>(face->index);
        lf.height = -m.unitsPerEm;
        lf.weight = face->style.weight;
        lf.italic = face->style.italic;
        lf.underline = face->style.underline;
        lf.strikeOut = face->style.strikeOut;
        lf.charSet = static_cast<uint8_t>(face->charSet);
        *logFont = lf;
        *metrics = PCUTextMetrics{m.height,   m.ascent,    m.descent,  m.avgWidth,
                                  m.maxWidth, m.firstChar, m.lastChar, m.unitsPerEm};
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}
