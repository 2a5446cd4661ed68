// The administrator log-in: back to the plain user, switch to "admin" with the operator's
// password, and confirm with whoami. A Brakenholm printer is asked through its printer object;
// any other printer through the kernel's shell-user functions, with the same messages.
#pragma once

#include "brakenholm/brak_printer.h"
#include "shell/app_session.h"
#include "shell/printer_base.h"
#include "shell/prompt.h"

namespace tarvo::app {

// Runs the three steps with `password` on the session's current printer. A failure is shown
// through `prompt` (caption "Error", stop icon) and returned with the same text as detail. A
// password that could change the printer's command line is refused before anything is sent.
OpResult LogInAsAdministrator(AppSession& session, Prompt& prompt, const SecretText& password);

// Asks for the password through `prompt` (never from the command line or the environment),
// then logs in as above. The password is wiped as soon as the steps are done.
OpResult LogInAsAdministrator(AppSession& session, Prompt& prompt);

}  // namespace tarvo::app
