// A prompt for tests: the answers to questions, file choosers and password entries are queued
// in advance; a question that nobody expected fails the test. Notices (one OK button) need no
// answer and are recorded with everything else that was shown.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "shell/prompt.h"

namespace tarvo::test {

class ScriptedPrompt final : public app::Prompt {
  public:
    ~ScriptedPrompt() override;

    // The next question must contain `textPart`; it gets `answer`.
    void ExpectQuestion(std::string textPart, app::PromptAnswer answer);
    void ExpectOpenFile(app::FileChoice choice);
    void ExpectSaveFile(app::FileChoice choice);
    // The next password entry gets `outcome` and, when Entered, `password`.
    void ExpectPassword(app::PasswordEntry::Outcome outcome, std::string password = {});

    app::PromptAnswer Ask(const app::Question& question) override;
    app::FileChoice ChooseOpenFile(const app::FileRequest& request) override;
    app::FileChoice ChooseSaveFile(const app::FileRequest& request) override;
    app::PasswordEntry EnterPassword(const std::string& caption, const std::string& label) override;
    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    void BeginBusy() override;
    void EndBusy() override;

    // Everything shown, questions and notices, in order.
    std::vector<app::Question> shown;
    std::vector<std::string> statuses;
    std::vector<app::FileRequest> fileRequests;
    int busyDepth = 0;
    int busyScopes = 0;  // how many busy scopes were opened in all

    // The texts of the notices (one OK button) shown, in order.
    std::vector<std::string> Notices() const;

  private:
    struct Expected {
        enum class Kind { Question, OpenFile, SaveFile, Password } kind = Kind::Question;
        std::string textPart;
        app::PromptAnswer answer = app::PromptAnswer::Ok;
        app::FileChoice file;
        app::PasswordEntry::Outcome passwordOutcome = app::PasswordEntry::Outcome::Cancelled;
        std::string password;
    };
    bool Take(Expected::Kind kind, const std::string& what, Expected* out);

    std::deque<Expected> expected_;
};

}  // namespace tarvo::test
