// Parses arbitrary text as a profile, writes it back and parses that again: every value must
// survive, and a value set from the input must read back unchanged without disturbing others.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/ini_file.h"

namespace {

using tarvo::platform::IniDocument;

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// Every section of `a` except the two named has the same entries in `b`.
void CheckSameValues(const IniDocument& a, const IniDocument& b, std::string_view skip1,
                     std::string_view skip2) {
    Check(a.Entries("") == b.Entries(""), "entries before the first section");
    for (const std::string& section : a.Sections()) {
        if (!SameName(section, skip1) && !SameName(section, skip2)) {
            Check(a.Entries(section) == b.Entries(section), "entries of a section");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const IniDocument doc = IniDocument::Parse(text);
    const std::string once = doc.Serialize();
    const IniDocument again = IniDocument::Parse(once);
    Check(again.Sections() == doc.Sections(), "sections survive a rewrite");
    CheckSameValues(doc, again, "", "");
    Check(again.Serialize() == once, "serializing is stable");

    // The whole input as a value, and its first bytes as a key when they make a valid one.
    constexpr std::string_view kSection = "Version 2.1";
    IniDocument edited = IniDocument::Parse(text);
    Check(edited.Set(kSection, "Fuzz", text), "a valid key is accepted");
    const std::string key(text.substr(0, 6));
    const bool keyValid = tarvo::platform::IsValidIniKey(key);
    Check(edited.Set("Other", key, "v") == keyValid, "Set accepts exactly the valid keys");

    const IniDocument reread = IniDocument::Parse(edited.Serialize());
    Check(reread.Get(kSection, "Fuzz") == std::string(text), "a value reads back unchanged");
    if (keyValid) {
        Check(reread.Get("Other", key) == std::string("v"), "a new key reads back");
    }
    CheckSameValues(doc, reread, kSection, "Other");
    return 0;
}
