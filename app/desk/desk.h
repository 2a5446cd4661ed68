// What the main commands work on: the session record, the prompt, and the Lanmere printer's
// configuration as the program holds it between the printer, the kernel and files.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "desk/command_files.h"
#include "desk/last_send.h"
#include "shell/app_session.h"
#include "shell/prompt.h"
#include "tarvo/list.h"
#include "tarvo/models.h"

namespace tarvo::app {

// A kernel object list (fonts or graphics selected for sending), freed with its owner.
class ObjectList {
  public:
    ObjectList();
    ~ObjectList();
    ObjectList(const ObjectList&) = delete;
    ObjectList& operator=(const ObjectList&) = delete;

    cl_node* head() const { return head_; }
    int Count() const;
    void Clear();

  private:
    cl_node* head_;
};

// The Lanmere configuration: the 43 values in the program's own order (value 2 permuted, see
// config_values.h), the installed options, the printer's object counts and the lists of
// objects selected for sending.
struct LanConfig {
    std::array<int, PROP_SETTING_COUNT> values{};
    std::array<int, 3> options{};
    int network = 0;  // 1 when the printer has a network interface
    std::uint16_t fontCount = 0;
    std::uint16_t graphicCount = 0;
    std::uint16_t formatCount = 0;
    std::uint16_t pageCount = 0;
    ObjectList fonts;
    ObjectList graphics;
    // Command files to send and installed ones to delete (the Command File dialog).
    CommandFileQueue commandFiles;
    // Download flags: configuration, fonts, graphics, formats and pages.
    std::array<int, 4> download{1, 1, 1, 1};
    // The values as the printer last stated them (same order as `values`), once read: what
    // Send to Printer changes is told against them.
    std::optional<std::array<int, PROP_SETTING_COUNT>> printerValues;
};

struct Desk {
    Desk(AppSession& s, Prompt& p) : session(s), prompt(p) {}

    AppSession& session;
    Prompt& prompt;
    LanConfig config;
    // What the printer held before the last send from this program, as also kept on disk.
    std::optional<LastSend> lastSend;

    int ctx() const { return session.kernelHandle; }
};

// Beeps (the prompt decides how) and shows string `stringId` captioned "Warning" with a stop
// icon; stringId 0 shows the kernel's text for the session's last error.
void ShowWarning(Desk& desk, int stringId);

// Tells the operator, captioned "Warning" with a stop icon, what went wrong when `result`
// failed (a cancelled operation is not told). Returns `result`.
OpResult TellIfFailed(Desk& desk, OpResult result);

// Puts string `stringId` into the status line.
void SetStatusText(Desk& desk, int stringId);

// printf into a std::string (the texts of the string table take values).
std::string Format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tarvo::app
