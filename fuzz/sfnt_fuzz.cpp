// Feeds arbitrary bytes to the font-file table reader as a whole file, as a name table and as an
// OS/2 table: no read may leave the buffer, whatever the counts and offsets claim.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fonts/sfnt_tables.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvo::fonts;
    const Bytes bytes(data, size);
    const FontFileNames names = ReadFontFileNames(bytes);
    Check(names.candidates.size() <= kMaxFamilyCandidates, "at most 20 candidates");
    if (const auto face = FirstFaceOffset(bytes)) {
        for (const TableRecord& r : ReadTableDirectory(bytes, *face))
            Check(r.offset <= size && r.length <= size - r.offset, "tables lie inside the file");
    }
    FamilyCandidates(bytes);
    DecodedNames(bytes, 4);
    ReadStyle(bytes);
    return 0;
}
