// The print quality wizard's pages: the paper type (with the ribbon check), whether the
// operator knows the media, the media list and speed for ribbons and for direct-thermal labels,
// the contrast, and the summary.
#include <algorithm>

#include "brakenholm/brak_pqw_session.h"
#include "brakenholm/value_tables.h"

namespace tarvo::app {
namespace {

namespace lm = lanmere;

lm::Field PageText(std::string id, std::string text) {
    return lm::Field{.id = std::move(id), .control = lm::Control::Text, .text = std::move(text)};
}

lm::Field PageRadios(std::string id, std::string label, std::vector<std::string> choices,
                     int selected) {
    return lm::Field{.id = std::move(id),
                     .control = lm::Control::Radios,
                     .label = std::move(label),
                     .choices = std::move(choices),
                     .selected = selected};
}

lm::Field PageButton(std::string id, std::string label) {
    return lm::Field{
        .id = std::move(id), .control = lm::Control::Button, .label = std::move(label)};
}

std::string PQWContrastText(int position) {
    return std::string(
        TableText(ContrastTable(), static_cast<std::uint16_t>(position)).value_or("?"));
}

// The values with the entry's constant, factor and offset taken for the paper type.
BrakPQWValues WithEntry(BrakPQWValues v, const BrakMediaEntry& e) {
    if (v.transfer()) {
        v.ribbonConstant = static_cast<std::int16_t>(e.constant);
        v.ribbonFactor = static_cast<std::int16_t>(e.factor);
        v.labelOffset = static_cast<std::int16_t>(e.offset);
    } else {
        v.labelConstant = static_cast<std::int16_t>(e.constant);
        v.labelFactor = static_cast<std::int16_t>(e.factor);
    }
    return v;
}

class CBrakPQWPage1 final : public BrakPQWPage {
  public:
    explicit CBrakPQWPage1(BrakPQWSession& s)
        : BrakPQWPage(s, kPQWPaperPage, "Print Quality Wizard - Paper Type") {}

    void Load() override {
        Reset();
        Add(PageText("question", "Select the paper type you want to use:"));
        Add(PageRadios(
            "paper", "Paper type:",
            {"Direct thermal media (no ribbon)", "Thermal transfer media (ribbon required)"},
            session_.values().paperType));
    }
    int Next() override {
        if (!session_.EnsureTable())
            return 0;
        session_.PreselectEntry();
        return kPQWKnownPage;
    }
    int Previous() const override { return kPQWPaperPage; }

  protected:
    void OnEdit(const std::string& id) override {
        if (id != "paper")
            return;
        std::uint16_t& paperType = session_.values().paperType;
        lm::Field& paper = at("paper");
        if (paper.selected == 0 || paperType == 1) {
            paperType = static_cast<std::uint16_t>(paper.selected);
            return;
        }
        const std::optional<std::int16_t> ribbon = session_.printer().ReadRibbonSensor();
        if (!ribbon) {
            // Silence says nothing about the ribbon: the choice stays as it was.
            session_.prompt().Tell(kPQWCaption,
                                   "No answer from the printer: the ribbon could not be checked, "
                                   "so the paper type stays as it was.",
                                   PromptIcon::Exclamation);
        } else if (*ribbon == 0) {
            session_.prompt().Tell(kPQWCaption, "No ribbon detected!", PromptIcon::Exclamation);
        } else {
            paperType = 1;
        }
        paper.selected = paperType;
    }
};

class CBrakPQWPage2 final : public BrakPQWPage {
  public:
    explicit CBrakPQWPage2(BrakPQWSession& s)
        : BrakPQWPage(s, kPQWKnownPage, "Print Quality Wizard - Media Type") {}

