#include "fonts/code_pages.h"

#include <array>

namespace tarvo::fonts {
namespace {

constexpr const char* kGreek[] = {"el"};
constexpr const char* kTurkish[] = {"tr"};
constexpr const char* kHebrew[] = {"he"};
constexpr const char* kArabic[] = {"ar"};
constexpr const char* kBaltic[] = {"lt", "lv"};
constexpr const char* kRussian[] = {"ru"};
constexpr const char* kThai[] = {"th"};
constexpr const char* kCentralEuropean[] = {"cs", "pl", "hu"};

const std::array<CharacterSetInfo, 9> kSets = {{
    {CharacterSet::Default, "", "CP1252", {}},
    {CharacterSet::Greek, " (Greek)", "CP1253", kGreek},
    {CharacterSet::Turkish, " (Turkish)", "CP1254", kTurkish},
    {CharacterSet::Hebrew, " (Hebrew)", "CP1255", kHebrew},
    {CharacterSet::Arabic, " (Arabic)", "CP1256", kArabic},
    {CharacterSet::Baltic, " (Baltic)", "CP1257", kBaltic},
    {CharacterSet::Russian, " (Russian)", "CP1251", kRussian},
    {CharacterSet::Thai, " (Thai)", "CP874", kThai},
    {CharacterSet::CentralEuropean, " (Central European)", "CP1250", kCentralEuropean},
}};

}  // namespace

std::span<const CharacterSetInfo> CharacterSets() {
    return kSets;
}

const CharacterSetInfo& InfoOf(CharacterSet set) {
    return kSets[static_cast<std::size_t>(set) < kSets.size() ? static_cast<std::size_t>(set) : 0];
}

CharacterSet CharacterSetOfName(std::string_view listedName) {
    // A font entry keeps 32 characters of the name, so a long name may have lost the end of its
    // suffix: " (Central E" still names the set.
    const std::size_t open = listedName.find(" (");
    if (open == std::string_view::npos)
        return CharacterSet::Default;
    std::string_view inner = listedName.substr(open + 2);
    if (!inner.empty() && inner.back() == ')')
        inner.remove_suffix(1);
    if (inner.empty())
        return CharacterSet::Default;
    for (const CharacterSetInfo& info : kSets) {
        std::string_view name = info.suffix;
        if (name.size() < 3)
            continue;
        name = name.substr(2, name.size() - 3);  // " (Greek)" -> "Greek"
        if (name.substr(0, inner.size()) == inner)
            return info.set;
    }
    return CharacterSet::Default;
}

std::string FaceNameOfListed(std::string_view listedName) {
    return std::string(listedName.substr(0, listedName.find(" (")));
}

const char* DoubleByteCodePage(int charRange) {
    switch (charRange) {
        case 4:
            return "CP932";
        case 5:
            return "CP950";
        case 6:
            return "CP936";
        case 7:
            return "CP949";
        default:
            return nullptr;
    }
}

CodePage::CodePage(const char* name) : cd_(::iconv_open("UTF-32BE", name)) {}

CodePage::~CodePage() {
    if (valid())
        ::iconv_close(cd_);
}

std::optional<char32_t> CodePage::decode(std::string_view bytes) {
    if (!valid() || bytes.empty())
        return std::nullopt;
    ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    std::string in(bytes);
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    std::array<unsigned char, 16> out{};
    char* outPtr = reinterpret_cast<char*>(out.data());
    std::size_t outLeft = out.size();
    if (::iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
        inLeft != 0 || out.size() - outLeft != 4) {
        return std::nullopt;
    }
    return static_cast<char32_t>(out[0]) << 24 | static_cast<char32_t>(out[1]) << 16 |
           static_cast<char32_t>(out[2]) << 8 | out[3];
}

CodeMapper::CodeMapper(CharacterSet set, const char* doubleBytePage)
    : single_(InfoOf(set).codePage) {
    if (doubleBytePage != nullptr)
        double_.emplace(doubleBytePage);
}

std::optional<char32_t> CodeMapper::toUnicode(unsigned code) {
    if (code < 128)
        return code;
    if (code < 256)
        return single_.decode(std::string(1, static_cast<char>(code)));
    if (!double_ || code > 0xFFFF)
        return std::nullopt;
    const char pair[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    return double_->decode(std::string_view(pair, 2));
}

}  // namespace tarvo::fonts
