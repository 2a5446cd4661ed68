// Fuzzes the loader of a configuration file's configuration part. The input is the file. A file
// that is refused must leave the record untouched; one that loads must survive being saved with
// the writer and loaded again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "config/config_file.h"
#include "config/setting_access.h"
#include "config/transfer.h"
#include "fuzz_check.h"
#include "tarvo/base/setting_rules.h"
#include "tarvo/types.h"

namespace {

using File = std::unique_ptr<std::FILE, decltype(&std::fclose)>;

File OpenMemory(const std::string& bytes) {
    // fmemopen refuses an empty buffer; a one-byte buffer read for zero bytes stands in.
    static char empty = 0;
    void* buffer = bytes.empty() ? &empty : const_cast<char*>(bytes.data());
    return File(::fmemopen(buffer, bytes.size(), "rb"), &std::fclose);
}

int Load(const std::string& bytes, tarvo::ConfigRecord& record) {
    File file = OpenMemory(bytes);
    Check(file != nullptr, "fmemopen failed");
    int badLine = -1;
    const int status = tarvo::LoadConfigurationPart(file.get(), record, &badLine);
    Check((status == 0) == (badLine == 0), "a failure names its line, a success none");
    return status;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    tarvo::ConfigRecord start;
    start.darkness = 42;
    tarvo::ConfigRecord loaded = start;
    const int status = Load(input, loaded);
    if (status != PCU_OK) {
        Check(status == PCU_ERR_FILE_PARSE || status == PCU_ERR_FILE_MODEL ||
                  status == PCU_ERR_FILE_READ,
              "an unexpected status");
        Check(loaded == start, "a refused file changed the record");
        return 0;
    }
    const std::string firmware(tarvo::FirmwareText(loaded));
    if (loaded.model == 8 || loaded.model == 9)
        loaded.emulation = 4;  // a file without <SI>C keeps another, which reads back as 4
    std::string saved;
    if (tarvo::WriteConfiguration(nullptr, &saved, loaded) != 0)
        return 0;  // a ';' or '<' start or end character, which no command carries
    tarvo::ConfigRecord again;
    Check(Load(saved, again) == PCU_OK, "a saved configuration does not load");
    Check(again.model == loaded.model, "the model did not survive");
    // A firmware text that ends in the name of the frame end loses it, as any line does.
    if (!firmware.ends_with("<ETX>"))
        Check(std::string(tarvo::FirmwareText(again)) == firmware, "the firmware did not survive");
    for (int s = 1; s < tarvo::kConfigSettingCount; ++s) {
        if (tarvo::SettingReachesPrinter(loaded.model, firmware, s, nullptr))
            Check(tarvo::ReadSetting(again, s) == tarvo::ReadSetting(loaded, s),
                  "a setting did not survive saving and loading");
    }
    return 0;
}
