#include "lanmere/wizard_link.h"

#include <algorithm>
#include <array>
#include <bitset>

#include "desk/test_print.h"
#include "tarvo/config.h"
#include "tarvo/context.h"
#include "tarvo/directory.h"
#include "tarvo/models.h"
#include "tarvo/port.h"
#include "tarvo/session.h"

namespace tarvo::app::lanmere {
namespace {

constexpr int kLastFormat = 99;
constexpr int kModelValue = 0;
// Room for the field lines in one framed message, under the smallest frame any protocol has.
constexpr std::size_t kMessageLimit = 200;
constexpr int kSettleMs = 100;

}  // namespace

int WizardContext() {
    static int ctx = 0;
    // Made once: only a reset of the kernel's whole table (between tests) takes it away.
    if (ctx == 0 || PCUInitCommParm(ctx) == PCU_ERR_NO_CONTEXT)
        ctx = PCUCfgInit();
    return ctx;
}

WizardLink::WizardLink(int sessionCtx, int model) : ctx_(WizardContext()), model_(model) {
    if (ctx_ == 0)
        return;
    commState line{};
    PCUGetCommState(sessionCtx, &line);
    PCUSetCommState(ctx_, &line);
    const int settings[] = {kModelValue};
    const int values[] = {model};
    PCUPutParms(ctx_, 1, settings, values);
}

std::string WizardLink::errorText() const {
    return PCUErrStr(ctx_);
}

std::optional<PrinterQuality> WizardLink::Read() {
    if (ctx_ == 0 || PCUGetCfg(ctx_) != PCU_OK)
        return std::nullopt;
    const int settings[] = {kSpeedValue, kMediaTypeValue, kSensitivityValue, kDarknessValue};
    int kinds[4] = {};
    int values[4] = {};
    if (PCUGetParms(ctx_, 4, settings, kinds, values) != PCU_OK)
        return std::nullopt;
    held_ = {values[0], values[1], values[2], values[3]};
    return held_;
}

int WizardLink::Write(std::initializer_list<std::pair<int, int>> values) {
    std::vector<int> settings;
    std::vector<int> numbers;
    for (const auto& [setting, value] : values) {
        settings.push_back(setting);
        numbers.push_back(value);
    }
    const int count = static_cast<int>(settings.size());
    int rc = PCUPutParms(ctx_, count, settings.data(), numbers.data());
    if (rc == PCU_OK)
        rc = PCUPutCfg(ctx_);
    if (rc != PCU_OK)
        return rc;
    for (const auto& [setting, value] : values) {
        switch (setting) {
            case kSpeedValue:
                held_.speed = value;
                break;
            case kMediaTypeValue:
                held_.mediaType = value;
                break;
            case kSensitivityValue:
                held_.sensitivity = value;
                break;
            case kDarknessValue:
                held_.darkness = value;
                break;
            default:
                break;
        }
    }
    return PCU_OK;
}

std::optional<std::vector<std::string>> WizardLink::Formats() {
    std::uint16_t count = 0;
    if (ctx_ == 0 || propDirCmd(model_) == 0 || PCUGetFormats(ctx_, &count) != PCU_OK)
        return std::nullopt;
    return ReadTestPrintLists(ctx_).formats;
}

std::optional<int> WizardLink::FreeFormat() {
    const auto formats = Formats();
    if (!formats)
        return std::nullopt;
    std::bitset<kLastFormat + 1> taken;
    for (const std::string& entry : *formats) {
        const int id = EntryNumber(entry, "FRMT");
        if (id >= 1 && id <= kLastFormat)
            taken.set(static_cast<std::size_t>(id));
    }
    int proposed = 0;
    if (PCUGetFmtLoc(ctx_, &proposed) == 1 && proposed >= 1 && proposed <= kLastFormat &&
        !taken[static_cast<std::size_t>(proposed)])
        return proposed;
    for (int n = 1; n <= kLastFormat; ++n) {
        if (!taken[static_cast<std::size_t>(n)])
            return n;
    }
    return std::nullopt;
}

bool WizardLink::send(const std::string& text) {
    return PCUWritePrinter(ctx_, text.c_str()) == 1;
}

bool WizardLink::printStandard(const QualityPrint& p) {
    if (!send("<ESC>P;")) {
        send("R;");
        return false;
    }
    bool ok = true;
    for (const std::string& message : QualityFormatMessages(p.location, model_, kMessageLimit)) {
        ok = ok && send(message);
    }
    ok = send("R;") && ok;
    ok = ok && send(QualityPrintRequest(p));
    // The temporary format goes again, also after a failed print.
    const std::string erase =
        "<ESC>P;E" + std::string(p.location < 10 ? "0" : "") + std::to_string(p.location);
    ok = send(erase) && ok;
    return send("R;") && ok;
}

bool WizardLink::Print(const QualityPrint& p, bool custom) {
    if (ctx_ == 0 || PCUOpenPrinter(ctx_) != 1)
        return false;
    bool ok = false;
    if (custom) {
        const std::string location =
            std::string(p.location < 10 ? "0" : "") + std::to_string(p.location);
        ok = send(QualitySettings(p.darkness, p.mediaType, p.sensitivity) + "<ESC>E" + location +
                  "<ETB>");
    } else {
        ok = printStandard(p);
    }
    ok = send(QualitySettings(held_.darkness, held_.mediaType, held_.sensitivity)) && ok;
    PCUWait(kSettleMs);
    return PCUClosePrinter(ctx_) == 1 && ok;
}

}  // namespace tarvo::app::lanmere
