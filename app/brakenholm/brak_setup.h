// The setup record of a Brakenholm printer and the names of its settings.
//
// Values are kept as the printer states them: dots, plain numbers and positions in the value
// tables (value_tables.h). The record is a plain value: the printer object owns one, the pages
// and the command-line tool copy it out, edit it and put it back.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarvo::app {

// A table position that names nothing: the printer did not state the value, or stated one that
// is not in the table. Such a field is never sent to the printer and never written to a setup
// file, so a value Tarvo does not know is left as the printer has it.
inline constexpr std::uint16_t kNoIndex = 0xFFFF;

// The same for the contrast of setup tree "7.12", which is a table position in a signed field.
inline constexpr std::int16_t kNoContrast = -1;

struct BrakSetup {
    std::uint16_t portIndex = 0;    // the session's port (0 COM1 .. 6 LPT3), copied at each parse
    std::uint16_t baud = kNoIndex;  // baud table
    std::uint16_t charLength = 0;
    std::uint16_t parity = kNoIndex;  // parity table
    std::uint16_t stopBits = 0;
    bool rtsCts = false;
    bool xonXoffToHost = false;
    bool xonXoffFromHost = false;
    std::uint16_t newLine = kNoIndex;    // new-line table
    std::int32_t imageBufferSize = 0;    // bytes, generation 1 only
    std::int32_t receiveBuffer = 0;      // bytes, generations 1 to 3
    std::int32_t transmitBuffer = 0;     // bytes, generations 1 to 3
    std::int16_t startAdjust = 0;        // dots
    std::int16_t stopAdjust = 0;         // dots
    std::int16_t lssAdjust = 0;          // generations 0 and 1; reaches the printer by file only
    std::uint16_t xStart = 0;            // dots
    std::uint16_t width = 0;             // dots
    std::int32_t length = 0;             // dots
    std::uint16_t mediaType = kNoIndex;  // media-type table
    std::uint16_t paperType = kNoIndex;  // paper-type table of the setup tree
    std::int16_t labelConstant = 0;      // the five paper-type values: generations 2 and 3
    std::int16_t labelFactor = 0;
    std::int16_t ribbonConstant = 0;
    std::int16_t ribbonFactor = 0;
    std::int16_t labelOffset = 0;
    std::int16_t contrast = 0;              // "7.12": contrast table (kNoContrast); "6.13": number
    std::uint16_t headResistance = 0;       // ohms, read only
    std::int32_t printSpeed = 0;            // generations 2 and 3
    std::uint16_t newSupplies1 = kNoIndex;  // new-supplies table
    std::uint16_t newSupplies2 = kNoIndex;  // generation 0 only
    std::uint16_t performance = kNoIndex;   // performance table, generations 0 and 1
    bool networkPresent = false;            // the listing named an IP address
    // One bit per BrakSetting: the listing or file this record was parsed from lacked it (a
    // listing cut short, a partial file). Such a value is "not read": shown as such, and
    // never sent or saved.
    std::uint64_t unread = 0;

    bool operator==(const BrakSetup&) const = default;
};

// Every setting of the record that has a meaning on the printer (the port index is the host's).
enum class BrakSetting {
    Baud,
    CharLength,
    Parity,
    StopBits,
    NewLine,
    RtsCts,
    XonXoffToHost,
    XonXoffFromHost,
    ImageBufferSize,
    ReceiveBuffer,
    TransmitBuffer,
    StartAdjust,
    StopAdjust,
    LssAdjust,
    XStart,
    Width,
    Length,
    MediaType,
    PaperType,
    LabelConstant,
    LabelFactor,
    RibbonConstant,
    RibbonFactor,
    LabelOffset,
    Contrast,
    HeadResistance,
    PrintSpeed,
    NewSupplies1,
    NewSupplies2,
    Performance,
    NetworkPresent,
};

inline constexpr int kBrakSettingCount = static_cast<int>(BrakSetting::NetworkPresent) + 1;

static_assert(kBrakSettingCount <= 64, "BrakSetup::unread holds one bit per setting");

// Whether the record holds a value of `setting` that was read (or set since).
bool WasRead(const BrakSetup& setup, BrakSetting setting);
// Marks `setting` as lacking from what the record was parsed from, or as set again.
void MarkUnread(BrakSetup& setup, BrakSetting setting);
void MarkRead(BrakSetup& setup, BrakSetting setting);

// The setting's name for people and the command line ("width", "start-adjust").
std::string_view SettingName(BrakSetting setting);

// The setting named `name` (as SettingName spells it), or nullopt.
std::optional<BrakSetting> SettingByName(std::string_view name);

}  // namespace tarvo::app
