#include "brakenholm/brak_sample_size.h"

#include <utility>

#include "brakenholm/brak_host.h"

namespace tarvo::app {
namespace {

// Sends width and length from `setup` with the tree's writers; the record is put back after.
OpResult SendSize(CBrakPrinter& printer, const BrakSetup& setup) {
    const BrakSetup own = printer.GetSetup();
    printer.SetSetup(setup);
    OpResult result;
    for (BrakSetting setting : {BrakSetting::Width, BrakSetting::Length}) {
        const TxResult sent = printer.SendSetting(setting);
        if (!sent.ok() && result.ok())
            result = {OpStatus::Failed, std::string(SettingName(setting)), DescribeTx(sent)};
    }
    printer.SetSetup(own);
    return result;
}

}  // namespace

OpResult SetSampleSize(CBrakPrinter& printer, std::uint16_t width, std::int32_t length,
                       SavedMediaSize* saved) {
    if (saved == nullptr)
        return {OpStatus::Failed, std::nullopt, "no place to keep the printer's media size"};
    *saved = {};
    if (!printer.ReadSetupListing().parsed)
        return {OpStatus::NoAnswer, std::nullopt,
                "the printer's media size could not be read; nothing was changed"};
    BrakSetup sample = printer.GetSetup();
    if (!WasRead(sample, BrakSetting::Width) || !WasRead(sample, BrakSetting::Length))
        return {OpStatus::NoAnswer, std::nullopt,
                "the printer's setup listing lacked its media size; nothing was changed"};
    *saved = {true, sample.width, sample.length};
    sample.width = width;
    sample.length = length;
    return SendSize(printer, sample);
}

OpResult RestoreSampleSize(CBrakPrinter& printer, const SavedMediaSize& saved) {
    if (!saved.read)
        return {};
    const bool answered = printer.WaitForPrompt();
    BrakSetup own = printer.GetSetup();
    own.width = saved.width;
    own.length = saved.length;
    MarkRead(own, BrakSetting::Width);
    MarkRead(own, BrakSetting::Length);
    OpResult result = SendSize(printer, own);
    if (result.ok() && !answered)
        result = {OpStatus::NoAnswer, std::nullopt,
                  "the printer did not answer after the sample; its media size was sent anyway"};
    return result;
}

}  // namespace tarvo::app
