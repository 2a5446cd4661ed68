// A Brakenholm printer object on a recording port: private surroundings and profile, a kernel
// context, a session, a scripted prompt and a fixed local time.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "brakenholm/brak_printer.h"
#include "support/fake_script_port.h"
#include "support/scripted_prompt.h"
#include "support/test_env.h"

namespace tarvo::test {

class BrakTest : public ::testing::Test {
  protected:
    BrakTest();

    // Replaces the printer by one of `model` on a fresh recording port.
    app::CBrakPrinter& MakePrinter(int model);

    // A profile value ("" when missing).
    std::string Profile(const std::string& key) const;

    TestEnv env;
    app::AppSession session;
    ScriptedPrompt prompt;
    FakeScriptPort* port = nullptr;  // owned by the printer
    std::unique_ptr<app::CBrakPrinter> printer;
};

// 2024-03-05 14:07:09, the local time the tests' printers see.
std::tm FixedLocalTime();

}  // namespace tarvo::test
