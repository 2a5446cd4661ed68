// The base of the Lanmere configuration pages: a page model over the desk's 43 configuration
// values, with the model's domains and the measurement mode at hand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "desk/desk.h"
#include "lanmere/page_model.h"

namespace tarvo::app::lanmere {

// A model's domain of one setting as the model tables give it.
struct Domain {
    int kind = PROP_KIND_OTHER;
    int first = 0;   // list: the mask; range: the minimum
    int second = 0;  // range: the maximum
};

// A length control: value `index` in units of `mmPerUnit` millimetres (0: the model's dot
// pitch), shown in the measurement mode's unit. `loaded` keeps the text the page showed when it
// was loaded: the length is stored back only when the text changed, since a text rounded to
// 0.01 does not always lead back to the same number of printer units.
struct LengthField {
    const char* id;
    int index;
    const char* name;  // for messages: "Label Length"
    double mmPerUnit;
    std::string loaded;
};

// The numbers of one kind of the kernel directory's entries, in list order, read from the host
// side (no printer traffic): `count` and `ids` take the context and fill in the kind's count and
// numbers, as PCUGetPageCount and PCUGetPageIDs do. Empty when the kernel gives none.
template <typename Count, typename Ids>
std::vector<std::uint16_t> DirectoryNumbers(int ctx, Count count, Ids ids) {
    std::uint16_t n = 0;
    if (count(ctx, &n) != 0 || n == 0)
        return {};
    std::vector<std::uint16_t> numbers(n);
    if (ids(ctx, numbers.data(), &n) != 0)
        return {};
    numbers.resize(n);
    return numbers;
}

// An object's number as the printer lists it: two digits at least ("03").
std::string ObjectNumberText(unsigned id);

class LanPage : public PageModel {
  public:
    LanPage(Desk& desk, std::string title) : PageModel(std::move(title)), desk_(desk) {}

  protected:
    int model() const { return desk_.session.model; }
    bool metric() const { return desk_.session.metric; }
    // Value `index` as the program holds it (emulation in the program's order).
    int value(int index) const;
    // Stores value `index`; a value that changes marks the configuration modified.
    void store(int index, int v);
    // Whether the model and firmware offer setting `index`.
    bool supported(int index) const;
    Domain domain(int index) const;

    // Adds a drop list or radios; the choice equal to value(index)'s position is the page's
    // business, so nothing is selected.
    Field& AddChoice(std::string id, Control control, std::string label,
                     std::vector<std::string> choices, std::string group = {});
    // Adds a check box showing whether value `index` is not 0, enabled when supported.
    Field& AddFlag(std::string id, int index, std::string label, std::string group = {});
    // Adds a spin box over value `index` bounded by its model range; enabled when supported.
    Field& AddBounded(std::string id, int index, std::string label, std::string unit = {},
                      std::string group = {});

    // Adds an edit of six characters showing `length`, and remembers its text.
    Field& AddLength(LengthField& length, std::string label, std::string group = {});
    // "" when the length's text is unchanged, or a number inside the setting's model range;
    // otherwise a message naming the range in the unit shown.
    std::string CheckLength(const LengthField& length) const;
    // Stores the length when its text changed (CheckLength passed).
    void SaveLength(const LengthField& length);

    // Saves a flag: 1 or 0 when the box was edited; left as it is otherwise.
    void SaveFlag(const std::string& id, int index);
    // Saves a spin box when the operator changed it (a stored value outside the range, which
    // the box cannot show, is left as it is).
    void SaveBounded(const std::string& id, int index);

    Desk& desk_;
};

}  // namespace tarvo::app::lanmere
