#include "brakenholm/brak_login.h"

#include <functional>
#include <string>

#include "tarvo/network.h"

namespace tarvo::app {
namespace {

OpResult Fail(Prompt& prompt, OpStatus status, const std::string& text) {
    prompt.Tell("Error", text, PromptIcon::Stop);
    return {status, std::nullopt, text};
}

// The three steps of either family.
struct LoginSteps {
    std::function<bool()> resetUser;
    std::function<bool(const SecretText&)> switchToAdmin;
    std::function<bool()> isAdmin;
};

LoginSteps PrinterSteps(CBrakPrinter& printer) {
    return {[&printer] { return printer.SwitchUser(PrinterUser::User, SecretText()).ok(); },
            [&printer](const SecretText& password) {
                return printer.SwitchUser(PrinterUser::Admin, password).ok();
            },
            [&printer] { return printer.WhoAmI(); }};
}

// The kernel's functions answer 1 for success and error codes otherwise (all nonzero).
LoginSteps KernelSteps(int ctx) {
    return {[ctx] { return PCUChangeUser(ctx, "user", "") == 1; },
            [ctx](const SecretText& password) {
                // The kernel takes a terminated text: a copy held as briefly as possible.
                std::string text(password.View());
                const bool ok = PCUChangeUser(ctx, "admin", text.c_str()) == 1;
                WipeMemory(text.data(), text.size());
                return ok;
            },
            [ctx] { return PCUCheckIfAdministrator(ctx) == 1; }};
}

OpResult RunSteps(const LoginSteps& steps, Prompt& prompt, const SecretText& password) {
    if (password.Size() == 0)
        return Fail(prompt, OpStatus::Refused, "The password may not be empty.");
    if (const auto problem = PasswordProblem(password.View()))
        return Fail(prompt, OpStatus::Refused, *problem);
    if (!steps.resetUser())
        return Fail(prompt, OpStatus::Failed, "Could not reset user!");
    if (!steps.switchToAdmin(password))
        return Fail(prompt, OpStatus::Failed, "Could not send command to printer!");
    if (!steps.isAdmin()) {
        return Fail(prompt, OpStatus::Refused,
                    "Could not change to 'admin' user! Is the password correct?");
    }
    return {};
}

}  // namespace

OpResult LogInAsAdministrator(AppSession& session, Prompt& prompt, const SecretText& password) {
    if (CBrakPrinter* printer = AsBrakPrinter(session.printer.get()))
        return RunSteps(PrinterSteps(*printer), prompt, password);
    return RunSteps(KernelSteps(session.kernelHandle), prompt, password);
}

OpResult LogInAsAdministrator(AppSession& session, Prompt& prompt) {
    PasswordEntry entry = prompt.EnterPassword("Enter Administrator password", "Password");
    switch (entry.outcome) {
        case PasswordEntry::Outcome::Entered:
            return LogInAsAdministrator(session, prompt, entry.password);
        case PasswordEntry::Outcome::Cancelled:
            return {OpStatus::Cancelled, std::nullopt, {}};
        case PasswordEntry::Outcome::TooLong:
            return Fail(prompt, OpStatus::Refused,
                        "The password is longer than " + std::to_string(SecretText::kCapacity) +
                            " characters.");
        case PasswordEntry::Outcome::Unavailable:
            break;
    }
    return Fail(prompt, OpStatus::Refused, "A password can be entered only on a terminal.");
}

}  // namespace tarvo::app
