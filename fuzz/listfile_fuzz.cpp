// Fuzzes the firmware script: the first line's image name and every script line, through the
// check pass and the execute pass with an executor that only records. A line that parses must
// carry a command's arguments in range; both passes must agree on the first error.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "services/firmware/listfile.h"

namespace {

using namespace tarvo::firmware;

class Recorder final : public ScriptExecutor {
  public:
    int checkReadable(const std::string& name) override { return named(name, 5); }
    int checkCreatable(const std::string& name) override { return named(name, 7); }
    int eraseFlash(std::uint32_t) override { return ++calls, 0; }
    int printHello(std::uint32_t) override { return ++calls, 0; }
    int fileToFlash(const std::string& name, std::uint32_t) override {
        return ++calls, named(name, 0);
    }
    int ramToFile(const std::string& name, std::uint32_t, std::uint32_t) override {
        return ++calls, named(name, 0);
    }
    int calls = 0;

  private:
    // Names handed on are plain names; one starting with 'x' stands for a missing file.
    static int named(const std::string& name, int missing) {
        Check(IsPlainFileName(name), "a name that is not plain was handed on");
        return !name.empty() && name[0] == 'x' ? missing : 0;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string image;
    if (ParseImageName(text.substr(0, text.find('\n')), &image) == 0)
        Check(IsPlainFileName(image), "the image name is not a plain name");
    Recorder checker;
    TextLines checkLines(text);
    const int checked = CheckScript(checkLines, checker);
    Check(checker.calls == 0, "the check pass carried something out");
    Recorder runner;
    TextLines runLines(text);
    const int ran = ExecuteScript(runLines, runner);
    Check(checked == ran, "the passes disagree");
    Check(ran == 0 || ran == 5 || ran == 7 || (ran >= 130 && ran <= 146), "unknown error code");
    return 0;
}
