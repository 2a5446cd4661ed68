#include "support/scripted_prompt.h"

#include <gtest/gtest.h>

namespace tarvo::test {

using app::FileChoice;
using app::PasswordEntry;
using app::PromptAnswer;
using app::PromptButtons;

ScriptedPrompt::~ScriptedPrompt() {
    EXPECT_TRUE(expected_.empty())
        << expected_.size() << " expected prompt(s) never came, "
        << "the first expecting \"" << expected_.front().textPart << "\"";
    EXPECT_EQ(busyDepth, 0) << "a busy scope was left open";
}

void ScriptedPrompt::ExpectQuestion(std::string textPart, PromptAnswer answer) {
    Expected e;
    e.kind = Expected::Kind::Question;
    e.textPart = std::move(textPart);
    e.answer = answer;
    expected_.push_back(std::move(e));
}

void ScriptedPrompt::ExpectOpenFile(FileChoice choice) {
    Expected e;
    e.kind = Expected::Kind::OpenFile;
    e.file = std::move(choice);
    expected_.push_back(std::move(e));
}

void ScriptedPrompt::ExpectSaveFile(FileChoice choice) {
    Expected e;
    e.kind = Expected::Kind::SaveFile;
    e.file = std::move(choice);
    expected_.push_back(std::move(e));
}

void ScriptedPrompt::ExpectPassword(PasswordEntry::Outcome outcome, std::string password) {
    Expected e;
    e.kind = Expected::Kind::Password;
    e.passwordOutcome = outcome;
    e.password = std::move(password);
    expected_.push_back(std::move(e));
}

bool ScriptedPrompt::Take(Expected::Kind kind, const std::string& what, Expected* out) {
    if (expected_.empty() || expected_.front().kind != kind) {
        ADD_FAILURE() << "unexpected prompt: " << what;
        return false;
    }
    *out = std::move(expected_.front());
    expected_.pop_front();
    return true;
}

PromptAnswer ScriptedPrompt::Ask(const app::Question& question) {
    shown.push_back(question);
    if (question.buttons == PromptButtons::Ok)
        return PromptAnswer::Ok;
    Expected e;
    if (!Take(Expected::Kind::Question, question.text, &e))
        return question.defaultAnswer;
    EXPECT_NE(question.text.find(e.textPart), std::string::npos)
        << "expected a question containing \"" << e.textPart << "\", got \"" << question.text
        << "\"";
    return e.answer;
}

FileChoice ScriptedPrompt::ChooseOpenFile(const app::FileRequest& request) {
    fileRequests.push_back(request);
    Expected e;
    if (!Take(Expected::Kind::OpenFile, "open file chooser", &e))
        return {FileChoice::Outcome::Cancelled, {}};
    return e.file;
}

FileChoice ScriptedPrompt::ChooseSaveFile(const app::FileRequest& request) {
    fileRequests.push_back(request);
    Expected e;
    if (!Take(Expected::Kind::SaveFile, "save file chooser", &e))
        return {FileChoice::Outcome::Cancelled, {}};
    return e.file;
}

PasswordEntry ScriptedPrompt::EnterPassword(const std::string& caption, const std::string&) {
    Expected e;
    if (!Take(Expected::Kind::Password, "password entry: " + caption, &e))
        return {PasswordEntry::Outcome::Cancelled, {}};
    PasswordEntry entry;
    entry.outcome = e.passwordOutcome;
    entry.password = app::SecretText::From(e.password);
    return entry;
}

void ScriptedPrompt::BeginBusy() {
    ++busyDepth;
    ++busyScopes;
}

void ScriptedPrompt::EndBusy() {
    EXPECT_GT(busyDepth, 0) << "busy scope ended twice";
    --busyDepth;
}

std::vector<std::string> ScriptedPrompt::Notices() const {
    std::vector<std::string> texts;
    for (const app::Question& q : shown) {
        if (q.buttons == PromptButtons::Ok)
            texts.push_back(q.text);
    }
    return texts;
}

}  // namespace tarvo::test
