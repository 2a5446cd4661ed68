// The desktop program's Prompt: questions as message boxes, file choosers as file dialogs, the
// status line and the wait cursor of the main window.
#pragma once

#include <QString>
#include <deque>
#include <functional>

#include "shell/prompt.h"

class QWidget;

namespace tarvo::app::qt {

// "Text file (*.txt)|*.txt||" (the core's filter notation) as a file dialog's filter list
// ("Text file (*.txt);;..."). Empty parts are skipped.
QString DialogFilter(const std::string& filter);

class QtPrompt final : public Prompt {
  public:
    // `parent` (may be null) owns the dialogs; `status` (may be empty) shows status texts.
    explicit QtPrompt(QWidget* parent, std::function<void(const QString&)> status = {});

    void setParent(QWidget* parent) { parent_ = parent; }
    void setStatusSink(std::function<void(const QString&)> status) { status_ = std::move(status); }

    // The tests' seam: a queued answer is returned by the next question (or file chooser)
    // instead of showing a dialog; the question is still recorded in lastQuestion().
    void queueAnswer(PromptAnswer answer) { answers_.push_back(answer); }
    void queueFile(FileChoice choice) { files_.push_back(std::move(choice)); }
    const Question& lastQuestion() const { return last_; }
    const std::string& lastDetails() const { return lastDetails_; }
    int busyDepth() const { return busy_; }

    PromptAnswer Ask(const Question& question) override;
    // The details go below the text in a fixed-width block, so that their columns line up.
    PromptAnswer AskWithDetails(const Question& question, const std::string& details) override;
    FileChoice ChooseOpenFile(const FileRequest& request) override;
    FileChoice ChooseSaveFile(const FileRequest& request) override;
    PasswordEntry EnterPassword(const std::string& caption, const std::string& label) override;
    void SetStatus(const std::string& text) override;
    void BeginBusy() override;
    void EndBusy() override;

  private:
    FileChoice ChooseFile(const FileRequest& request, bool save);
    PromptAnswer Show(const Question& question, const std::string& details);

    QWidget* parent_;
    std::function<void(const QString&)> status_;
    std::deque<PromptAnswer> answers_;
    std::deque<FileChoice> files_;
    Question last_;
    std::string lastDetails_;
    int busy_ = 0;
};

}  // namespace tarvo::app::qt
