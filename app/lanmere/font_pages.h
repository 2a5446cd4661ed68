// The Font Setup sheet: the Select page picks a host font (an installed face or a font file) and
// how the printer is to store it, shows it as the download will draw it, and queues the request
// in the session's font list; the View page lists what is queued and what the printer holds.
// Conversion and download happen at Send to Printer.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "lanmere/lan_page.h"
#include "lanmere/object_view_page.h"
#include "tarvo/directory.h"

namespace tarvo::app::lanmere {

// The locale identifier of a locale name such as "ja_JP" (the language's own identifier for a
// bare language such as "ja"): the Chinese, Japanese and Korean ones the character-set list
// knows, 0 for any other.
int LocaleIdOf(std::string_view localeName);

// The double-byte entry the character-set list offers for `localeId` ("Japanese" for 0x411),
// or "" for none.
std::string DoubleByteEntry(int localeId);

// The name of double-byte set 4..7 ("Japanese" for 4), or "" for another number.
std::string DoubleByteSetName(int set);

// The character range (4..7) a request with that entry carries, 0 when there is none: 0x411
// Japanese 4; 0x404, 0xC04, 0x1004 Traditional Chinese 5; 0x804 Simplified Chinese 6; 0x412,
// 0x812 Korean 7.
int DoubleByteSet(int localeId);

// Writes the byte ranges of double-byte set 4..7 into entry->dbcsRanges (the shared layout).
void StoreDoubleByteRanges(int set, FontInfo* entry);

// Picks one of the installed faces; nullopt when the operator cancels. The desktop program
// shows its TrueType Font Select dialog, tests give an answer.
using FaceChooser = std::function<std::optional<std::string>(const std::vector<std::string>&)>;

class CFontPage1 final : public LanPage {
  public:
    CFontPage1(Desk& desk, int localeId, FaceChooser chooseFace);

    void Load() override;
    std::string Validate() const override;
    void Save() override;

    // The request the page would queue now (valid after a font was chosen).
    FontInfo Request() const;

  protected:
    void OnEdit(const std::string& id) override;
    void OnPress(const std::string& id) override;

  private:
    void ChooseInstalled();
    void ChooseFile();
    void AdoptSource(const std::string& shown);
    void ApplyRules();
    void UpdatePreview();
    std::string SizeProblem() const;
    bool Speedo() const;

    int localeId_;
    FaceChooser chooseFace_;
    FontInfo source_{};  // source, path or faceName of the chosen font
    bool chosen_ = false;
};

class CFontPage2 final : public ObjectViewPage<FontInfo> {
  public:
    explicit CFontPage2(Desk& desk);

  protected:
    ObjectList& Queue() override { return desk_.config.fonts; }
    std::vector<FontInfo> Installed() override;
    std::vector<std::string> QueuedDetails(const FontInfo& f) const override;
    std::vector<std::string> InstalledDetails(const FontInfo& f) const override;
    bool MayDelete(const FontInfo& f) const override;
    int PutInstalled(const FontInfo& f) override;
};

class CFontSheet final : public SheetModel {
  public:
    CFontSheet(Desk& desk, int localeId, FaceChooser chooseFace);
};

}  // namespace tarvo::app::lanmere
