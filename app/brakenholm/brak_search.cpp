// Finding a Brakenholm printer on the session's port: every usual rate and frame format, until
// the printer confirms its verbosity switch and sends a setup listing that parses.
#include <array>
#include <string>

#include "brakenholm/brak_host.h"
#include "brakenholm/brak_printer.h"
#include "brakenholm/brak_wire.h"
#include "brakenholm/value_tables.h"
#include "shell/settings.h"
#include "tarvo/context.h"
#include "tarvo/strings.h"

namespace tarvo::app {
namespace {

struct FrameFormat {
    const char* text;  // as the raw port takes it
    int parity;
    int dataBits;
    int stopBits;
};

constexpr std::array<FrameFormat, 4> kFormats = {{
    {"m,8,2", PCU_PARITY_MARK, 8, 2},
    {"n,8,2", PCU_PARITY_NONE, 8, 2},
    {"n,7,2", PCU_PARITY_NONE, 7, 2},
    {"n,7,1", PCU_PARITY_NONE, 7, 1},
}};
// The rates 9600 to 115200: the first five of the baud table. Slower rates are never tried.
constexpr std::uint16_t kRatesTried = 5;
constexpr int kPasses = 4;

std::string SevenBit(std::string text) {
    ConvertTo7Bit(text.data());
    return text;
}

std::string Upper7(std::string text) {
    ConvertTo7Bit(text.data());
    StrToUpper(text.data());
    return text;
}

}  // namespace

OpResult CBrakPrinter::SearchPrinter(SearchObserver& observer) {
    BusyScope busy(prompt_);
    session_.scriptReply = false;
    for (int pass = 0; pass < kPasses; ++pass) {
        for (std::uint16_t rate = 0; rate < kRatesTried; ++rate) {
            const std::string_view baud = *TableText(BaudTable(), rate);
            for (const FrameFormat& format : kFormats) {
                if (observer.CancelRequested()) {
                    session_.flags.searchStopped = true;
                    return {OpStatus::Cancelled, std::nullopt, {}};
                }
                commState trial{};
                trial.family = PCU_FAMILY_BRAKENHOLM;
                trial.port = session_.port;
                trial.baud = std::stoi(std::string(baud));
                trial.parity = format.parity;
                trial.dataBits = format.dataBits;
                trial.stopBits = format.stopBits;
                observer.Trial(trial);
                if (!TrySearchTrial(std::string(baud) + "," + format.text))
                    continue;
                session_.scriptReply = true;
                const OpResult stored = StoreFoundSettings(baud);
                commState found{};
                PCUGetCommState(PrinterHandle(), &found);
                found.family = PCU_FAMILY_BRAKENHOLM;
                observer.Found(found);
                return stored;
            }
        }
    }
    observer.NotFound();
    return {OpStatus::NoAnswer, std::nullopt,
            "no printer answered at 9600 to 115200 baud in any frame format"};
}

bool CBrakPrinter::TrySearchTrial(std::string_view lineSettings) {
    std::string listing;
    {
        OpenOutcome open = port_->Open(lineSettings);
        if (!open.connection)
            return false;
        ScriptConnection& c = *open.connection;
        std::string wake(1, kDc1);
        wake.append("SYSVAR(18)=3\r\n");
        if (c.Write(wake) != 0)
            return false;
        if (Upper7(ReadOnce(c).text).find("OK") == std::string::npos)
            return false;
        std::string request(1, kDc1);
        request.append(kListingRequest).append("\r\n").append(1, kDc1);
        if (c.Write(request) != 0)
            return false;
        // Only stripped to 7 bits: upper-casing would change table values such as
        // "LABEL (w GAPS)" into texts no table holds.
        listing = SevenBit(ReadOnce(c).text);
    }
    return !listing.empty() && ParseSetupListing(listing, ListingSource::Search);
}

OpResult CBrakPrinter::StoreFoundSettings(std::string_view foundBaud) {
    // The kernel has no batch write of profile values: they are written one by one, always in
    // this order, and the context is reloaded once after the last.
    bool stored = WriteSetting(setting::kFamily, "Brakenholm");
    stored = WriteSetting(setting::kPort, PortName(session_.port)) && stored;
    // The rate the listing states; the rate it was found at when the listing names none.
    const auto baud = TableText(BaudTable(), setup_.baud);
    stored = WriteSetting(setting::kBaud, baud.value_or(foundBaud)) && stored;
    stored = WriteSetting(setting::kParity, HostParityName(setup_.parity)) && stored;
    stored = WriteSetting(setting::kDataBits, std::to_string(setup_.charLength)) && stored;
    stored = WriteSetting(setting::kStopBits, std::to_string(setup_.stopBits)) && stored;
    stored = WriteSetting(setting::kProtocol, HostProtocolName(setup_)) && stored;
    PCUInitCommParm(PrinterHandle());
    CheckParity();
    ReadSettings(session_, prompt_);
    if (!stored) {
        return {OpStatus::Failed, std::nullopt,
                "the printer was found, but the profile could not store its settings"};
    }
    return {};
}

}  // namespace tarvo::app
