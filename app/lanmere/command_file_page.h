// The Command File dialog: the command files (formats and pages) queued for the printer, and
// the formats and pages it holds, each list with Delete and Restore, and Select Command File to
// queue another file. OK hands the queue to the desk (CommandFileQueue); the files reach the
// printer with the next Send to Printer. Opening the dialog costs no printer traffic: the
// installed objects are those of the last directory read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lanmere/lan_page.h"

namespace tarvo::app::lanmere {

// The file chooser's filter for command files.
inline constexpr const char* kCommandFileFilter =
    " Format (*.fmt)|*.fmt| QEL (*.qel)|*.qel| Label design (*.tax)|*.tax| All Files (*.*)|*.*||";

class CommandFilePage final : public LanPage {
  public:
    explicit CommandFilePage(Desk& desk) : LanPage(desk, "Command File") {}

    void Load() override;
    // Every file to send needs a number in its kind's range (formats 1 to 99, pages 1 to 9), a
    // description the printer can take, and a number no other file to send takes.
    std::string Validate() const override;
    // Replaces the desk's queue; a queue that changes marks the configuration modified.
    void Save() override;

  protected:
    void OnEdit(const std::string& id) override;
    void OnPress(const std::string& id) override;

  private:
    struct QueuedFile {
        FormatInfo info{};
        std::string number;  // as typed: the format or page number; "" when none is known
        std::string name;    // the description
        bool deleted = false;
    };
    struct Installed {
        std::uint16_t id = 0;
        bool page = false;
        std::string description;
        bool deleted = false;
    };

    void selectFile();
    void showLists();
    QueuedFile* selectedFile();
    int selectedRow(const char* table, std::size_t count) const;
    std::string numberProblem(const QueuedFile& file) const;

    std::vector<QueuedFile> files_;
    std::vector<Installed> installed_;
};

class CCmdFileDlg final : public SheetModel {
  public:
    explicit CCmdFileDlg(Desk& desk);
};

}  // namespace tarvo::app::lanmere
