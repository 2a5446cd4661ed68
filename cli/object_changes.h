// Changes to what the printer stores, as `tarvo objects` takes them from the command line:
// fonts, graphics and command files to download, objects to delete. They are queued in the
// context's object lists and committed together.
#pragma once

#include <string>
#include <vector>

#include "tarvo/directory.h"

namespace tarvo::cli {

enum class ChangeKind { Font, Graphic, Format, Delete };

struct ObjectChange {
    ChangeKind kind = ChangeKind::Font;
    FontInfo font{};
    GraphicInfo graphic{};
    FormatInfo format{};
    std::string deleteKind;  // fonts, graphics, formats or pages
    unsigned deleteId = 0;
};

// Parses "add-font ... add-graphic ... delete KIND ID ..." (one or more changes) and the
// options that apply to all of them (--to FILE.tcf). Returns false with *error set.
bool ParseObjectChanges(const std::vector<std::string>& args, std::vector<ObjectChange>* changes,
                        std::string* toFile, std::string* error);

}  // namespace tarvo::cli
