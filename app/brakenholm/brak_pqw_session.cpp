#include "brakenholm/brak_pqw_session.h"

#include <algorithm>

#include "brakenholm/brak_host.h"
#include "brakenholm/brak_test_label.h"
#include "tarvo/models.h"

namespace tarvo::app {
namespace {

MediaKind MediaKindOf(std::uint16_t paperType) {
    return paperType == 1 ? MediaKind::ThermalTransfer : MediaKind::DirectThermal;
}

// A record the program holds values in: one read from a printer or a file. A record that never
// held a paper type was never read.
bool RecordHoldsValues(const BrakSetup& setup) {
    return setup.paperType != kNoIndex;
}

// The printer's own model text when it was read, else the name of the model it was identified
// as (the command line makes the printer object without reading its identity).
std::string ModelText(const CBrakPrinter& printer) {
    if (!printer.Identity().version1.empty())
        return printer.Identity().version1;
    char name[PROP_NAME_SIZE] = "";
    propGetPrinterStr(printer.Model(), name);
    return name;
}

}  // namespace

int PQWSpeedAt(int position) {
    return 100 + 25 * std::clamp(position, 0, kPQWSpeedCount - 1);
}

int PQWSpeedPosition(std::int32_t speedMmPerS) {
    return std::clamp(static_cast<int>(speedMmPerS / 25) - 4, 0, kPQWSpeedCount - 1);
}

std::string PQWSpeedText(int speedMmPerS, bool metric) {
    if (metric)
        return std::to_string(speedMmPerS) + " mm/sec";
    std::string inches = std::to_string(speedMmPerS / 25);
    if (const int rest = speedMmPerS % 25; rest != 0)
        inches += "." + std::to_string(rest * 10 / 25);
    return inches + " inch/sec";
}

BrakPQWValues PQWValuesFrom(const BrakSetup& s) {
    BrakPQWValues v;
    v.paperType = s.paperType == 1 ? 1 : 0;
    v.contrast = s.contrast >= 0 && s.contrast <= 10 ? s.contrast : 5;
    v.labelConstant = s.labelConstant;
    v.labelFactor = s.labelFactor;
    v.ribbonConstant = s.ribbonConstant;
    v.ribbonFactor = s.ribbonFactor;
    v.labelOffset = s.labelOffset;
    v.printSpeed = s.printSpeed;
    return v;
}

BrakPQWSession::BrakPQWSession(CBrakPrinter& printer, Prompt& prompt, bool metric)
    : printer_(printer), prompt_(prompt), metric_(metric), size_(printer) {
    for (int id = 1; id <= kBrakPQWPages; ++id)
        pages_.push_back(MakePQWPage(*this, id));
}

BrakPQWSession::~BrakPQWSession() = default;

bool BrakPQWSession::Offered(const CBrakPrinter& printer) {
    return printer.TreeVersion() == "7.12";
}

bool BrakPQWSession::Tell(const std::string& text) {
    prompt_.Tell(kPQWCaption, text, PromptIcon::Exclamation);
    return false;
}

bool BrakPQWSession::Start() {
    if (!Offered(printer_))
        return Tell(
            "The Print Quality Wizard serves printers of setup tree 7.12; this printer "
            "has setup tree " +
            std::string(printer_.TreeVersion()) + ".");
    const BrakSetup held = printer_.GetSetup();
    if (RecordHoldsValues(held)) {
        values_ = PQWValuesFrom(held);
        if (!EnsureTable())
            return false;
    }
    // Reading the printer's size parses its listing into the record: the program's own values
    // (perhaps loaded from a file and not sent yet) are put back, or taken from the listing when
    // the program held none.
    const OpResult size = size_.Set(kPQWSampleWidth, kPQWSampleLength);
    if (RecordHoldsValues(held))
        printer_.SetSetup(held);
    if (!size.ok()) {
        size_.Restore();
        return Tell("The sample label size could not be set: " + Describe(size) +
                    "\nPrint Quality Wizard cancelled");
    }
    record_ = PQWValuesFrom(printer_.GetSetup());
    if (!RecordHoldsValues(held)) {
        values_ = record_;
        if (!EnsureTable()) {
            size_.Restore();
            return false;
        }
    }
    PreselectEntry();
    Show(kPQWPaperPage);
    return true;
}

void BrakPQWSession::PreselectEntry() {
    const BrakPQWValues& v = values_;
    entry = table()->Preselect(v.transfer() ? v.ribbonConstant : v.labelConstant,
                               v.transfer() ? v.ribbonFactor : v.labelFactor,
                               v.transfer() ? v.labelOffset : 0);
}

const BrakMediaTable* BrakPQWSession::table() const {
    const auto& table = tables_[values_.transfer() ? 1 : 0];
    return table ? &*table : nullptr;
}

bool BrakPQWSession::EnsureTable() {
    auto& slot = tables_[values_.transfer() ? 1 : 0];
    if (slot)
        return true;
    MediaTableLoad load =
        LoadMediaTable(MediaKindOf(values_.paperType), ModelText(printer_) == "880KS");
    if (!load.table)
        return Tell(load.error);
    for (const MediaTableNote& note : load.table->notes())
        Tell(note.text);
    slot = std::move(load.table);
    return true;
}

BrakPQWPage& BrakPQWSession::page() const {
    return page(current_);
}

BrakPQWPage& BrakPQWSession::page(int id) const {
    return *pages_.at(static_cast<std::size_t>(std::clamp(id, 1, kBrakPQWPages) - 1));
}

void BrakPQWSession::Show(int id) {
    current_ = id;
    page().Load();
}

void BrakPQWSession::Open(int id) {
    if (id < 1 || id > kBrakPQWPages)
        return;
    // A media page shows the table of its own paper type.
    if (id == kPQWRibbonPage || id == kPQWLabelPage) {
        const BrakPQWValues held = values_;
        values_.paperType = id == kPQWRibbonPage ? 1 : 0;
        if (!EnsureTable()) {
            values_ = held;
            return;
        }
    }
    Show(id);
}

bool BrakPQWSession::Next() {
    const int next = page().Next();
    if (next == 0)
        return false;
    Show(next);
    return true;
}

void BrakPQWSession::Back() {
    if (canGoBack())
        Show(page().Previous());
}

void BrakPQWSession::PrintSample(const BrakPQWValues& tried) {
    SampleValues sample;
    sample.thermalTransfer = tried.transfer();
    sample.constant = tried.transfer() ? tried.ribbonConstant : tried.labelConstant;
    sample.factor = tried.transfer() ? tried.ribbonFactor : tried.labelFactor;
    sample.offset = tried.transfer() ? tried.labelOffset : 0;
    sample.printSpeed = tried.printSpeed;
    sample.contrast = tried.contrast;
    const BusyScope busy(prompt_);
    const OpResult result = SendSample(printer_, sample, metric_);
    if (!result.ok())
        Tell("The sample label was not printed: " + Describe(result));
}

PQWFinish BrakPQWSession::Finish() {
    PQWFinish finish;
    finish.sizeRestored = size_.Restore();
    const BrakPQWValues& v = values_;
    const BrakPQWValues& r = record_;
    BrakSetup setup = printer_.GetSetup();
    const auto send = [&](BrakSetting setting, bool differs, auto apply) {
        if (!differs)
            return;
        apply(setup);
        MarkRead(setup, setting);
        printer_.SetSetup(setup);
        finish.sent.push_back(setting);
        const TxResult sent = printer_.SendSetting(setting);
        if (!sent.ok())
            finish.failed.push_back(std::string(SettingName(setting)) + ": " + DescribeTx(sent));
    };
    using S = BrakSetting;
    send(S::PaperType, v.paperType != r.paperType,
         [&](BrakSetup& s) { s.paperType = v.paperType; });
    send(S::LabelConstant, v.labelConstant != r.labelConstant,
         [&](BrakSetup& s) { s.labelConstant = v.labelConstant; });
    send(S::LabelFactor, v.labelFactor != r.labelFactor,
         [&](BrakSetup& s) { s.labelFactor = v.labelFactor; });
    send(S::RibbonConstant, v.ribbonConstant != r.ribbonConstant,
         [&](BrakSetup& s) { s.ribbonConstant = v.ribbonConstant; });
    send(S::RibbonFactor, v.ribbonFactor != r.ribbonFactor,
         [&](BrakSetup& s) { s.ribbonFactor = v.ribbonFactor; });
    send(S::LabelOffset, v.labelOffset != r.labelOffset,
         [&](BrakSetup& s) { s.labelOffset = v.labelOffset; });
    send(S::PrintSpeed, v.printSpeed != r.printSpeed,
         [&](BrakSetup& s) { s.printSpeed = v.printSpeed; });
    send(S::Contrast, v.contrast != r.contrast, [&](BrakSetup& s) { s.contrast = v.contrast; });
    return finish;
}

OpResult BrakPQWSession::Cancel() {
    return size_.Restore();
}

BrakPQWPage::BrakPQWPage(BrakPQWSession& session, int id, std::string title)
    : PageModel(std::move(title)), session_(session), id_(id) {}

}  // namespace tarvo::app
