// Send to Printer: every kernel result is checked, the failed step is named, and the modified
// flag stays set unless everything went through.
#include <string>

#include "desk/config_values.h"
#include "desk/doc_commands.h"
#include "desk/lan_strings.h"
#include "desk/send_changes.h"
#include "tarvo/config.h"
#include "tarvo/context.h"
#include "tarvo/directory.h"
#include "tarvo/downloads.h"
#include "tarvo/port.h"
#include "tarvo/services.h"
#include "tarvo/session.h"

namespace tarvo::app {
namespace {

constexpr const char* kSending = "Sending configuration data to printer -- please wait";
constexpr int kImageBand = 5;
constexpr int kPollRetries = 10;
constexpr int kPollWaitMs = 500;

OpResult Failed(Desk& desk, const std::string& step) {
    const std::string detail = step + ": " + PCUErrStr(desk.ctx());
    desk.prompt.Tell("Warning", "Send to Printer stopped. " + detail, PromptIcon::Stop);
    return {OpStatus::Failed, std::nullopt, detail};
}

OpResult Told(Desk& desk, const std::string& text) {
    desk.prompt.Tell("Warning", text, PromptIcon::Stop);
    return {OpStatus::Failed, std::nullopt, text};
}

// The name and location the kernel recorded with its last error.
std::string ErrorText(Desk& desk, int stringId) {
    const char* name = nullptr;
    int location = 0;
    PCUErrInfo(desk.ctx(), nullptr, &location, &name);
    return Format(text::StringText(stringId), name ? name : "", location);
}

template <typename Info, typename Put>
void RegisterList(Desk& desk, const ObjectList& list, Put put) {
    for (cl_node* n = cl_first(list.head()); n != nullptr && n != list.head(); n = cl_next(n)) {
        const auto* info = static_cast<const Info*>(n->data);
        if (info != nullptr)
            put(desk.ctx(), info->id, info);
    }
}

OpResult SendFonts(Desk& desk) {
    SetStatusText(desk, text::kSendingFonts);
    RegisterList<FontInfo>(desk, desk.config.fonts, PCUPutFontInfo);
    const int r = PCUPutFonts(desk.ctx());
    if (r == PCU_ERR_PRINTER_MEMORY)
        return Told(desk, ErrorText(desk, text::kFontMemory));
    if (r == PCU_ERR_FACE)
        return Told(desk, ErrorText(desk, text::kFontFace));
    if (r != PCU_OK)
        return Failed(desk, "sending the fonts");
    desk.config.fonts.Clear();
    PCUGetFontCount(desk.ctx(), &desk.config.fontCount);
    return {};
}

OpResult SendGraphics(Desk& desk) {
    SetStatusText(desk, text::kSendingGraphics);
    RegisterList<GraphicInfo>(desk, desk.config.graphics, PCUPutGraphicInfo);
    if (PCUPutGraphics(desk.ctx()) != PCU_OK)
        return Failed(desk, "sending the graphics");
    PCUGetGraphicCount(desk.ctx(), &desk.config.graphicCount);
    desk.config.graphics.Clear();
    return {};
}

OpResult SendFormats(Desk& desk) {
    SetStatusText(desk, text::kSendingFormats);
    CommandFileQueue& queue = desk.config.commandFiles;
    if (RegisterCommandFileDownloads(desk.ctx(), queue) != PCU_OK)
        return Failed(desk, "queueing the command files");
    if (PCUPutFormats(desk.ctx()) != PCU_OK)
        return Failed(desk, "sending the formats");
    queue.downloads.clear();
    if (PCUPutPages(desk.ctx()) != PCU_OK)
        return Failed(desk, "sending the pages");
    return {};
}

// Reads back what the printer made of the send.
OpResult ReadBack(Desk& desk) {
    LanConfig& c = desk.config;
    const int band = c.values[kImageBand];
    SetStatusText(desk, text::kUpdating);
    for (int retry = 0; PCUPong(desk.ctx()) == 0 && retry < kPollRetries; ++retry)
        PCUWait(kPollWaitMs);
    if (PCUGetCfg(desk.ctx()) != PCU_OK)
        return Told(desk, text::StringText(text::kUpdateConfigFailed));
    PCUGetOptions(desk.ctx(), &c.options[0], &c.options[1], &c.options[2]);
    if (FetchPrinterValues(desk) != PCU_OK)
        return Failed(desk, "reading the configuration back");
    if (c.values[kImageBand] != band) {
        desk.prompt.Tell(
            "Warning",
            Format(text::StringText(text::kImageBandChanged), band, c.values[kImageBand]),
            PromptIcon::Stop);
    }
    if (propDirCmd(desk.session.model) == 1) {
        if (PCUGetFonts(desk.ctx(), &c.fontCount) != PCU_OK)
            return Told(desk, text::StringText(text::kUpdateFontsFailed));
        if (PCUGetFormats(desk.ctx(), &c.formatCount) != PCU_OK ||
            PCUGetPages(desk.ctx(), &c.pageCount) != PCU_OK ||
            PCUGetGraphics(desk.ctx(), &c.graphicCount) != PCU_OK) {
            return Failed(desk, "reading the printer's objects back");
        }
    } else {
        PCUGetFormatCount(desk.ctx(), &c.formatCount);
        PCUGetPageCount(desk.ctx(), &c.pageCount);
    }
    return {};
}

OpResult Transfer(Desk& desk) {
    const auto& flags = desk.config.download;
    if (flags[0] != 0 && PCUPutCfg(desk.ctx()) != PCU_OK)
        return Failed(desk, "sending the configuration");
    WriteAmbles(desk);
    PCUInitCommParm(desk.ctx());
    OpResult r;
    if (flags[1] != 0 && !(r = SendFonts(desk)).ok())
        return r;
    if (flags[2] != 0 && !(r = SendGraphics(desk)).ok())
        return r;
    if (flags[3] != 0 && !(r = SendFormats(desk)).ok())
        return r;
    return ReadBack(desk);
}

OpResult CheckMemory(Desk& desk) {
    const int r = PCUMemoryCheck(desk.ctx(), desk.config.fonts.head(), desk.config.graphics.head());
    if (r == PCU_OK)
        return {};
    if (r == PCU_ERR_PRINTER_MEMORY)
        return Told(desk, text::StringText(text::kNoPrinterMemory));
    if (r == PCU_ERR_GRAPHIC_LIMIT)
        return Told(desk, ErrorText(desk, text::kGraphicTooLarge));
    return Failed(desk, "checking the printer's memory");
}

OpResult SendLanmere(Desk& desk) {
    if (PCUPing(desk.ctx()) == 0) {
        ShowWarning(desk, text::kSendFailed);
        return {OpStatus::NoAnswer, std::nullopt, text::StringText(text::kSendFailed)};
    }
    if (std::string error; !RememberBeforeSend(desk, &error))
        return Told(desk,
                    "Nothing was sent: Undo Last Send could not keep the printer's "
                    "configuration (" +
                        error + ").");
    if (StoreValues(desk) != PCU_OK) {
        ShowWarning(desk, 0);
        return {OpStatus::Failed, std::nullopt, PCUErrStr(desk.ctx())};
    }
    CommandFileQueue& queue = desk.config.commandFiles;
    if (RegisterCommandFileDeletions(desk.ctx(), queue) != PCU_OK ||
        PCUDelPtrObjs(desk.ctx()) != PCU_OK)
        return Failed(desk, "deleting objects from the printer");
    queue.formatDeletions.clear();
    queue.pageDeletions.clear();
    OpResult r = CheckMemory(desk);
    if (r.ok())
        r = Transfer(desk);
    return r;
}

}  // namespace

OpResult SendToPrinter(Desk& desk) {
    const int question =
        desk.session.flags.configNotRetrieved ? text::kAskSendNotRetrieved : text::kAskSend;
    if (!AskOkCancel(desk, question, PendingChangesText(desk)))
        return {OpStatus::Cancelled, std::nullopt, {}};
    return SendConfirmed(desk);
}

OpResult SendConfirmed(Desk& desk) {
    AppSession& s = desk.session;
    desk.prompt.SetStatus(kSending);
    BusyScope busy(desk.prompt);
    OpResult r;
    if (s.printer->IsScriptFamily()) {
        r = s.printer->SendAllSetup();
        if (!r.ok())
            desk.prompt.Tell("Warning", Describe(r), PromptIcon::Stop);
    } else {
        r = SendLanmere(desk);
    }
    SetStatusText(desk, text::kReady);
    if (r.ok()) {
        s.flags.modified = false;
        s.flags.configNotRetrieved = false;
    }
    return r;
}

}  // namespace tarvo::app