    void Load() override {
        Reset();
        Add(PageRadios("known", "Do you know your Quorvane media type?", {"Yes", "No"},
                       session_.knowsMedia ? 0 : 1));
    }
    int Next() override {
        session_.knowsMedia = field("known").selected == 0;
        return session_.values().transfer() ? kPQWRibbonPage : kPQWLabelPage;
    }
    int Previous() const override { return kPQWPaperPage; }
};

// The media list and the print speed, for ribbons; CBrakPQWPage3B shows labels.
class CBrakPQWPage3 : public BrakPQWPage {
  public:
    explicit CBrakPQWPage3(BrakPQWSession& s)
        : CBrakPQWPage3(s, kPQWRibbonPage, "Print Quality Wizard - Ribbon and Speed") {}

    void Load() override {
        Reset();
        const bool transfer = id() == kPQWRibbonPage;
        const char* what = transfer ? "ribbon type" : "direct-thermal type";
        Add(PageText("intro", session_.knowsMedia
                                  ? std::string("Select your ") + what + " and the print speed:"
                                  : std::string("Select a ") + what +
                                        " and print a sample; try others until the quality suits "
                                        "you:"));
        const BrakMediaTable& table = *session_.table();
        lm::Field media{.id = "media", .control = lm::Control::Table};
        media.columns = transfer ? std::vector<std::string>{"Ribbon Type", "Receiving Material"}
                                 : std::vector<std::string>{"DT Type/Speed", "Paper Designation"};
        for (const BrakMediaEntry& e : table.entries()) {
            std::string name = e.name;
            name.resize(std::max(name.size(), table.longestName()), ' ');
            media.rows.push_back({name, e.description});
        }
        media.selected = std::clamp(session_.entry, 0, static_cast<int>(media.rows.size()) - 1);
        Add(std::move(media));
        lm::Field speed{.id = "speed", .control = lm::Control::DropList, .label = "Print speed:"};
        for (int i = 0; i < kPQWSpeedCount; ++i)
            speed.choices.push_back(PQWSpeedText(PQWSpeedAt(i), session_.metric()));
        speed.selected = PQWSpeedPosition(session_.values().printSpeed);
        Add(std::move(speed));
        Add(PageButton("sample", "Print Sample"));
    }
    int Next() override {
        const BrakMediaEntry& e = Chosen();
        const int speed = PQWSpeedAt(field("speed").selected);
        if (speed > e.maxSpeed && !ProceedOverMaximum(speed, e.maxSpeed)) {
            at("speed").selected = PQWSpeedPosition(session_.values().printSpeed);
            return 0;
        }
        BrakPQWValues& v = session_.values();
        v = WithEntry(v, e);
        v.printSpeed = speed;
        return kPQWContrastPage;
    }
    int Previous() const override { return kPQWKnownPage; }

  protected:
    CBrakPQWPage3(BrakPQWSession& s, int id, std::string title)
        : BrakPQWPage(s, id, std::move(title)) {}

    void OnEdit(const std::string& id) override {
        if (id == "media")
            session_.entry = field("media").selected;
    }
    void OnPress(const std::string& id) override {
        if (id != "sample")
            return;
        BrakPQWValues tried = WithEntry(session_.values(), Chosen());
        tried.printSpeed = PQWSpeedAt(field("speed").selected);
        session_.PrintSample(tried);
    }

  private:
    const BrakMediaEntry& Chosen() const {
        const auto& entries = session_.table()->entries();
        const int last = static_cast<int>(entries.size()) - 1;
        return entries[static_cast<std::size_t>(std::clamp(field("media").selected, 0, last))];
    }
    bool ProceedOverMaximum(int speed, int maximum) {
        const bool metric = session_.metric();
        const Question question{kPQWCaption,
                                "Selected print speed " + PQWSpeedText(speed, metric) +
                                    " exceeds\nrecommended maximum of " +
                                    PQWSpeedText(maximum, metric) + ".\nProceed?",
                                PromptButtons::YesNo, PromptIcon::Exclamation, PromptAnswer::No};
        return session_.prompt().Ask(question) == PromptAnswer::Yes;
    }
};

class CBrakPQWPage3B final : public CBrakPQWPage3 {
  public:
    explicit CBrakPQWPage3B(BrakPQWSession& s)
        : CBrakPQWPage3(s, kPQWLabelPage, "Print Quality Wizard - Label and Speed") {}
};

class CBrakPQWPage4 final : public BrakPQWPage {
  public:
    explicit CBrakPQWPage4(BrakPQWSession& s)
        : BrakPQWPage(s, kPQWContrastPage, "Print Quality Wizard - Contrast") {}

