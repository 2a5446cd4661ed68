// `tarvo testprint` for a Brakenholm printer: a test label, a font, an image from the printer's
// memory or a bar-code symbology, printed at a sample size that is put back afterwards.
#include <iostream>
#include <string>

#include "brakenholm/brak_test_print.h"
#include "brakenholm_session.h"
#include "cli_support.h"
#include "command_runs.h"

namespace tarvo::cli {
namespace {

constexpr const char* kBrakTestPrintUsage =
    "usage: tarvo testprint label | font NAME | image NAME | symbology NAME";

std::string KnownSymbologies() {
    std::string names;
    for (const app::BrakSymbology& s : app::BrakSymbologyTable())
        names += (names.empty() ? "" : ", ") + std::string(s.printerName);
    return names;
}

// Returns 0 with *choice filled, or the exit status after saying what is wrong.
int ParseBrakTestPrint(const CommandLine& line, app::BrakTestPrintChoice* choice) {
    const auto& a = line.args;
    if (a.size() == 1 && a[0] == "label") {
        choice->kind = app::BrakTestPrintKind::Label;
        return 0;
    }
    if (a.size() != 2)
        return Fail(kBrakTestPrintUsage, kUsage);
    choice->name = a[1];
    if (a[0] == "font") {
        choice->kind = app::BrakTestPrintKind::Font;
    } else if (a[0] == "image") {
        choice->kind = app::BrakTestPrintKind::Image;
    } else if (a[0] == "symbology") {
        const app::BrakSymbology* found = app::FindBrakSymbology(a[1]);
        if (found == nullptr)
            return Fail("unknown symbology '" + a[1] + "'; the printer knows " + KnownSymbologies(),
                        kUsage);
        choice->kind = app::BrakTestPrintKind::Symbology;
        choice->name = std::string(found->printerName);
    } else {
        return Fail(kBrakTestPrintUsage, kUsage);
    }
    return 0;
}

std::string Described(const app::BrakTestPrintChoice& c) {
    switch (c.kind) {
        case app::BrakTestPrintKind::Label:
            return "test label";
        case app::BrakTestPrintKind::Font:
            return "font " + c.name;
        case app::BrakTestPrintKind::Image:
            return "image " + c.name;
        case app::BrakTestPrintKind::Symbology:
            return "symbology " + c.name;
    }
    return {};
}

}  // namespace

int RunBrakTestPrint(int ctx, const CommandLine& line) {
    app::BrakTestPrintChoice choice;
    if (const int status = ParseBrakTestPrint(line, &choice); status != 0)
        return status;
    BrakenholmSession s(line);
    if (!s.open(ctx))
        return 1;
    if (const app::OpResult read = s.printer().ReadPrinterIdentity(); !read.ok())
        std::cerr << "tarvo: warning: " << app::Describe(read) << "\n";
    const app::OpResult printed = app::RunBrakTestPrint(s.printer(), s.prompt(), choice);
    if (!printed.ok())
        return Fail("printing the " + Described(choice) + " failed: " +
                    (printed.detail.empty() ? app::Describe(printed) : printed.detail));
    std::cout << "Printed the " << Described(choice) << ".\n";
    return 0;
}

}  // namespace tarvo::cli
