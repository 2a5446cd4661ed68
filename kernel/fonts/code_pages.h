// Character sets of host faces and the code pages that turn a printer font's character codes
// into Unicode: single-byte codes by the character set of the face's listed name, double-byte
// codes by the code page a double-byte font's character range selects.
#pragma once

#include <iconv.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tarvo::fonts {

// The character sets a listed face name can carry as a suffix; the numbers are those of
// PCULogicalFont.charSet.
enum class CharacterSet : std::uint8_t {
    Default = 0,
    Greek,
    Turkish,
    Hebrew,
    Arabic,
    Baltic,
    Russian,
    Thai,
    CentralEuropean,
};

struct CharacterSetInfo {
    CharacterSet set;
    const char* suffix;    // " (Greek)"; empty for the default set
    const char* codePage;  // iconv name of the set's code page
    // Languages (Fontconfig's codes) whose coverage earns a face the set's suffix.
    std::span<const char* const> languages;
};

// Every character set, the default first.
std::span<const CharacterSetInfo> CharacterSets();
const CharacterSetInfo& InfoOf(CharacterSet set);

// The character set a listed name's suffix names (the text after the first " (", which may
// have lost its end: " (Gre" is Greek); Default otherwise.
CharacterSet CharacterSetOfName(std::string_view listedName);

// The listed name without its suffix: cut before the first " (".
std::string FaceNameOfListed(std::string_view listedName);

// The iconv name of the double-byte code page of character ranges 4 to 7 (CP932, CP950, CP936,
// CP949); null for any other range.
const char* DoubleByteCodePage(int charRange);

// Decodes the byte sequences of one code page into single Unicode characters. Owns its iconv
// descriptor; not copyable.
class CodePage {
  public:
    // Opens the conversion from `name`; valid() is false when iconv does not know it.
    explicit CodePage(const char* name);
    ~CodePage();
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // The one character `bytes` stands for; none when the sequence is not a whole character of
    // the code page (or stands for more than one).
    std::optional<char32_t> decode(std::string_view bytes);

  private:
    iconv_t cd_;
};

// Maps a printer font's character codes to Unicode: codes below 128 are themselves, codes
// 128..255 go through the face's single-byte code page, and codes above 255 (lead byte * 256 +
// trail byte) through the double-byte code page when one was given.
class CodeMapper {
  public:
    CodeMapper(CharacterSet set, const char* doubleBytePage);
    std::optional<char32_t> toUnicode(unsigned code);

  private:
    CodePage single_;
    std::optional<CodePage> double_;
};

}  // namespace tarvo::fonts
