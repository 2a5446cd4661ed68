#include "brakenholm/brak_test_label.h"

#include <optional>
#include <utility>

#include "brakenholm/brak_commands.h"
#include "brakenholm/brak_host.h"
#include "brakenholm/brak_model.h"

namespace tarvo::app {
namespace {

// The printer's own values from its setup listing; the record is left as it was.
std::optional<BrakSetup> ReadPrinterValues(CBrakPrinter& printer) {
    const BrakSetup record = printer.GetSetup();
    const bool parsed = printer.ReadSetupListing().parsed;
    const BrakSetup own = printer.GetSetup();
    printer.SetSetup(record);
    if (!parsed)
        return std::nullopt;
    return own;
}

// Sends `settings` from `values` with the tree's writers; the record is put back after. Stops at
// the first failure when `stopAtFailure`, else sends every one; returns the first failure.
OpResult SendValues(CBrakPrinter& printer, const BrakSetup& values,
                    const std::vector<BrakSetting>& settings, bool stopAtFailure) {
    const BrakSetup record = printer.GetSetup();
    printer.SetSetup(values);
    OpResult result;
    for (BrakSetting setting : settings) {
        const TxResult sent = printer.SendSetting(setting);
        if (sent.ok())
            continue;
        if (result.ok())
            result = {OpStatus::Failed, std::string(SettingName(setting)), DescribeTx(sent)};
        if (stopAtFailure)
            break;
    }
    printer.SetSetup(record);
    return result;
}

OpResult SendProgram(CBrakPrinter& printer, const BrakTestLabel& label) {
    bool first = true;
    for (const auto* lines : {&label.program, &label.run}) {
        for (const std::string& line : *lines) {
            // The first line quiets the printer, so that no confirmation is left on the line.
            const TxResult sent = printer.SendLine(line, std::exchange(first, false));
            if (!sent.ok())
                return {OpStatus::Failed, "test-label program", DescribeTx(sent)};
        }
    }
    return {};
}

// Puts the printer's own values back once, when asked or when it leaves scope: after the
// printer answers again (it has finished the label), or after the bounded wait gave up.
class RestoreAfterSample {
  public:
    RestoreAfterSample(CBrakPrinter& printer, BrakSetup own, std::vector<BrakSetting> settings)
        : printer_(printer), own_(std::move(own)), settings_(std::move(settings)) {}
    ~RestoreAfterSample() { Restore(); }
    RestoreAfterSample(const RestoreAfterSample&) = delete;
    RestoreAfterSample& operator=(const RestoreAfterSample&) = delete;

    OpResult Restore() {
        if (std::exchange(done_, true))
            return {};
        const bool answered = printer_.WaitForPrompt();
        OpResult result = SendValues(printer_, own_, settings_, false);
        if (result.ok() && !answered)
            result = {OpStatus::NoAnswer, std::nullopt,
                      "the printer did not answer after the sample; its settings were sent back "
                      "anyway"};
        return result;
    }

