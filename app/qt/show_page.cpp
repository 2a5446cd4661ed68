#include "qt/show_page.h"

#include <array>

namespace tarvo::app::qt {
namespace {

constexpr std::array kPages = {
    ShowablePage{"printer", CommandId::PrinterConfig},
    ShowablePage{"communications", CommandId::Communications},
    ShowablePage{"media", CommandId::MediaType},
    ShowablePage{"media-handling", CommandId::MediaHandling},
    ShowablePage{"command-file", CommandId::CommandFile},
    ShowablePage{"test-print", CommandId::TestPrint},
    ShowablePage{"report", CommandId::PrintReport},
    ShowablePage{"firmware", CommandId::ChangeFirmware},
};

}  // namespace

std::span<const ShowablePage> ShowablePages() {
    return kPages;
}

const ShowablePage* FindShowablePage(std::string_view name) {
    for (const ShowablePage& page : kPages) {
        if (name == page.name)
            return &page;
    }
    return nullptr;
}

std::string ShowablePageNames() {
    std::string names;
    for (const ShowablePage& page : kPages)
        names += (names.empty() ? "" : ", ") + std::string(page.name);
    return names;
}

}  // namespace tarvo::app::qt
