#include "fonts/host_fonts.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <set>

#include "tarvo/fonts.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define TARVO_LEAK_CHECKED 1
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define TARVO_LEAK_CHECKED 1
#endif
#if TARVO_LEAK_CHECKED
#include <sanitizer/lsan_interface.h>
#endif

namespace tarvo::fonts {
namespace {

struct PatternFree {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct ObjectSetFree {
    void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
struct FontSetFree {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};

// Fontconfig's parser loses a few bytes each time it reads its configuration files, which the
// sanitized builds would report as the kernel's leak; the leak checker looks away while
// Fontconfig works. Nothing changes in other builds.
class FontconfigLeakPause {
  public:
#if TARVO_LEAK_CHECKED
    FontconfigLeakPause() {
        __lsan_disable();
    }
    ~FontconfigLeakPause() {
        __lsan_enable();
    }
#else
    FontconfigLeakPause() = default;
#endif
    FontconfigLeakPause(const FontconfigLeakPause&) = delete;
    FontconfigLeakPause& operator=(const FontconfigLeakPause&) = delete;
};

std::vector<std::string> Strings(FcPattern* pattern, const char* object) {
    std::vector<std::string> values;
    FcChar8* value = nullptr;
    for (int i = 0; FcPatternGetString(pattern, object, i, &value) == FcResultMatch; ++i)
        values.emplace_back(reinterpret_cast<const char*>(value));
    return values;
}

std::vector<CharacterSet> Coverage(FcPattern* pattern) {
    std::vector<CharacterSet> sets;
    FcLangSet* languages = nullptr;
    if (FcPatternGetLangSet(pattern, FC_LANG, 0, &languages) != FcResultMatch)
        return sets;
    for (const CharacterSetInfo& info : CharacterSets()) {
        const bool covered =
            std::any_of(info.languages.begin(), info.languages.end(), [&](const char* lang) {
                return FcLangSetHasLang(languages, reinterpret_cast<const FcChar8*>(lang)) !=
                       FcLangDifferentLang;
            });
        if (covered)
            sets.push_back(info.set);
    }
    return sets;
}

bool IsTrueTypeOutline(FcPattern* pattern) {
    FcChar8* format = nullptr;
    FcBool outline = FcFalse;
    return FcPatternGetString(pattern, FC_FONTFORMAT, 0, &format) == FcResultMatch &&
           std::strcmp(reinterpret_cast<const char*>(format), "TrueType") == 0 &&
           FcPatternGetBool(pattern, FC_OUTLINE, 0, &outline) == FcResultMatch && outline;
}

std::optional<InstalledFace> Describe(FcPattern* pattern) {
    FcChar8* file = nullptr;
    int index = 0;
    if (!IsTrueTypeOutline(pattern) ||
        FcPatternGetString(pattern, FC_FILE, 0, &file) != FcResultMatch) {
        return std::nullopt;
    }
    FcPatternGetInteger(pattern, FC_INDEX, 0, &index);
    InstalledFace face;
    face.file = reinterpret_cast<const char*>(file);
    face.index = index;
    face.families = Strings(pattern, FC_FAMILY);
    const std::vector<std::string> fullNames = Strings(pattern, FC_FULLNAME);
    face.fullName = !fullNames.empty()       ? fullNames.front()
                    : !face.families.empty() ? face.families.front()
                                             : std::string();
    if (face.fullName.empty() || face.fullName.front() == '@' ||
        (!face.families.empty() && face.families.front().front() == '@')) {
        return std::nullopt;  // vertical faces are not offered
    }
    face.coverage = Coverage(pattern);
    return face;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

std::vector<InstalledFace> InstalledTrueTypeFaces() {
    std::vector<InstalledFace> faces;
    FontconfigLeakPause pause;
    std::unique_ptr<FcPattern, PatternFree> pattern(FcPatternCreate());
    std::unique_ptr<FcObjectSet, ObjectSetFree> objects(
        FcObjectSetBuild(FC_FILE, FC_INDEX, FC_FAMILY, FC_FULLNAME, FC_FONTFORMAT, FC_OUTLINE,
                         FC_LANG, static_cast<char*>(nullptr)));
    if (!pattern || !objects)
        throw std::bad_alloc();
    // The current configuration, which Fontconfig brings up to date when fonts were installed.
    std::unique_ptr<FcFontSet, FontSetFree> set(FcFontList(nullptr, pattern.get(), objects.get()));
    if (!set)
        return faces;
    for (int i = 0; i < set->nfont; ++i) {
        if (auto face = Describe(set->fonts[i]))
            faces.push_back(std::move(*face));
    }
    std::sort(faces.begin(), faces.end(), [](const InstalledFace& a, const InstalledFace& b) {
        return a.file != b.file ? a.file < b.file : a.index < b.index;
    });
    return faces;
}

std::vector<std::string> ListedNames(const std::vector<InstalledFace>& faces) {
    std::set<std::string> names;
    const auto add = [&](std::string name) {
        if (name.size() <= kMaxListedName)
            names.insert(std::move(name));
    };
    for (const InstalledFace& face : faces) {
        add(face.fullName);
        for (const CharacterSet set : face.coverage)
            add(face.fullName + InfoOf(set).suffix);
    }
    return {names.begin(), names.end()};
}

}  // namespace tarvo::fonts

using tarvo::fonts::InstalledTrueTypeFaces;
using tarvo::fonts::ListedNames;

TARVO_API int PCUGetHostFontList(HostFontList* list) {
    if (list == nullptr)
        return 0;
    list->count = 0;
    list->names = nullptr;
    try {
        const std::vector<std::string> names = ListedNames(InstalledTrueTypeFaces());
        if (names.empty())
            return 1;
        auto** array = static_cast<char**>(std::calloc(names.size(), sizeof(char*)));
        if (array == nullptr)
            return 0;
        HostFontList filled{0, array};
        for (const std::string& name : names) {
            array[filled.count] = ::strdup(name.c_str());
            if (array[filled.count] == nullptr) {
                PCUFreeHostFontList(&filled);
                return 0;
            }
            ++filled.count;
        }
        *list = filled;
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

TARVO_API void PCUFreeHostFontList(HostFontList* list) {
    if (list == nullptr || list->names == nullptr)
        return;
    for (int32_t i = 0; i < list->count; ++i)
        std::free(list->names[i]);
    std::free(list->names);
    list->count = 0;
    list->names = nullptr;
}