  private:
    CBrakPrinter& printer_;
    BrakSetup own_;
    std::vector<BrakSetting> settings_;
    bool done_ = false;
};

// Tries `trial` for `settings` (those the printer stated), prints `label`, and sends the
// printer's own values back.
OpResult RunSample(CBrakPrinter& printer, const BrakSetup& own, const BrakSetup& trial,
                   std::vector<BrakSetting> settings, const BrakTestLabel& label) {
    // A value the printer did not state could not be put back: it is not tried.
    const int generation = printer.SetupGeneration();
    std::erase_if(settings, [&](BrakSetting s) { return IsUnset(s, own, generation); });
    RestoreAfterSample restore(printer, own, settings);
    OpResult result = SendValues(printer, trial, settings, true);
    if (result.ok())
        result = SendProgram(printer, label);
    const OpResult back = restore.Restore();
    return result.ok() ? back : result;
}

// The ribbon warning of a transfer sample. False when the printer did not answer.
bool WarnWithoutRibbon(CBrakPrinter& printer) {
    const std::optional<std::int16_t> ribbon = printer.ReadRibbonSensor();
    if (!ribbon)
        return false;
    if (*ribbon == 0)
        printer.OperatorPrompt().Tell("Tarvo Warning", "No ribbon detected!",
                                      PromptIcon::Exclamation);
    return true;
}

OpResult NoAnswer() {
    return {OpStatus::NoAnswer, std::nullopt,
            "the printer did not answer; no sample was printed and nothing was changed"};
}

}  // namespace

OpResult SendSample(CBrakPrinter& printer, const SampleValues& values, bool metric) {
    if (!UsesNewTree(printer.SetupGeneration()))
        return {OpStatus::NotSupported, std::nullopt,
                "this printer's sample labels are sent with SendClassicSample"};
    if (values.contrast < 0 || values.contrast >= kContrastPositions)
        return {OpStatus::Failed, "contrast", "the contrast position must be 0 to 10"};
    if (values.printSpeed < 0)
        return {OpStatus::Failed, "print-speed", "the print speed cannot be negative"};
    if (values.thermalTransfer && !WarnWithoutRibbon(printer))
        return NoAnswer();
    const std::optional<BrakSetup> own = ReadPrinterValues(printer);
    if (!own)
        return NoAnswer();
    using S = BrakSetting;
    BrakSetup trial = *own;
    std::vector<S> settings;
    if (values.thermalTransfer) {
        trial.ribbonConstant = values.constant;
        trial.ribbonFactor = values.factor;
        trial.labelOffset = values.offset;
        settings = {S::RibbonConstant, S::RibbonFactor, S::LabelOffset};
    } else {
        trial.labelConstant = values.constant;
        trial.labelFactor = values.factor;
        settings = {S::LabelConstant, S::LabelFactor};
    }
    trial.contrast = values.contrast;
    settings.push_back(S::Contrast);
    std::int32_t speedShown = WasRead(*own, S::PrintSpeed) ? own->printSpeed : 0;
    if (values.printSpeed > 0) {
        trial.printSpeed = values.printSpeed;
        speedShown = values.printSpeed;
        settings.push_back(S::PrintSpeed);
    }
    const BrakTestLabel label = NewTreeTestLabel(MediaModelOf(printer), values, speedShown, metric);
    return RunSample(printer, *own, trial, std::move(settings), label);
}

OpResult SendClassicSample(CBrakPrinter& printer, const ClassicSampleValues& values) {
    if (UsesNewTree(printer.SetupGeneration()))
        return {OpStatus::NotSupported, std::nullopt,
                "this printer's sample labels are sent with SendSample"};
    if (values.contrast < 0 || values.contrast >= kContrastPositions)
        return {OpStatus::Failed, "contrast", "the contrast must be 0 to 10"};
    if (values.thermalTransfer && !WarnWithoutRibbon(printer))
        return NoAnswer();
    const std::optional<BrakSetup> own = ReadPrinterValues(printer);
    if (!own)
        return NoAnswer();
    using S = BrakSetting;
    BrakSetup trial = *own;
    std::vector<S> settings = {S::Contrast};
    trial.contrast = values.contrast;
    if (values.paperType != kNoIndex) {
        trial.paperType = values.paperType;
        settings.insert(settings.begin(), S::PaperType);
    }
    if (values.newSupplies != kNoIndex) {
        trial.newSupplies1 = values.newSupplies;
        settings.push_back(S::NewSupplies1);
    }
    const std::uint16_t performance = WasRead(*own, S::Performance) ? own->performance : kNoIndex;
    const BrakTestLabel label = ClassicTestLabel(MediaModelOf(printer), values, performance);
    return RunSample(printer, *own, trial, std::move(settings), label);
}

}  // namespace tarvo::app
