#include "support/brak_fixture.h"

#include "tarvo/context.h"

namespace tarvo::test {

std::tm FixedLocalTime() {
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 14;
    t.tm_min = 7;
    t.tm_sec = 9;
    return t;
}

BrakTest::BrakTest() {
    session.kernelHandle = PCUCfgInit();
    EXPECT_NE(session.kernelHandle, 0);
}

app::CBrakPrinter& BrakTest::MakePrinter(int model) {
    auto fake = std::make_unique<FakeScriptPort>();
    port = fake.get();
    app::BrakPrinterOptions options;
    options.localTime = FixedLocalTime;
    options.rebootPolls = 3;
    options.readDsr = [] { return std::optional<bool>(); };  // a pseudo-terminal
    printer = std::make_unique<app::CBrakPrinter>(session, prompt, model, std::move(fake), options);
    return *printer;
}

std::string BrakTest::Profile(const std::string& key) const {
    char value[256] = "";
    PCUGetProfileString(nullptr, key.c_str(), "", value, sizeof value, 0);
    return value;
}

}  // namespace tarvo::test
