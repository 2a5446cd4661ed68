// The Printer Configuration sheet: the Standard page (model, firmware, emulation, speed,
// character set, image bands, memory), the Options page (security, power-up, alarm, mirror,
// inverse, slashed zero, verifier) and the Directory page (the printer's stored objects).
//
// A stored value that none of a control's choices stands for (a speed outside the model's
// mask, an emulation the model lacks) is left as it is unless the operator picks a choice.
#pragma once

#include <vector>

#include "lanmere/lan_page.h"

namespace tarvo::app::lanmere {

class CCfgPrtPage2;

// The character-set names of the page, index = value 4.
const std::vector<std::string>& CharacterSetNames();

// The highest character set a model offers: setting 4's value when it is at most 20, else the
// top set bit of it as a mask (0x7ff gives 10). -1 when the model has no such setting.
int HighestCharacterSet(int model);

// The speed keys (tenths of an inch per second) a page offers, ascending: the set bits of
// setting 3's mask, or of setting 40's when `secondSpeedSet` (value 9 is 1).
std::vector<int> AllowedSpeeds(int model, bool secondSpeedSet);

// The position in `speeds` that stands for `key`: the equal key, else the highest below it,
// else the lowest. -1 for an empty list.
int SpeedPosition(const std::vector<int>& speeds, int key);

class CCfgPrtPage1 final : public LanPage {
  public:
    explicit CCfgPrtPage1(Desk& desk) : LanPage(desk, "Standard") {}
    // The Options page whose slashed-zero box follows this page's character set.
    void Link(CCfgPrtPage2* options) { options_ = options; }

    void Load() override;
    void Save() override;

  protected:
    void OnEdit(const std::string& id) override;

  private:
    std::vector<int> emulations_;  // program-order value of each choice
    std::vector<int> speeds_;      // key of each choice
    CCfgPrtPage2* options_ = nullptr;
};

class CCfgPrtPage2 final : public LanPage {
  public:
    explicit CCfgPrtPage2(Desk& desk) : LanPage(desk, "Options") {}

    void Load() override;
    void Save() override;
    // The Standard page chose character set `charSet` (-1: none): slashed zero is offered only
    // with "USA" (0); another set clears and disables it.
    void CharacterSetChanged(int charSet);

  private:
    void applySlashedZeroRule();

    int charSet_ = 0;
};

class CCfgPrtPage3 final : public LanPage {
  public:
    explicit CCfgPrtPage3(Desk& desk) : LanPage(desk, "Directory") {}

    // Lists the fonts, graphics, formats and pages the kernel's directory holds (no printer
    // traffic).
    void Load() override;
    void Save() override {}
};

class CCfgPrtSheet final : public SheetModel {
  public:
    explicit CCfgPrtSheet(Desk& desk);
};

}  // namespace tarvo::app::lanmere
