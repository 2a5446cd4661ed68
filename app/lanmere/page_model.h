// Configuration pages without widgets. A page model holds what each control of a page shows
// (its choices, value, text, whether it is enabled), applies the page's rules when the
// operator edits a control, checks the entries, and moves the values between the session's
// configuration and its controls. A widget only shows a page model and passes the operator's
// edits to it, so one page serves a tabbed sheet, a dialog and a wizard alike, and the tests
// drive the pages without a display.
//
// The contract: Load() fills the controls from the configuration; the operator edits; on OK
// or Apply the holder asks Validate() and, when it passes, Save(); on Cancel it calls
// Discard(). Nothing reaches the configuration before Save().
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "shell/prompt.h"

namespace tarvo::app::lanmere {

enum class Control {
    DropList,  // one of `choices`, as a drop-down list
    Radios,    // one of `choices`, as radio buttons
    Spin,      // an integer `value` in minimum..maximum
    Edit,      // a line of `text`, at most maxLength characters (0: any)
    Combo,     // a line of `text` as Edit, with `choices` offered to pick from
    Check,     // `value` 0 off, 1 on; 2 "left as it is" for a tri-state box
    Slider,    // an integer `value` in minimum..maximum, shown beside the slider
    Text,      // read-only `text`
    Button,    // pressed through PageModel::Press
    Table,     // read-only `rows` under `columns`; `selected` is the chosen row (-1: none)
    Image,     // read-only `image`: printer dots, shown enlarged
};

// Printer dots, top row first: `dots` holds width x height bytes, 1 printed and 0 blank.
struct DotImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> dots;

    bool operator==(const DotImage&) const = default;
};

// One control of a page and its state. `id` names it for the widget and the tests.
struct Field {
    std::string id;
    Control control = Control::Text;
    std::string label;  // before the control; a check box's or button's own text
    std::string group;  // the frame the control sits in ("" for none)
    std::string unit;   // after the control ("KB", "in.")
    bool enabled = true;
    bool visible = true;
    bool readOnly = false;
    bool triState = false;  // Check: the operator may leave the value as it is (2)

    std::vector<std::string> choices;  // DropList, Radios, Combo
    int selected = -1;                 // DropList, Radios: position in choices, -1 for none
    std::vector<bool> choiceEnabled;   // Radios: whether each choice can be chosen (empty: all)
    int value = 0;                     // Spin, Slider, Check
    int minimum = 0;                   // Spin, Slider
    int maximum = 0;
    std::string lowText;  // Slider: the texts at its two ends ("Lighter", "Darker")
    std::string highText;
    std::string text;  // Edit, Text
    int maxLength = 0;
    std::vector<std::string> columns;            // Table
    std::vector<std::vector<std::string>> rows;  // Table
    DotImage image;                              // Image

    bool edited = false;  // the operator changed it since the last load
};

class PageModel {
  public:
    explicit PageModel(std::string title) : title_(std::move(title)) {}
    virtual ~PageModel() = default;
    PageModel(const PageModel&) = delete;
    PageModel& operator=(const PageModel&) = delete;

    const std::string& title() const { return title_; }
    // The controls in the order the page shows them.
    const std::vector<Field>& fields() const { return fields_; }
    // The control named `id`; a name the page does not have is a programming error (aborts).
    const Field& field(std::string_view id) const;
    // Whether the operator edited anything since the last Load() or Save().
    bool modified() const { return modified_; }

    // Fills the controls from the configuration and forgets the edits.
    virtual void Load() = 0;
    // "" when the entries can be saved; otherwise a message for the operator that names the
    // control and the range it takes.
    virtual std::string Validate() const { return {}; }
    // Copies the controls into the configuration; called only after Validate() passed. A value
    // that changes marks the configuration modified.
    virtual void Save() = 0;
    // Throws the edits away: the controls show the configuration again.
    void Discard() { Load(); }

    // The operator's edits. Each marks the control edited and the page modified, then lets the
    // page apply its rules (which may change other controls). An edit of a disabled, read-only
    // or hidden control, of a disabled choice, or a value outside its control's domain, is
    // ignored. Choosing a table's row selects it without modifying the page.
    void Choose(std::string_view id, int position);
    void SetValue(std::string_view id, int value);
    void SetText(std::string_view id, std::string text);
    void Press(std::string_view id);

  protected:
    // Appends a control; returns it for the page to fill in.
    Field& Add(Field field);
    Field& at(std::string_view id);
    // Drops every control (a page rebuilds them on Load) and the modified mark.
    void Reset();
    // The page's rules after the operator edited control `id`.
    virtual void OnEdit(const std::string& id) { (void)id; }
    virtual void OnPress(const std::string& id) { (void)id; }

  private:
    Field* editable(std::string_view id);

    std::string title_;
    std::vector<Field> fields_;
    bool modified_ = false;
};

// Pages shown together under one title (a tabbed sheet, or a dialog of one page).
class SheetModel {
  public:
    explicit SheetModel(std::string title) : title_(std::move(title)) {}
    virtual ~SheetModel() = default;

    const std::string& title() const { return title_; }
    const std::vector<std::unique_ptr<PageModel>>& pages() const { return pages_; }

    // Loads every page.
    void Load();
    // OK and Apply: validates the pages in order; the first that fails is reported through
    // `prompt` (captioned "Warning") and its position returned, with nothing saved. Otherwise
    // saves every page, loads them again and returns -1.
    int Accept(Prompt& prompt);
    // Cancel: every page discards its edits.
    void Discard();

  protected:
    template <typename Page, typename... Args>
    Page& AddPage(Args&&... args) {
        auto page = std::make_unique<Page>(std::forward<Args>(args)...);
        Page& ref = *page;
        pages_.push_back(std::move(page));
        return ref;
    }

  private:
    std::string title_;
    std::vector<std::unique_ptr<PageModel>> pages_;
};

}  // namespace tarvo::app::lanmere