    void Load() override {
        Reset();
        const int position = session_.values().contrast;
        Add(PageText("question", "Use the slide bar to fine tune the print contrast:"));
        Add(lm::Field{.id = "contrast",
                      .control = lm::Control::Slider,
                      .label = "Contrast:",
                      .value = position,
                      .minimum = 0,
                      .maximum = 10,
                      .lowText = "-10%",
                      .highText = "+10%"});
        Add(PageText("percent", "Setting: " + PQWContrastText(position)));
        Add(PageButton("sample", "Print Sample"));
    }
    int Next() override { return kPQWSummaryPage; }
    int Previous() const override {
        return session_.values().transfer() ? kPQWRibbonPage : kPQWLabelPage;
    }

  protected:
    void OnEdit(const std::string& id) override {
        if (id != "contrast")
            return;
        session_.values().contrast = static_cast<std::int16_t>(field("contrast").value);
        at("percent").text = "Setting: " + PQWContrastText(session_.values().contrast);
    }
    void OnPress(const std::string& id) override {
        if (id == "sample")
            session_.PrintSample(session_.values());
    }
};

class CBrakPQWPage5 final : public BrakPQWPage {
  public:
    explicit CBrakPQWPage5(BrakPQWSession& s)
        : BrakPQWPage(s, kPQWSummaryPage, "Print Quality Wizard - Summary") {}

    void Load() override {
        Reset();
        const BrakPQWValues& v = session_.values();
        const bool transfer = v.transfer();
        const auto& entries = session_.table()->entries();
        const BrakMediaEntry& e = entries[static_cast<std::size_t>(
            std::clamp(session_.entry, 0, static_cast<int>(entries.size()) - 1))];
        Add(PageText("heading", "Print Quality settings you have selected:"));
        Add(PageText("media", (transfer ? "Ribbon Type: " : "DT Type/Speed: ") + e.name));
        Add(PageText("designation",
                     (transfer ? "Receiving Material: " : "Paper Designation: ") + e.description));
        const std::string kind(
            MediaValueKind(transfer ? MediaKind::ThermalTransfer : MediaKind::DirectThermal));
        Add(PageText(
            "constant",
            kind + " Constant: " + std::to_string(transfer ? v.ribbonConstant : v.labelConstant)));
        Add(PageText("factor", kind + " Factor: " +
                                   std::to_string(transfer ? v.ribbonFactor : v.labelFactor)));
        if (transfer)
            Add(PageText("offset", "Label Offset: " + std::to_string(v.labelOffset)));
        Add(PageText("contrast", "Contrast: " + PQWContrastText(v.contrast)));
        Add(PageText("speed", "Print Speed: " + PQWSpeedText(v.printSpeed, session_.metric())));
    }
    int Next() override { return 0; }
    int Previous() const override { return kPQWContrastPage; }
};

}  // namespace

std::unique_ptr<BrakPQWPage> MakePQWPage(BrakPQWSession& session, int id) {
    switch (id) {
        case kPQWPaperPage:
            return std::make_unique<CBrakPQWPage1>(session);
        case kPQWKnownPage:
            return std::make_unique<CBrakPQWPage2>(session);
        case kPQWRibbonPage:
            return std::make_unique<CBrakPQWPage3>(session);
        case kPQWLabelPage:
            return std::make_unique<CBrakPQWPage3B>(session);
        case kPQWContrastPage:
            return std::make_unique<CBrakPQWPage4>(session);
        default:
            return std::make_unique<CBrakPQWPage5>(session);
    }
}

}  // namespace tarvo::app
