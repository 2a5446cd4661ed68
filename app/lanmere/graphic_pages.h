// The Graphics Setup sheet: the Select page picks a bitmap and how the printer is to store it
// (magnification or size, rotation, location), shows it as the printer will print it with its
// size in dots and bytes, and queues the request in the session's graphic list; the View page
// lists what is queued and what the printer holds.
#pragma once

#include <string>
#include <vector>

#include "lanmere/lan_page.h"
#include "lanmere/object_view_page.h"
#include "tarvo/directory.h"

namespace tarvo::app::lanmere {

class CGraphicPage1 final : public LanPage {
  public:
    explicit CGraphicPage1(Desk& desk) : LanPage(desk, "Select") {}

    void Load() override;
    std::string Validate() const override;
    void Save() override;

    // The request the page would queue now (valid after a bitmap was chosen).
    GraphicInfo Request() const;

  protected:
    void OnEdit(const std::string& id) override;
    void OnPress(const std::string& id) override;

  private:
    void ChooseFile();
    void PresetSize();
    void ApplyRules();
    void UpdatePreview();
    std::string SizeProblem() const;

    std::string path_;
};

class CGraphicPage2 final : public ObjectViewPage<GraphicInfo> {
  public:
    explicit CGraphicPage2(Desk& desk);

  protected:
    ObjectList& Queue() override { return desk_.config.graphics; }
    std::vector<GraphicInfo> Installed() override;
    std::vector<std::string> QueuedDetails(const GraphicInfo& g) const override;
    int PutInstalled(const GraphicInfo& g) override;
};

class CGraphicSheet final : public SheetModel {
  public:
    explicit CGraphicSheet(Desk& desk);
};

// The magnifications the Select page offers, in its order ("1/8x" .. "10x"), and their factors.
const std::vector<std::string>& MagnificationTexts();
double MagnificationFactor(int position);

}  // namespace tarvo::app::lanmere
