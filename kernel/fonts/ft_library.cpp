#include "fonts/ft_library.h"

#include FT_DRIVER_H
#include FT_MODULE_H
#include FT_TRUETYPE_TABLES_H

namespace tarvo::fonts {

FtLibrary::FtLibrary() {
    if (FT_Init_FreeType(&library_) != 0) {
        library_ = nullptr;
        return;
    }
    FT_UInt version = TT_INTERPRETER_VERSION_35;
    FT_Property_Set(library_, "truetype", "interpreter-version", &version);
}

FtLibrary::~FtLibrary() {
    if (library_ != nullptr)
        FT_Done_FreeType(library_);
}

FtFace OpenFace(const FtLibrary& library, const std::string& file, long index) {
    if (library.get() == nullptr || index < 0)
        return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(library.get(), file.c_str(), index, &face) != 0)
        return nullptr;
    return FtFace(face);
}

long FaceCount(const FtLibrary& library, const std::string& file) {
    if (library.get() == nullptr)
        return 0;
    FT_Face face = nullptr;
    if (FT_New_Face(library.get(), file.c_str(), -1, &face) != 0)
        return 0;
    const long count = face->num_faces;
    FT_Done_Face(face);
    return count;
}

std::optional<std::vector<std::uint8_t>> LoadTable(FT_Face face, std::uint32_t tag) {
    FT_ULong length = 0;
    if (!FT_IS_SFNT(face) || FT_Load_Sfnt_Table(face, tag, 0, nullptr, &length) != 0)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(length);
    if (length > 0 && FT_Load_Sfnt_Table(face, tag, 0, bytes.data(), &length) != 0)
        return std::nullopt;
    return bytes;
}

bool HasTrueTypeOutlines(FT_Face face) {
    FT_ULong length = 0;
    return FT_IS_SFNT(face) && FT_IS_SCALABLE(face) &&
           FT_Load_Sfnt_Table(face, Tag("glyf"), 0, nullptr, &length) == 0;
}

FaceTraits ReadFaceTraits(FT_Face face) {
    FaceTraits traits;
    if (face->family_name != nullptr)
        traits.familyNames.emplace_back(face->family_name);
    if (const auto name = LoadTable(face, Tag("name"))) {
        for (std::string& n : DecodedNames(*name, 1))
            traits.familyNames.push_back(std::move(n));
        traits.fullNames = DecodedNames(*name, 4);
    }
    if (const auto os2 = LoadTable(face, Tag("OS/2"))) {
        if (const auto style = ReadStyle(*os2))
            traits.style = *style;
    }
    return traits;
}

}  // namespace tarvo::fonts
