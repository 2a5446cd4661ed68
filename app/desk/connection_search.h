// The connection dialogs' logic for a Lanmere-family search: the texts of the communication-
// problem dialog, the printer-group choice, and the "Testing Printer Connection" window, which
// follows the kernel's auto-connect search through SearchObserver. The window itself only shows
// a SearchWindowModel and passes its button back.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "desk/desk.h"
#include "shell/search_observer.h"

namespace tarvo::app {

// The view's private message numbers (after the first user message number, 0x400) by which
// the dialogs hand over to one another.
inline constexpr unsigned kMsgUserBase = 0x400;
inline constexpr unsigned kMsgShowProblemDialog = kMsgUserBase + 100;
inline constexpr unsigned kMsgSearchLanmere = kMsgUserBase + 101;
inline constexpr unsigned kMsgCloseSearchWindow = kMsgUserBase + 102;
inline constexpr unsigned kMsgShowGroupDialog = kMsgUserBase + 103;
inline constexpr unsigned kMsgSearchBrakenholm = kMsgUserBase + 104;
inline constexpr unsigned kMsgSearchBoth = kMsgUserBase + 105;
inline constexpr unsigned kMsgResetSearchWindow = kMsgUserBase + 8;

// The communication-problem dialog's texts.
struct ProblemDialogText {
    std::string title;
    std::string heading;
    std::string intro;
    std::array<std::string, 4> causes;
};
const ProblemDialogText& ProblemDialogTexts();

// The printer groups of the group dialog, in its order; DontKnow is selected on opening.
enum class PrinterGroup { Lanmere, Brakenholm, DontKnow };
// The group dialog's caption, question and the texts of the three choices.
struct GroupDialogText {
    std::string caption;
    std::string question;
    std::array<std::string, 3> choices;
};
const GroupDialogText& GroupDialogTexts();
// The view message that the group dialog's OK sends for `group`.
unsigned GroupSearchMessage(PrinterGroup group);

// The six value fields of the search window for one trial.
struct TrialFields {
    std::string port;
    std::string baud;  // blank when no rate is given
    std::string dataBits;
    std::string stopBits;
    std::string protocol;
    std::string parity;
    bool baudEnabled = true;
    // Data bits, stop bits and parity (with their labels): disabled and blank for a parallel
    // trial.
    bool serialFieldsEnabled = true;
};

// The fields for `trial`; `parallel` as the kernel reports it.
TrialFields DescribeTrial(const commState& trial, bool parallel);

// Title, button and the three message lines of the search window.
struct SearchWindowText {
    std::string title;
    std::string button;  // "Cancel", or "OK" once a printer was found
    bool buttonVisible = true;
    std::array<std::string, 3> lines;
};
SearchWindowText SearchResetText();
SearchWindowText SearchSuccessText();
SearchWindowText SearchFailureText();

// What the search window shows, driven by the kernel's search. Success sets the session's
// auto-connect-succeeded and identified flags. The button cancels a running search (the cancel
// field goes back to the kernel before its next attempt) and sets give-up.
class SearchWindowModel final : public SearchObserver {
  public:
    explicit SearchWindowModel(SessionFlags& flags) : flags_(flags) {}

    // Back to the opening state ("Testing Printer Connection", Cancel, blank lines and fields).
    void Reset();

    void Trial(const commState& trial) override;
    void Found(const commState& found) override;
    void NotFound() override;
    bool CancelRequested() override { return cancelRequested_; }

    // The operator pressed the window's button: while the search runs it is Cancel (give-up,
    // stop the search); after the outcome it closes the window.
    void PressButton();

    const SearchWindowText& text() const { return text_; }
    const TrialFields& fields() const { return fields_; }
    bool running() const { return running_; }
    // The window should close (after success or by its button).
    bool closeRequested() const { return closeRequested_; }

    // Called after every change, so the window can repaint and handle pending input (the
    // search runs on the caller's thread).
    std::function<void()> onChange;

  private:
    void Changed();

    SessionFlags& flags_;
    SearchWindowText text_ = SearchResetText();
    TrialFields fields_{};
    bool running_ = false;
    bool cancelRequested_ = false;
    bool closeRequested_ = false;
};

// The Lanmere search: resets the window, makes the current printer object family-neutral when
// it was a Brakenholm one, runs the kernel's auto-connect reporting to `window`, then reads the
// settings again so that the session uses what was found. Returns true when a printer was found
// and its settings stored; otherwise the previous printer object is put back.
bool RunLanmereSearch(Desk& desk, SearchWindowModel& window);

// The Brakenholm search: resets the window, makes the current printer object a Brakenholm one
// (for the session's Brakenholm model, else the first) and lets it search. Returns true when a
// printer was found; otherwise the previous printer object is put back. Which model was found
// is the identification's to say (AutoConnect).
bool RunBrakenholmSearch(Desk& desk, SearchWindowModel& window);

// The search the group dialog asks for. "Don't know" runs the Brakenholm search and then, unless
// it found a printer or the operator gave up or stopped it, the Lanmere search. Returns true
// when a printer was found.
bool RunGroupSearch(Desk& desk, SearchWindowModel& window, PrinterGroup group);

}  // namespace tarvo::app
