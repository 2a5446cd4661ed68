#include "config/command_letters.h"

#include <cstdio>
#include <string_view>

#include "tarvo/base/model_tables.h"
#include "tarvo/base/notation.h"
#include "tarvo/base/setting_rules.h"
#include "tarvo/types.h"

namespace tarvo {
namespace {

// Appends commands to the text; numbers as printf's %0<width>d would write them (a minus sign
// counts towards the width, so -5 at width 3 is "-05").
class TextBuilder {
  public:
    explicit TextBuilder(std::string& out) : out_(out) {}

    std::string Number(long long value, int width) {
        char digits[24];
        std::snprintf(digits, sizeof digits, "%0*lld", width, value);
        return digits;
    }
    // <SI> letter value ;
    void Si(char letter, long long value, int width = 1) {
        out_ += "<SI>";
        out_ += letter;
        out_ += Number(value, width);
        out_ += ';';
    }
    // <SI> letter first , second ;
    void SiPair(char letter, long long first, long long second) {
        out_ += "<SI>";
        out_ += letter;
        out_ += Number(first, 1);
        out_ += ',';
        out_ += Number(second, 1);
        out_ += ';';
    }
    void Raw(std::string_view text) { out_ += text; }

  private:
    std::string& out_;
};

// A start or end character after its command: 0 is <NUL> with no separator, a control byte is
// spelled by name so that a file keeps it on its line, and <DLE> is escaped by another, as the
// printer's replies escape it, since a reader skips the first.
std::string FrameCharacter(char c) {
    if (c == '\0')
        return "<NUL>";
    if (c == '\x10')
        return "<DLE><DLE>;";
    const auto byte = static_cast<unsigned char>(c);
    std::string text = byte < 0x20 ? RenderMnemonics(std::string_view(&c, 1)) : std::string(1, c);
    return text + ";";
}

bool Offered(const ConfigRecord& r, int setting) {
    return SettingReachesPrinter(r.model, FirmwareText(r), setting, nullptr);
}

void BuildSiCommands(const ConfigRecord& r, TextBuilder& t) {
    if (Offered(r, 30))
        t.Si('A', r.valueA);
    if (Offered(r, 32))
        t.Si('a', r.audibleAlarm);
    if (Offered(r, 21))
        t.Si('b', r.takeUpAdjust, 3);
    t.Si('C', r.emulation);
    t.Si('c', r.cutter);
    t.Si('D', r.trailMargin, 4);
    t.Si('d', r.darkness, 3);
    if (Offered(r, 38))
        t.Si('e', r.valueE);
    t.Si('F', r.topOfForm, 4);
    t.Si('f', r.restAdjust, 3);
    t.SiPair('g', r.mediaType, r.mediaSensitivity);
    if (Offered(r, 34))
        t.SiPair('h', r.valueH1, r.valueH2);
    t.Si('I', r.imageBands, 2);
    t.Si('i', r.languageTranslation);
    t.Si('L', r.labelLength, 4);
    t.Si('l', r.charSet);
    t.Si('N', r.memorySize, 3);
    if (Offered(r, 33))
        t.Si('O', r.onlineAtPowerUp);
    if (Offered(r, 36))
        t.SiPair('p', r.valueP1, r.valueP2);
    t.Si('z', r.valueZ);
    if (r.valueV != kValueVNotSent)
        t.Si('v', r.valueV);
    t.Si('R', r.retract);
    t.Si('S', r.printSpeed, 2);
    t.Si('T', r.labelStock);
    t.Si('t', r.selfStrip);
    if (Offered(r, 31))
        t.Si('W', r.labelWidth, 4);
}

void BuildLineCommands(const ConfigRecord& r, TextBuilder& t) {
    t.Raw("<SYN>" + t.Number(r.interCharDelay, 4) + ";");
    t.Raw("<SOH>" + FrameCharacter(r.startChar));
    t.Raw("<EOT>" + FrameCharacter(r.endChar));
    t.Raw("<ESC>k;");
    if (r.mediaStatus != 0)
        t.Raw("<ESC>j;");
    if (r.bufferStatus != 0)
        t.Raw("<ESC>d;");
    if (r.memoryStatus != 0)
        t.Raw("<ESC>e;");
    t.Raw("<ESC><SYN>" + t.Number(r.messageDelay, 4) + ";");
}

}  // namespace

int BuildConfigurationText(const ConfigRecord& record, std::string* text) {
    if (!IsTableModel(record.model) ||
        !FrameCharacterCarried(static_cast<unsigned char>(record.startChar), nullptr) ||
        !FrameCharacterCarried(static_cast<unsigned char>(record.endChar), nullptr)) {
        return PCU_ERR_ARGUMENT;
    }
    std::string out;
    TextBuilder t(out);
    BuildSiCommands(record, t);
    BuildLineCommands(record, t);
    text->swap(out);
    return PCU_OK;
}

std::string ConfigurationHeader(const ConfigRecord& record) {
    std::string_view firmware = FirmwareText(record);
    firmware = firmware.substr(0, firmware.find_first_of(" \r\n"));
    return "<ETX>" + std::string(ModelName(record.model)) + "," + std::string(firmware);
}

}  // namespace tarvo
