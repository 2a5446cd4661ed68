// Sending settings: one at a time, the whole setup, and the factory defaults.
//
// The serial line settings always go last. Once the printer has taken them it listens at the
// new line settings, so anything sent after them at the old ones would be lost; after them the
// host's settings are brought in line and the printer is asked whether it still answers.
#include <algorithm>
#include <string>

#include "brakenholm/brak_commands.h"
#include "brakenholm/brak_host.h"
#include "brakenholm/brak_printer.h"
#include "brakenholm/value_tables.h"
#include "shell/settings.h"
#include "tarvo/context.h"

namespace tarvo::app {
namespace {

constexpr const char* kReadyStatus = "Tarvo ready - select menu item or click on pushbutton";

// Shows the search's progress in the status line.
class StatusSearchObserver final : public SearchObserver {
  public:
    explicit StatusSearchObserver(Prompt& prompt) : prompt_(prompt) {}
    void Trial(const commState& trial) override {
        prompt_.SetStatus("Searching for the printer at " + std::to_string(trial.baud) + " baud");
    }
    void Found(const commState& found) override {
        prompt_.SetStatus("Printer found at " + std::to_string(found.baud) + " baud");
    }
    void NotFound() override { prompt_.SetStatus("The printer was not found"); }
    bool CancelRequested() override { return false; }

