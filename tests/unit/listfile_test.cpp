// The firmware script: every script error, the first line, the check pass before the execute
// pass, and the cases a list written by hand runs into.
#include <gtest/gtest.h>

#include <map>

#include "services/firmware/firmware_download.h"
#include "services/firmware/listfile.h"

namespace tarvo::firmware {
namespace {

int ParseCode(std::string_view text) {
    std::optional<ScriptLine> line;
    return ParseScriptLine(text, &line);
}

ScriptLine Parsed(std::string_view text) {
    std::optional<ScriptLine> line;
    EXPECT_EQ(ParseScriptLine(text, &line), 0) << text;
    return line.value_or(ScriptLine{});
}

// Records what the execute pass asked for; files named "missing" do not read, "taken" exists.
class RecordingExecutor final : public ScriptExecutor {
  public:
    int checkReadable(const std::string& name) override {
        return name == "missing" ? kScriptCannotRead : 0;
    }
    int checkCreatable(const std::string& name) override {
        return name == "taken" ? kScriptCannotCreate : 0;
    }
    int eraseFlash(std::uint32_t a) override { return log("erase", a); }
    int printHello(std::uint32_t n) override { return log("hello", n); }
    int fileToFlash(const std::string& name, std::uint32_t a) override {
        return log("flash " + name, a);
    }
    int ramToFile(const std::string& name, std::uint32_t a, std::uint32_t n) override {
        return log("ram " + name + " " + std::to_string(n), a);
    }
    std::vector<std::string> calls;
    int failWith = 0;

  private:
    int log(const std::string& what, std::uint32_t a) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%x", a);
        calls.push_back(what + "@" + hex);
        return failWith;
    }
};

TEST(ListFile, EveryScriptErrorHasItsCode) {
    const std::string token32(32, 'a');
    struct Case {
        std::string line;
        int code;
    };
    const Case cases[] = {
        {"printhello " + std::string(75, '1'), kScriptLineTooLong},
        {"eraseflash " + token32, kScriptTokenTooLong},
        {"ramtofile a 1 2 3", kScriptTooManyTokens},
        {"burnflash 0", kScriptUnknownCommand},
        {"ramtofile dump.bin 0", kScriptTooFewArguments},
        {"printhello 1 2", kScriptTooManyArguments},
        {"eraseflash 1234567890", kScriptBadHex},
        {"eraseflash 12g4", kScriptBadHex},
        {"filetoflash fw\x01.bin 0", kScriptBadName},
        {"filetoflash fw\x80.bin 0", kScriptBadName},
        {"filetoflash ../fw.bin 0", kScriptBadName},
        {"filetoflash sub/fw.bin 0", kScriptBadName},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseCode(c.line), c.code) << c.line;
    std::uint32_t n = 0;
    EXPECT_EQ(CheckArgument(ArgumentKind::ReadableFile, "", &n), kScriptEmptyName);
    EXPECT_EQ(CheckArgument(ArgumentKind::WritableFile, "", &n), kScriptEmptyName);
    EXPECT_EQ(CheckArgument(ArgumentKind::Unknown, "x", &n), kScriptUnknownKind);
    RecordingExecutor files;
    TextLines unreadable("filetoflash missing 0\n");
    EXPECT_EQ(CheckScript(unreadable, files), kScriptCannotRead);
    TextLines existing("ramtofile taken 0 10\n");
    EXPECT_EQ(CheckScript(existing, files), kScriptCannotCreate);
}

TEST(ListFile, LineLengthIsCountedUpToItsEnd) {
    const std::string eighty = "printhello " + std::string(69, ' ');
    ASSERT_EQ(eighty.size(), 80u);
    EXPECT_EQ(ParseCode(eighty), kScriptTooFewArguments);
    EXPECT_EQ(ParseCode(eighty + " "), kScriptLineTooLong);
    // A comment may run on: only what comes before ";" counts.
    EXPECT_EQ(ParseCode("printhello 1 ;" + std::string(200, 'c')), 0);
    // A long line is never split into two lines.
    RecordingExecutor run;
    const std::string joined = "printhello 1" + std::string(100, ' ') + "printhello 2\n";
    TextLines lines(joined);
    EXPECT_EQ(ExecuteScript(lines, run), kScriptLineTooLong);
    EXPECT_TRUE(run.calls.empty());
}

TEST(ListFile, FirstLineNamesTheImage) {
    std::string name;
    EXPECT_EQ(ParseImageName("fw.bin", &name), 31);
    EXPECT_EQ(ParseImageName("", &name), 31);
    EXPECT_EQ(ParseImageName(";", &name), 31);
    EXPECT_EQ(ParseImageName(";../fw.bin", &name), 31);
    EXPECT_EQ(ParseImageName(";/etc/passwd", &name), 31);
    ASSERT_EQ(ParseImageName(";FW 1.bin \t\r\n", &name), 0);
    EXPECT_EQ(name, "FW 1.bin");
}

TEST(ListFile, HandWrittenLines) {
    const ScriptLine flash = Parsed("filetoflash fw.bin FEE00000 ; the image");
    EXPECT_EQ(flash.command, ScriptCommand::FileToFlash);
    EXPECT_EQ(flash.fileName, "fw.bin");
    EXPECT_EQ(flash.address, 0xFEE00000u);
    EXPECT_EQ(ParseCode("filetoflash fw.bin"), kScriptTooFewArguments);
    EXPECT_EQ(ParseCode("eraseflash 1234567890"), kScriptBadHex);
    const ScriptLine hello = Parsed("PrintHello\t2A");
    EXPECT_EQ(hello.command, ScriptCommand::PrintHello);
    EXPECT_EQ(PrintHelloText(hello.address), "\r\n\"printhello\" called, argument: 0x2a");
    const ScriptLine ram = Parsed("RAMTOFILE,Dump.Bin,,bffb0000,800");
    EXPECT_EQ(ram.fileName, "Dump.Bin");  // names keep their case
    EXPECT_EQ(ram.length, 0x800u);
    std::optional<ScriptLine> none;
    EXPECT_EQ(ParseScriptLine(" \t, ; only a comment", &none), 0);
    EXPECT_FALSE(none.has_value());
}

TEST(ListFile, CheckPassFindsAnErrorBeforeTheExecutePassRunsAnything) {
    const std::string script =
        ";fw.bin\r\n\r\neraseflash fee00000\r\nfiletoflash fw.bin fee00000\r\n"
        "ramtofile dump.bin bffb0000 10\r\nprinthello 0\r\nbogus\r\n";
    RecordingExecutor run;
    TextLines check(script);
    EXPECT_EQ(CheckScript(check, run), kScriptUnknownCommand);
    EXPECT_TRUE(run.calls.empty());
    const std::string withoutLast = script.substr(0, script.size() - 7);
    TextLines good(withoutLast);
    ASSERT_EQ(ExecuteScript(good, run), 0);
    EXPECT_EQ(run.calls, (std::vector<std::string>{"erase@fee00000", "flash fw.bin@fee00000",
                                                   "ram dump.bin 16@bffb0000", "hello@0"}));
    run.calls.clear();
    run.failWith = 29;
    TextLines failing(script);
    EXPECT_EQ(ExecuteScript(failing, run), 29);
    EXPECT_EQ(run.calls.size(), 1u);
}

}  // namespace
}  // namespace tarvo::firmware
