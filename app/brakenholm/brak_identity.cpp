// Reading the printer's state: the setup listing, the clock, the versions, the system variables
// and, when the printer does not answer, the values a printer of its kind usually has.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "brakenholm/brak_host.h"
#include "brakenholm/brak_listing.h"
#include "brakenholm/brak_model.h"
#include "brakenholm/brak_printer.h"
#include "brakenholm/brak_text.h"
#include "brakenholm/brak_wire.h"
#include "brakenholm/value_tables.h"
#include "shell/settings.h"
#include "tarvo/context.h"
#include "tarvo/models.h"

namespace tarvo::app {
namespace {

// Stores `value` under `key` unless the setting already says the same. Returns whether it
// changed.
bool StoreIfDifferent(std::string_view key, std::string_view value, bool ignoreCase) {
    const std::string stored = ReadSetting(key, "");
    if (ignoreCase ? AsciiLower(stored) == AsciiLower(value) : stored == value)
        return false;
    WriteSetting(key, value);
    return true;
}

std::string ModelName(int model) {
    char name[PROP_NAME_SIZE] = "";
    propGetPrinterStr(model, name);
    return name;
}

}  // namespace

bool CBrakPrinter::ParseSetupListing(std::string_view listing, ListingSource source) {
    ListingParse parsed =
        ParseListing(listing, generation_, static_cast<std::uint16_t>(session_.port));
    unrecognised_ = std::move(parsed.unrecognised);
    if (!parsed.ok)
        return false;
    setup_ = parsed.setup;
    if (source != ListingSource::Printer)
        return true;
    // The printer's own line settings are what the host must use to reach it.
    bool changed = false;
    if (const auto baud = TableText(BaudTable(), setup_.baud))
        changed = StoreIfDifferent(setting::kBaud, *baud, false) || changed;
    changed =
        StoreIfDifferent(setting::kDataBits, std::to_string(setup_.charLength), false) || changed;
    if (setup_.parity != kNoIndex)
        changed =
            StoreIfDifferent(setting::kParity, HostParityName(setup_.parity), true) || changed;
    changed =
        StoreIfDifferent(setting::kStopBits, std::to_string(setup_.stopBits), false) || changed;
    if (changed) {
        PCUInitCommParm(PrinterHandle());
        ReadSettings(session_, prompt_);
    }
    return true;
}

ListingRead CBrakPrinter::ReadSetupListing() {
    ListingRead result;
    OpenOutcome open = port_->Open({});
    if (!open.connection) {
        result.status = TxStatus::OpenFailed;
        return result;
    }
    BusyScope busy(prompt_);
    RawReply reply;
    {
        const std::unique_ptr<ScriptConnection> connection = std::move(open.connection);
        int error = connection->Write(WithCr(kVerboseOff));
        if (error == 0) {
            port_->Wait(kAfterVerboseOffMs);
            error = connection->Write(WithCr(kListingRequest));
        }
        if (error != 0) {
            result.status = TxStatus::WriteFailed;
            return result;
        }
        reply = ReadOnce(*connection);
        if (reply.error != 0)
            result.status = TxStatus::ReadFailed;
    }  // the port closes before the listing is parsed
    result.received = !reply.text.empty();
    result.truncated = reply.truncated;
    if (result.received)
        result.parsed = ParseSetupListing(reply.text, ListingSource::Printer);
    if (result.parsed && setup_.parity == 2)
        CheckParity();
    return result;
}

void CBrakPrinter::ReadClock() {
    const QueryReply reply = QueryLine("PRINT DATE$");
    if (!reply.ok())
        return;
    const std::string_view date = StripTrailing(reply.text, " \r\n");
    if (date.empty() || date == "Hardware error") {
        // The printer's clock does not run: it is set from the computer's.
        const std::tm now = options_.localTime();
        char ymd[32];
        char hms[32];
        std::snprintf(ymd, sizeof ymd, "%04d%02d%02d", std::clamp(now.tm_year + 1900, 0, 9999),
                      std::clamp(now.tm_mon + 1, 1, 12), std::clamp(now.tm_mday, 1, 31));
        std::snprintf(hms, sizeof hms, "%02d%02d%02d", std::clamp(now.tm_hour, 0, 23),
                      std::clamp(now.tm_min, 0, 59), std::clamp(now.tm_sec, 0, 60));
        SendSetupLine(std::string("DATE$=\"") + (ymd + 2) + "\"");
        SendSetupLine(std::string("TIME$=\"") + hms + "\"");
        identity_.printerDate = ymd;
        return;
    }
    const std::string format = "FORMAT DATE$ \"YYYYMMDD\"";
    if (IsModel27Or28(model_)) {
        QueryLine(format);
    } else {
        SendSetupLine(format);
    }
    const QueryReply formatted = QueryLine("PRINT DATE$(\"F\")");
    identity_.printerDate = std::string(StripLineEnds(formatted.text).substr(0, 8));
}

void CBrakPrinter::ReadVersionsAndVariables(const std::string& version1) {
    identity_.version1 = version1;
    identity_.version0 = CollapseBlanks(StripLineEnds(QueryLine("PRINT VERSION$(0)").text));
    identity_.version2 = std::string(StripLineEnds(QueryLine("PRINT VERSION$(2)").text));
    ReadStorageMemory();
    ReadHeapMemory();
    identity_.sysvar21 =
        std::string(StripLeading(StripLineEnds(QueryLine("PRINT SYSVAR(21)").text), " "));
    identity_.sysvar22 = std::string(StripTrailing(QueryLine("PRINT SYSVAR(22)").text, " \r\n"));
    identity_.sysvar23 =
        Saturate<std::int16_t>(ParseDecimal(StripLineEnds(QueryLine("PRINT SYSVAR(23)").text)));
    identity_.sysvar20 =
        Saturate<std::int16_t>(ParseDecimal(StripLineEnds(QueryLine("PRINT SYSVAR(20)").text)));
}

void CBrakPrinter::ApplyAssumedValues() {
    BrakSetup& s = setup_;
    switch (CapabilitiesOf(model_).assumedSetup) {
        case AssumedSetup::kA:
            s.charLength = 7;
            s.stopBits = 2;
            s.xonXoffFromHost = s.xonXoffToHost = true;
            generation_ = SetupGenerationOf(31);
            identity_.sysvar20 = 0;
            s.startAdjust = -114;
            s.paperType = 0;
            s.performance = 0;
            identity_.sysvar21 = "8";
            s.width = 832;
            s.length = 1220;
            break;
        case AssumedSetup::kB:
            s.charLength = 8;
            s.stopBits = 1;
            s.xonXoffFromHost = s.xonXoffToHost = false;
            generation_ = SetupGenerationOf(27);
            identity_.sysvar20 = 0;
            s.startAdjust = -152;
            s.performance = 0;
            identity_.sysvar21 = "8";
            s.width = 832;
            s.length = 1220;
            s.newSupplies1 = 14;  // GQ90
            s.newSupplies2 = 24;  // GJ118
            break;
        case AssumedSetup::kC:
            s.charLength = 8;
            s.stopBits = 1;
            s.xonXoffFromHost = s.xonXoffToHost = false;
            generation_ = SetupGenerationOf(33);
            s.startAdjust = -175;
            s.paperType = 0;
            identity_.sysvar21 = "12";
            s.width = 1216;
            s.length = 1824;
            s.labelConstant = 50;
            s.labelFactor = 10;
            s.labelOffset = 0;
            s.ribbonConstant = 50;
            s.ribbonFactor = 10;
            s.printSpeed = 100;
            break;
    }
    s.baud = 0;     // 9600
    s.newLine = 0;  // CR/LF
    s.parity = 1;   // ODD
    s.rtsCts = false;
    s.receiveBuffer = 300;
    s.transmitBuffer = 300;
    s.contrast = 5;
    s.mediaType = 0;
    identity_.sysvar23 = 0;
    s.stopAdjust = 0;
    s.xStart = 0;
}

std::optional<std::int16_t> CBrakPrinter::ReadRibbonSensor() {
    const QueryReply reply = QueryLine("PRINT SYSVAR(23)");
    const std::string_view text = StripLeading(StripLineEnds(reply.text), " ");
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-'))
        return std::nullopt;
    identity_.sysvar23 = Saturate<std::int16_t>(ParseDecimal(text));
    return identity_.sysvar23;
}

OpResult CBrakPrinter::ReadPrinterIdentity() {
    BusyScope busy(prompt_);
    const ListingRead listing = ReadSetupListing();
    ReadClock();
    const QueryReply answer = QueryLine("PRINT VERSION$(1)");
    const std::string version1(StripLineEnds(answer.text));
    if (version1.empty()) {
        session_.scriptReply = false;
        ApplyAssumedValues();
        const std::string name = ModelName(model_);
        prompt_.Tell("Notice",
                     "The printer did not answer.\n\nThe settings shown are those a " + name +
                         " printer usually has; they may not match the printer.",
                     PromptIcon::Information);
        return {OpStatus::NoAnswer, std::nullopt,
                "the printer did not answer; the usual settings of a " + name + " are shown"};
    }
    session_.scriptReply = true;
    ReadVersionsAndVariables(version1);
    if (!listing.parsed) {
        return {OpStatus::Failed, std::nullopt,
                listing.received ? "the printer's setup listing could not be read; the "
                                   "settings shown are the previous ones"
                                 : "the printer sent no setup listing; the settings shown are "
                                   "the previous ones"};
    }
    OpResult result;
    if (listing.truncated) {
        result.detail = "the setup listing was longer than " + std::to_string(kReplyLimit) +
                        " bytes; settings after that were not read";
        // Those settings show as not read and are never sent; the operator should know why.
        prompt_.Tell("Warning", "The printer's setup listing was cut short: " + result.detail + ".",
                     PromptIcon::Exclamation);
    }
    return result;
}

}  // namespace tarvo::app
