// The texts the main commands show, by their string-table number. The numbers are kept so that
// the desktop program, the help pages and the tests all name a message the same way.
#pragma once

namespace tarvo::app::text {

inline constexpr int kAboutMemory = 103;      // "%lu KB"
inline constexpr int kAboutFreeSpace = 104;   // "%lu KB Free on %s"
inline constexpr int kUnavailable = 105;      // "Unavailable"
inline constexpr int kBaudChanged = 61204;    // stored rate refused for the model
inline constexpr int kUsingDefaults = 61206;  // identification gave up
inline constexpr int kAskLoad = 61213;
inline constexpr int kLoadFailed = 61214;
inline constexpr int kValuesUnreadable = 61216;
inline constexpr int kSaveExtension = 61218;
inline constexpr int kSaveFontFace = 61219;
inline constexpr int kAskSendNotRetrieved = 61220;
inline constexpr int kAskSend = 61221;
inline constexpr int kSendFailed = 61222;
inline constexpr int kNoPrinterMemory = 61223;
inline constexpr int kGraphicTooLarge = 61224;
inline constexpr int kSendingFonts = 61225;
inline constexpr int kFontMemory = 61226;
inline constexpr int kFontFace = 61227;
inline constexpr int kSendingGraphics = 61228;
inline constexpr int kSendingFormats = 61229;
inline constexpr int kUpdating = 61230;
inline constexpr int kUpdateConfigFailed = 61231;
inline constexpr int kImageBandChanged = 61232;
inline constexpr int kUpdateFontsFailed = 61233;
inline constexpr int kAskSetToDefault = 61234;
inline constexpr int kOtherModelAttached = 61235;
inline constexpr int kResetFailed = 61327;
inline constexpr int kReady = 61328;
inline constexpr int kInitializing = 61329;
inline constexpr int kSavingFile = 61330;
inline constexpr int kRebooting = 61332;
inline constexpr int kHelpPrompt = 57345;

// The text of string-table entry `id` (printf-style where the entry takes values); "" for an
// unknown id. Static storage.
const char* StringText(int id);

}  // namespace tarvo::app::text
