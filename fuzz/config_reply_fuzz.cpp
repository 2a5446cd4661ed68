// Fuzzes the configuration reply parser. The first input byte picks the model (and so which
// commands the record takes), the rest is the reply as a printer sent it. A reply that fails
// must leave the record untouched; one that parses must survive being written out as a
// configuration text and read back.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/command_letters.h"
#include "config/reply_parser.h"
#include "config/setting_access.h"
#include "fuzz_check.h"
#include "port/bounded_copy.h"
#include "tarvo/base/model_tables.h"
#include "tarvo/base/notation.h"
#include "tarvo/base/setting_rules.h"
#include "tarvo/types.h"

namespace {

tarvo::ConfigRecord Fresh(int model) {
    tarvo::ConfigRecord r;
    r.model = static_cast<std::int16_t>(model);
    tarvo::CopyBounded("2.9", r.firmware, sizeof r.firmware);
    r.valueV = tarvo::kValueVNotSent;
    if (model == 8 || model == 9)
        r.emulation = 4;  // what these models' replies are always read as
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const int model = data[0] % tarvo::kTableModelCount;
    const std::string reply(reinterpret_cast<const char*>(data + 1), size - 1);
    const tarvo::ConfigRecord start = Fresh(model);
    tarvo::ConfigRecord parsed = start;
    if (!tarvo::ParseConfigurationReply(reply, parsed)) {
        Check(parsed == start, "a failed parse changed the record");
        return 0;
    }
    std::string text;
    if (tarvo::BuildConfigurationText(parsed, &text) != PCU_OK)
        return 0;  // a ';' or '<' start or end character, which no command carries
    text += "<ETX>";
    tarvo::ExpandMnemonics(text);
    tarvo::ConfigRecord again = start;
    Check(tarvo::ParseConfigurationReply(text, again), "the configuration text does not parse");
    for (int s = 1; s < tarvo::kConfigSettingCount; ++s) {
        if (tarvo::SettingReachesPrinter(model, "2.9", s, nullptr))
            Check(tarvo::ReadSetting(again, s) == tarvo::ReadSetting(parsed, s),
                  "a setting did not survive the configuration text");
    }
    return 0;
}
