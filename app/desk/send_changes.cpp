#include "desk/send_changes.h"

#include "desk/config_values.h"
#include "desk/doc_commands.h"
#include "desk/setting_catalog.h"

namespace tarvo::app {
namespace {

Units UnitsOf(const Desk& desk) {
    return desk.session.metric ? Units::Centimetres : Units::Inches;
}

// The printer's values when they were read for the selected model.
const std::array<int, PROP_SETTING_COUNT>* PrinterValues(const Desk& desk) {
    const auto& read = desk.config.printerValues;
    return read && (*read)[0] == desk.session.model ? &*read : nullptr;
}

OpResult Refuse(Desk& desk, const std::string& why) {
    desk.prompt.Tell("Tarvo", why, PromptIcon::Information);
    return {OpStatus::Refused, std::nullopt, why};
}

std::optional<LastSend> RecordOfPort(Desk& desk, std::string* error) {
    if (desk.lastSend && desk.lastSend->port == desk.session.port)
        return desk.lastSend;
    return LoadLastSend(desk.session.port, error);
}

}  // namespace

std::string PendingChangesText(const Desk& desk) {
    if (desk.session.printer->IsScriptFamily())
        return {};
    const std::string files = CommandFileChangesText(desk.config.commandFiles);
    const auto* read = PrinterValues(desk);
    if (read == nullptr)
        return "The printer's configuration was not read: every setting is sent.\n" + files;
    const AppSession& s = desk.session;
    return "Changes:\n" +
           ChangesText(ListChanges(s.model, s.firmwareVersion, ValuesInKernelOrder(*read),
                                   ValuesInKernelOrder(desk.config.values), UnitsOf(desk))) +
           files;
}

bool RememberBeforeSend(Desk& desk, std::string* error) {
    const AppSession& s = desk.session;
    const auto* read = PrinterValues(desk);
    if (read == nullptr) {
        desk.lastSend.reset();
        ForgetLastSend(s.port);
        return true;
    }
    LastSend record{s.port, s.model, s.firmwareVersion, ValuesInKernelOrder(*read)};
    if (!SaveLastSend(record, error))
        return false;
    desk.lastSend = std::move(record);
    return true;
}

OpResult UndoLastSend(Desk& desk) {
    AppSession& s = desk.session;
    if (s.printer->IsScriptFamily())
        return Refuse(desk, "Undo Last Send serves Lanmere-family printers.");
    std::string error;
    const std::optional<LastSend> record = RecordOfPort(desk, &error);
    if (!record)
        return Refuse(desk, "Nothing to undo: " + error + ".");
    if (record->model != s.model) {
        char name[PROP_NAME_SIZE] = "";
        propGetPrinterStr(record->model, name);
        return Refuse(desk, std::string("The last send went to a ") + name + ", not to this " +
                                s.modelName + ".");
    }
    std::array<int, PROP_SETTING_COUNT> values = desk.config.values;
    const auto before = ValuesInProgramOrder(record->values);
    for (const LanSetting& setting : LanSettings()) {
        const auto i = static_cast<std::size_t>(setting.index);
        if (SettingSendable(s.model, s.firmwareVersion, setting.index))
            values[i] = before[i];
    }
    const auto* read = PrinterValues(desk);
    Question q;
    q.caption = "Tarvo";
    q.text = "Send back the configuration the printer held before the last send?";
    if (s.flags.modified)
        q.text += " Changes not yet sent are lost.";
    q.buttons = PromptButtons::OkCancel;
    q.icon = PromptIcon::Question;
    q.defaultAnswer = PromptAnswer::Cancel;
    const std::string details =
        "Changes:\n" +
        ChangesText(ListChanges(s.model, s.firmwareVersion,
                                ValuesInKernelOrder(read ? *read : desk.config.values),
                                record->values, UnitsOf(desk)));
    if (desk.prompt.AskWithDetails(q, details) != PromptAnswer::Ok)
        return {OpStatus::Cancelled, std::nullopt, {}};
    desk.config.values = values;
    return SendConfirmed(desk);
}

}  // namespace tarvo::app
