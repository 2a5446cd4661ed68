// The windows `tarvo32 --show PAGE` opens by name, each the command of its menu entry. Adding a
// page is one line in the table.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "desk/command_table.h"

namespace tarvo::app::qt {

struct ShowablePage {
    const char* name;   // "printer"
    CommandId command;  // the menu entry that opens it (or the one it is reached through)
    int pages = 0;      // a window of numbered pages: "NAME:N" opens page N of 1..pages
};

// Every page --show knows, in the order the help lists them. Static storage.
std::span<const ShowablePage> ShowablePages();

// The page named `name` (exact, or "NAME:N" with N a page number of a numbered one), or nullptr.
const ShowablePage* FindShowablePage(std::string_view name);

// The N of "NAME:N"; 0 for a name without one.
int ShowPageNumber(std::string_view name);

// The names of ShowablePages() joined by ", ".
std::string ShowablePageNames();

}  // namespace tarvo::app::qt
