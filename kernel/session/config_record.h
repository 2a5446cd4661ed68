// The configuration values of a context, as an escape-language printer reports and takes them.
// Field widths are those of the printer's own record; PCUGetParms and PCUPutParms move the
// fields by setting index (config/setting_access.h), the reply parser fills them from a printer
// or a file, and the configuration text is built from them.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace tarvo {

// Room for the firmware text and its terminator.
inline constexpr int kFirmwareSize = 32;

struct ConfigRecord {
    std::int16_t model = 0;                // model index; setting 0
    char firmware[kFirmwareSize] = {};     // as the printer last reported it, always terminated
    std::uint16_t emulation = 0;           // C, 2: kernel order (dots-per-inch table)
    std::int32_t printSpeed = 0;           // S, 3: speed key, tenths of in/s
    std::uint16_t charSet = 0;             // l, 4
    std::uint16_t imageBands = 0;          // I, 5
    std::uint16_t memorySize = 0;          // N, 6: KB
    std::uint16_t memoryFree = 0;          // 7: KB, from <ESC>m
    std::uint16_t imageSize = 0;           // 8: KB, model table or <ESC>m1
    std::uint8_t selfStrip = 0;            // t, 9
    std::uint8_t cutter = 0;               // c, 10
    std::uint16_t valueA = 0;              // A, 30: menu security level
    std::uint8_t audibleAlarm = 0;         // a, 32
    std::uint8_t valueH1 = 0;              // h, 34: mirror printing
    std::uint8_t valueH2 = 0;              // h, 35: inverse printing
    std::uint16_t valueP2 = 0;             // p (second), 36
    std::uint16_t valueP1 = 0;             // p (first), 37
    std::uint16_t onlineAtPowerUp = 0;     // O, 33: 0 means online at power-up
    std::uint8_t secondSpeed = 0;          // 40: never sent to or read from a printer
    std::uint8_t valueZ = 0;               // z, 41: slashed zero
    std::uint16_t valueV = 0;              // v, 42: 99 means not sent
    std::uint16_t mediaType = 0;           // g (first), 11: 0 direct thermal
    std::uint16_t labelStock = 0;          // T, 12: 1 gap, 2 mark, other continuous
    std::uint16_t mediaSensitivity = 0;    // g (second), 13
    std::int32_t darkness = 0;             // d, 14
    std::uint16_t labelLength = 0;         // L, 15: eighths of a millimetre
    std::uint16_t labelWidth = 0;          // W, 31: dots
    std::uint16_t paperHandling = 0;       // 16: derived, never sent
    std::uint8_t retract = 0;              // R, 17
    std::int16_t topOfForm = 0;            // F, 18: dots, signed
    std::uint16_t trailMargin = 0;         // D, 19: dots
    std::int32_t restAdjust = 0;           // f, 20
    std::int32_t takeUpAdjust = 0;         // b, 21: %
    std::uint8_t valueE = 0;               // e, 38: 0 reprints the last label
    std::uint8_t mediaStatus = 0;          // <ESC>j, 22
    std::uint8_t bufferStatus = 0;         // <ESC>d, 23
    std::uint8_t memoryStatus = 0;         // <ESC>e, 24
    std::uint8_t languageTranslation = 0;  // i, 25
    std::uint16_t messageDelay = 0;        // <ESC><SYN>, 26: ms
    std::uint16_t interCharDelay = 0;      // <SYN>, 27: ms
    char startChar = 0;                    // <SOH>, 28: 0 none
    char endChar = 0;                      // <EOT>, 29: 0 none
    std::uint16_t serialFlag = 0;          // 39: fifth value of <SI>P in replies

    bool operator==(const ConfigRecord&) const = default;
};

// The firmware text, bounded by the array even if a terminator went missing.
inline std::string_view FirmwareText(const ConfigRecord& record) {
    return {record.firmware, strnlen(record.firmware, kFirmwareSize)};
}

// valueV of a record that does not send <SI>v.
inline constexpr std::uint16_t kValueVNotSent = 99;

// Paper handling as the printer's trail margin, self-strip and cutter imply it: 0 batch,
// 1 tear off, 2 self strip, 3 cutter. A record with no trail margin but self-strip or cutter set
// keeps the value it had, since the printer then reports nothing that decides it.
void DerivePaperHandling(ConfigRecord& record);

}  // namespace tarvo
