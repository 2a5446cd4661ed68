// The Communications Setup sheet: the Printer page (status notification, language translation,
// delays, the status preamble and postamble characters) and the Port Settings page (the port,
// its device, and the serial line the program and the printer share).
//
// The Port Settings page changes the line only as a whole and only with the operator's consent:
// the printer is told its new line, the program follows, and the new settings are stored once
// the printer answers there (MoveLine); a printer that does not answer leaves the program on
// the old line, and the operator is told where the printer answers.
#pragma once

#include <optional>
#include <string>

#include "desk/line_change.h"
#include "lanmere/lan_page.h"

namespace tarvo::app::lanmere {

// A status character as the Printer page shows it: the character itself when printable, else
// "0x1B - <ESC>".
std::string StatusCharacterText(int code);

// Reads what the operator typed for a status character: one printable character, or a
// hexadecimal "0x1B" (optionally followed by " - <ESC>"). Framing (0x02, 0x03), the escape
// byte 0x10, what the configuration text cannot carry (';', '<'), codes above 0xFF and, under
// XON/XOFF, DC1 and DC3 are refused. nullopt with *why set when refused.
std::optional<int> ReadStatusCharacter(const std::string& text, bool xonXoff, std::string* why);

class CComPrinter final : public LanPage {
  public:
    explicit CComPrinter(Desk& desk) : LanPage(desk, "Printer") {}

    void Load() override;
    std::string Validate() const override;
    void Save() override;

  protected:
    void OnPress(const std::string& id) override;

  private:
    bool xonXoff() const;
};

class CComPortSetting final : public LanPage {
  public:
    explicit CComPortSetting(Desk& desk) : LanPage(desk, "Port Settings") {}

    void Load() override;
    std::string Validate() const override;
    // Stores the port, its device and the pins; then, when the line differs and the printer
    // answers, asks before moving the printer and the program to it. After the program went to
    // another serial port, device or line, asks who answers there (IdentifyAfterLineChange).
    void Save() override;

  protected:
    void OnEdit(const std::string& id) override;

  private:
    std::vector<int> rates_;  // the rate of each choice
    std::vector<int> ports_;  // the port index of each choice
    int port() const;
    SerialLine chosenLine() const;
    commState CurrentComm() const;
    void applyDefaultLine();
    void applyEnabled();
    void applyPortKind();
    std::string storedDevice() const;
    void showDevice();
    // Moves the printer and the program to `wanted` when the printer answers and the operator
    // agrees; only the program's side when nothing answers. True when the program's line changed.
    bool moveLine(const SerialLine& wanted);
};

class CComSheet final : public SheetModel {
  public:
    explicit CComSheet(Desk& desk);
};

}  // namespace tarvo::app::lanmere
