// The print quality wizard of a Brakenholm printer on setup tree "7.12", without widgets: its
// values, its six pages and the way between them. The desktop shows the current page in a
// stacked widget and the command line walks the pages in the terminal; both call only Start,
// Next, Back, Finish and Cancel here.
//
// The wizard picks the paper type, a media entry from the media table of that paper type (its
// constant, factor and, for thermal transfer, label offset), the print speed and the contrast.
// Sample labels print at a known size: the printer's own width and length are read first and
// given back when the wizard ends, however it ends. Finish sends only the values that differ
// from the printer record, each by the setup tree's own command.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "brakenholm/brak_media_table.h"
#include "brakenholm/brak_printer.h"
#include "brakenholm/brak_sample_size.h"
#include "lanmere/page_model.h"
#include "shell/prompt.h"

namespace tarvo::app {

// The pages by their number, 1 to 6.
enum BrakPQWPageId : int {
    kPQWPaperPage = 1,     // CBrakPQWPage1: the paper type
    kPQWKnownPage = 2,     // CBrakPQWPage2: whether the operator knows the media
    kPQWRibbonPage = 3,    // CBrakPQWPage3: ribbons (thermal transfer) and the speed
    kPQWLabelPage = 4,     // CBrakPQWPage3B: direct-thermal labels and the speed
    kPQWContrastPage = 5,  // CBrakPQWPage4: the contrast
    kPQWSummaryPage = 6,   // CBrakPQWPage5: what was chosen
};
inline constexpr int kBrakPQWPages = 6;

// The caption of the wizard's messages.
inline constexpr const char* kPQWCaption = "Print Quality Wizard";

// The sample label's size while the wizard runs, in dots.
inline constexpr std::uint16_t kPQWSampleWidth = 1244;
inline constexpr std::int32_t kPQWSampleLength = 1800;

// The print speeds offered: position i is 100 + 25 i mm/s.
inline constexpr int kPQWSpeedCount = 6;
int PQWSpeedAt(int position);
// The position of `speedMmPerS` in the list, limited to 0..5.
int PQWSpeedPosition(std::int32_t speedMmPerS);
// "150 mm/sec" when metric, else inches per second (mm/s divided by 25): "6 inch/sec".
std::string PQWSpeedText(int speedMmPerS, bool metric);

// The values the wizard works on, as the setup record states them.
struct BrakPQWValues {
    std::uint16_t paperType = 0;  // 0 direct thermal, 1 thermal transfer
    std::int16_t contrast = 5;    // contrast table position 0..10 (shown as 2p - 10 percent)
    std::int16_t labelConstant = 0;
    std::int16_t labelFactor = 0;
    std::int16_t ribbonConstant = 0;
    std::int16_t ribbonFactor = 0;
    std::int16_t labelOffset = 0;
    std::int32_t printSpeed = 0;  // mm/s

    bool transfer() const { return paperType == 1; }
    bool operator==(const BrakPQWValues&) const = default;
};

// The wizard's values taken from `setup` (an unread contrast shows as the middle position).
BrakPQWValues PQWValuesFrom(const BrakSetup& setup);

// What Finish did.
struct PQWFinish {
    std::vector<BrakSetting> sent;    // in the order sent, failed ones included
    std::vector<std::string> failed;  // "print-speed: the port did not open (...)"
    OpResult sizeRestored;            // giving the printer its width and length back

    bool ok() const { return failed.empty() && sizeRestored.ok(); }
};

class BrakPQWPage;

class BrakPQWSession {
  public:
    // `printer` and `prompt` outlive the session; `metric` chooses how speeds are shown.
    BrakPQWSession(CBrakPrinter& printer, Prompt& prompt, bool metric);
    ~BrakPQWSession();
    BrakPQWSession(const BrakPQWSession&) = delete;
    BrakPQWSession& operator=(const BrakPQWSession&) = delete;

    // Whether the wizard serves the printer: setup tree "7.12" (generations 2 and 3).
    static bool Offered(const CBrakPrinter& printer);

    // Reads the media table of the record's paper type, seeds the values from the record and
    // sets the sample size (the printer's own read first). False, after telling the operator,
    // when the printer is not served, the table cannot be read or is empty, or the size could
    // not be set; then the printer keeps what it had. The record is kept as the program holds
    // it; values it lacks are taken from the listing just read.
    bool Start();

    int current() const { return current_; }
    BrakPQWPage& page() const;
    BrakPQWPage& page(int id) const;
    bool canGoBack() const { return current_ != kPQWPaperPage; }
    bool atEnd() const { return current_ == kPQWSummaryPage; }
    // Shows page `id` (1..6) without any page's rule (pictures of the pages).
    void Open(int id);
    // Moves on as the current page says. True when another page is shown.
    bool Next();
    void Back();

    // Sends the values that differ from the record, in the order paper type, label constant,
    // label factor, ribbon constant, ribbon factor, label offset, print speed, contrast, and
    // stores each in the record; then gives the printer its size back. Failures are named.
    PQWFinish Finish();
    // Sends nothing but the printer's own size. Returns how that went.
    OpResult Cancel();

    // For the pages.
    CBrakPrinter& printer() { return printer_; }
    Prompt& prompt() { return prompt_; }
    bool metric() const { return metric_; }
    BrakPQWValues& values() { return values_; }
    const BrakPQWValues& values() const { return values_; }
    // The table of the chosen paper type; null before Start.
    const BrakMediaTable* table() const;
    // Reads the table of the chosen paper type when it is not read yet. False after telling.
    bool EnsureTable();
    // The entry chosen on the media page (position in the table), kept between pages.
    int entry = 0;
    // Chooses the entry whose values the wizard holds (the first when none has them).
    void PreselectEntry();
    // The operator answered "Yes" on page 2.
    bool knowsMedia = true;
    // Prints a sample with the values being tried; tells the operator when that failed.
    void PrintSample(const BrakPQWValues& tried);

  private:
    void Show(int id);
    bool Tell(const std::string& text);

    CBrakPrinter& printer_;
    Prompt& prompt_;
    bool metric_;
    BrakPQWValues values_;
    BrakPQWValues record_;
    std::array<std::optional<BrakMediaTable>, 2> tables_;  // by paper type
    SampleSizeScope size_;
    std::vector<std::unique_ptr<BrakPQWPage>> pages_;
    int current_ = kPQWPaperPage;
};

// One page. Load builds its controls from the session's values; Next reads them.
class BrakPQWPage : public lanmere::PageModel {
  public:
    BrakPQWPage(BrakPQWSession& session, int id, std::string title);
    int id() const { return id_; }
    // The page to show next, or 0 to stay (after telling the operator why).
    virtual int Next() = 0;
    // The page Back shows.
    virtual int Previous() const = 0;
    void Save() override {}

  protected:
    BrakPQWSession& session_;

  private:
    int id_;
};

// The pages, by their number (brak_pqw_pages.cpp).
std::unique_ptr<BrakPQWPage> MakePQWPage(BrakPQWSession& session, int id);

}  // namespace tarvo::app
