#include "shell/prompt.h"

#include <string.h>

#include <utility>

namespace tarvo::app {

void WipeMemory(void* p, std::size_t n) {
    ::explicit_bzero(p, n);
}

SecretText::~SecretText() {
    Clear();
}

SecretText::SecretText(SecretText&& other) noexcept : data_(other.data_), size_(other.size_) {
    other.Clear();
}

SecretText& SecretText::operator=(SecretText&& other) noexcept {
    if (this != &other) {
        data_ = other.data_;
        size_ = other.size_;
        other.Clear();
    }
    return *this;
}

bool SecretText::Append(char c) {
    if (size_ == kCapacity)
        return false;
    data_[size_++] = c;
    return true;
}

void SecretText::Clear() {
    WipeMemory(data_.data(), data_.size());
    size_ = 0;
}

SecretText SecretText::From(std::string_view text) {
    SecretText secret;
    for (char c : text) {
        if (!secret.Append(c))
            break;
    }
    return secret;
}

std::optional<std::string> PasswordProblem(std::string_view password) {
    if (password.size() > SecretText::kCapacity) {
        return "The password is longer than " + std::to_string(SecretText::kCapacity) +
               " characters.";
    }
    for (char c : password) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7F)
            return std::string("The password may hold only printable ASCII characters.");
        if (c == ' ')
            return std::string("The password may not hold blanks.");
        if (c == '"' || c == '\'')
            return std::string("The password may not hold quotes.");
        // What the printers' shells read as syntax (the same set the kernel refuses).
        if (std::string_view("`;<>\\$|&").find(c) != std::string_view::npos)
            return std::string("The password may not hold any of ` ; < > \\ $ | &.");
    }
    return std::nullopt;
}

PromptAnswer Prompt::AskWithDetails(const Question& question, const std::string& details) {
    if (details.empty())
        return Ask(question);
    Question withDetails = question;
    withDetails.text += "\n\n" + details;
    return Ask(withDetails);
}

void Prompt::Tell(const std::string& caption, const std::string& text, PromptIcon icon) {
    Ask(Question{caption, text, PromptButtons::Ok, icon, PromptAnswer::Ok});
}

}  // namespace tarvo::app