  private:
    Prompt& prompt_;
};

// Generation-0 factory values, set in the record and sent.
void SetGeneration0Defaults(BrakSetup& s) {
    s.baud = 0;    // 9600
    s.parity = 2;  // NONE
    s.stopBits = 1;
    s.charLength = 8;
    s.rtsCts = false;
    s.xonXoffFromHost = false;
    s.xonXoffToHost = false;
    s.newLine = 0;  // CR/LF
    s.lssAdjust = 23;
    s.startAdjust = 0;
    s.stopAdjust = 0;
    s.xStart = 0;
    s.width = 832;
    s.length = 1200;
    s.mediaType = 0;
    s.performance = 0;  // NORMAL
    s.contrast = 5;
}

}  // namespace

TxResult CBrakPrinter::SendSetting(BrakSetting setting) {
    const SetupCommandText command = SetupCommand(setting, setup_, generation_);
    switch (command.kind) {
        case SetupCommandText::Kind::Line:
            return SendSetupLine(command.text);
        case SetupCommandText::Kind::NothingToSend:
            return {};
        case SetupCommandText::Kind::NotForPrinter:
            return {TxStatus::NotApplicable, 0};
        case SetupCommandText::Kind::BadValue:
            break;
    }
    return {TxStatus::Refused, 0};
}

OpResult CBrakPrinter::SendSettings(const std::vector<BrakSetting>& settings) {
    std::vector<BrakSetting> body;
    std::vector<BrakSetting> serial;
    for (BrakSetting s : settings)
        (IsSerialSetting(s) ? serial : body).push_back(s);
    BusyScope busy(prompt_);
    return SendThenSerial(body, serial);
}

OpResult CBrakPrinter::SendAllSetup() {
    const Question confirm{"Tarvo", "Send current updates to attached printer?",
                           PromptButtons::OkCancel, PromptIcon::Question, PromptAnswer::Cancel};
    if (prompt_.Ask(confirm) != PromptAnswer::Ok)
        return {OpStatus::Cancelled, std::nullopt, {}};
    prompt_.SetStatus("Sending configuration data to printer -- please wait");
    OpResult result;
    {
        BusyScope busy(prompt_);
        ReadSettings(session_, prompt_);
        result = SendThenSerial(SettingsInSendOrder(setup_, generation_),
                                SerialSettingsInSendOrder(setup_));
    }
    prompt_.SetStatus(kReadyStatus);
    return result;
}

OpResult CBrakPrinter::RestoreSetupDefaults() {
    BusyScope busy(prompt_);
    if (generation_ == 1) {
        return {OpStatus::NotSupported, std::nullopt,
                "printers of this generation keep no factory setup to restore"};
    }
    if (generation_ != 0)
        return RestoreSavedSetup();
    ReadSettings(session_, prompt_);
    SetGeneration0Defaults(setup_);
    using S = BrakSetting;
    return SendThenSerial({S::LssAdjust, S::StartAdjust, S::StopAdjust, S::XStart, S::Width,
                           S::Length, S::MediaType, S::Performance, S::Contrast},
                          {S::Baud, S::Parity, S::StopBits, S::CharLength, S::RtsCts,
                           S::XonXoffFromHost, S::XonXoffToHost, S::NewLine});
}

OpResult CBrakPrinter::SendThenSerial(const std::vector<BrakSetting>& body,
                                      const std::vector<BrakSetting>& serial) {
    // Every value is checked before the first line goes out, so a refusal leaves the printer
    // exactly as it was.
    for (const auto* group : {&body, &serial}) {
        for (BrakSetting s : *group) {
            const SetupCommandText command = SetupCommand(s, setup_, generation_);
            if (command.kind == SetupCommandText::Kind::BadValue ||
                command.kind == SetupCommandText::Kind::NotForPrinter) {
                return {OpStatus::Refused, std::string(SettingName(s)), command.text};
            }
        }
    }
    OpResult result;
    const auto send = [&](BrakSetting s) {
        const TxResult sent = SendSetting(s);
        if (!sent.ok() && result.ok())
            result = {OpStatus::Failed, std::string(SettingName(s)), DescribeTx(sent)};
        return sent;
    };
    for (BrakSetting s : body) {
        if (send(s).status == TxStatus::OpenFailed)
            return result;
    }
    if (!result.ok()) {
        // The printer did not take everything; changing its line settings now could lose it.
        result.detail += "; the serial line settings were not sent";
        return result;
    }
    std::vector<BrakSetting> serialSent;
    for (BrakSetting s : serial) {
        const TxResult sent = send(s);
        if (sent.status == TxStatus::OpenFailed)
            break;
        if (sent.ok())
            serialSent.push_back(s);
    }
    if (serialSent.empty())
        return result;
    const OpResult host = BringHostInLine(serialSent);
    if (!host.ok())
        return result.ok() ? host : result;
    const OpResult follow = FollowPrinter();
    return result.ok() ? follow : result;
}

OpResult CBrakPrinter::BringHostInLine(const std::vector<BrakSetting>& sent) {
    // Only what the printer was sent: a serial value edited in the record but not sent is not
    // what the printer listens at. The kernel has no batch write of profile values, so they are
    // written one by one in a fixed order and the kernel context is reloaded after the last.
    const auto wasSent = [&sent](BrakSetting s) {
        return std::find(sent.begin(), sent.end(), s) != sent.end();
    };
    bool stored = true;
    if (wasSent(BrakSetting::Baud))
        stored = WriteSetting(setting::kBaud, *TableText(BaudTable(), setup_.baud)) && stored;
    if (wasSent(BrakSetting::Parity))
        stored = WriteSetting(setting::kParity, HostParityName(setup_.parity)) && stored;
    if (wasSent(BrakSetting::CharLength))
        stored = WriteSetting(setting::kDataBits, std::to_string(setup_.charLength)) && stored;
    if (wasSent(BrakSetting::StopBits))
        stored = WriteSetting(setting::kStopBits, std::to_string(setup_.stopBits)) && stored;
    if (wasSent(BrakSetting::RtsCts) || wasSent(BrakSetting::XonXoffFromHost))
        stored = WriteSetting(setting::kProtocol, HostProtocolName(setup_)) && stored;
    PCUInitCommParm(PrinterHandle());
    ReadSettings(session_, prompt_);
    if (!stored) {
        return {OpStatus::Failed, std::nullopt,
                "the printer has new line settings, but the profile could not store them"};
    }
    return {};
}

bool CBrakPrinter::PrinterAnswers() {
    const QueryReply reply = QueryLine("PRINT VERSION$(1)");
    return reply.ok() && !reply.text.empty();
}

OpResult CBrakPrinter::FollowPrinter() {
    if (PrinterAnswers())
        return {};
    const Question search{"Warning",
                          "The printer does not answer at its new line settings.\n\n"
                          "Search for it on this port now?",
                          PromptButtons::YesNo, PromptIcon::Question, PromptAnswer::Yes};
    if (prompt_.Ask(search) == PromptAnswer::Yes) {
        StatusSearchObserver observer(prompt_);
        if (SearchPrinter(observer).ok())
            return {};
    }
    return {OpStatus::NoAnswer, std::nullopt,
            "the printer does not answer at its new line settings; run the search"};
}

}  // namespace tarvo::app
