#include "qt/show_page.h"

#include <array>
#include <charconv>

#include "lanmere/quality_wizard.h"

namespace tarvo::app::qt {
namespace {

constexpr std::array kPages = {
    ShowablePage{"printer", CommandId::PrinterConfig},
    ShowablePage{"communications", CommandId::Communications},
    ShowablePage{"media", CommandId::MediaType},
    ShowablePage{"media-handling", CommandId::MediaHandling},
    ShowablePage{"quality-wizard", CommandId::MediaType, lanmere::kWizardPages},
    ShowablePage{"command-file", CommandId::CommandFile},
    ShowablePage{"test-print", CommandId::TestPrint},
    ShowablePage{"report", CommandId::PrintReport},
    ShowablePage{"firmware", CommandId::ChangeFirmware},
    ShowablePage{"fonts", CommandId::Fonts},
    ShowablePage{"graphics", CommandId::Graphics},
    ShowablePage{"configuration", CommandId::PrinterConfig},
    ShowablePage{"diagnostics", CommandId::Diagnostics},
    ShowablePage{"images", CommandId::Graphics},
};

}  // namespace

std::span<const ShowablePage> ShowablePages() {
    return kPages;
}

int ShowPageNumber(std::string_view name) {
    const std::size_t colon = name.find(':');
    if (colon == std::string_view::npos)
        return 0;
    int number = 0;
    const char* end = name.data() + name.size();
    const auto [at, ec] = std::from_chars(name.data() + colon + 1, end, number);
    return ec == std::errc() && at == end && number > 0 ? number : -1;
}

const ShowablePage* FindShowablePage(std::string_view name) {
    const int number = ShowPageNumber(name);
    const std::string_view base = name.substr(0, name.find(':'));
    for (const ShowablePage& page : kPages) {
        if (base == page.name && (number == 0 || (number > 0 && number <= page.pages)))
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
