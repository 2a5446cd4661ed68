#include "desk/lan_strings.h"

#include <utility>

namespace tarvo::app::text {
namespace {

// clang-format off
constexpr std::pair<int, const char*> kTable[] = {
    {1, "Unable to identify port selection. Please check the Tarvo profile."},
    {2, "Unable to identify selected printer. Please check the Tarvo profile."},
    {3, "Unable to identify selected baud rate. Please check the Tarvo profile."},
    {kAboutMemory, "%lu KB"},
    {kAboutFreeSpace, "%lu KB Free on %s"},
    {kUnavailable, "Unavailable"},
    {kBaudChanged, "Current baud setting: %s\nis invalid for this printer --\nchanged to: 9600"},
    {kUsingDefaults, "Using default configuration settings. \n\nTo change printers, choose "
                     "\"Services\", then \"Select Printer\" from the menu bar. \n\nTo change "
                     "communication parameters go to the \"Connect - Communications\" dialog."},
    {kAskLoad, "Load data from attached printer into PC?"},
    {kLoadFailed, "Could not retrieve configuration data from attached printer. Check "
                  "communication or printer status for problems."},
    {kValuesUnreadable, "Could not retrieve configuration data from PC memory. Contact "
                        "Quorvane help personnel."},
    {kSaveExtension, "You must specify the extension as \".TCF\" in order to save a file."},
    {kSaveFontFace, "Font \"%s\", at location %d, must be installed on this computer in order "
                    "to perform the requested operation."},
    {kAskSendNotRetrieved, "Configuration parameters were not retrieved from the attached "
                           "printer. Overwrite printer settings?"},
    {kAskSend, "Send current updates to attached printer?"},
    {kSendFailed, "Could not send configuration data to attached printer. Check communication "
                  "or printer status for problems.\n"},
    {kNoPrinterMemory, "Not enough memory in printer to save selected fonts and/or graphics. "
                       "Reduce selection and try again."},
    {kGraphicTooLarge, "Selected graphic  \"%s\",  at location %d\n exceeds allowable "
                       "dimensions for this printer model. Resize graphic if possible and try "
                       "again."},
    {kSendingFonts, "Sending font(s) to printer -- please wait."},
    {kFontMemory, "Font \"%s\", at location %d, requires more memory than is currently "
                  "available in the printer. Reduce lead byte range or delete unneeded fonts, "
                  "graphics and formats."},
    {kFontFace, "Font \"%s\", at location %d, must be installed on this computer in order to "
                "perform the requested operation."},
    {kSendingGraphics, "Sending graphics to printer -- please wait."},
    {kSendingFormats, "Sending format(s) to printer -- please wait."},
    {kUpdating, "Updating Tarvo memory -- please wait."},
    {kUpdateConfigFailed, "Could not update printer configuration command changes in Tarvo. "
                          "Printer communication problem."},
    {kImageBandChanged, "Printer memory constraints -- image band request changed from %d to "
                        "%d."},
    {kUpdateFontsFailed, "Could not update printer font changes in Tarvo. Printer "
                         "communication problem."},
    {kAskSetToDefault, "Set configuration data to the default state for the current printer?"},
    {kOtherModelAttached, "You have selected an Quorvane model %s.\n\nYou are currently "
                          "connected to an Quorvane model %s.\n\nDo you wish  to continue?"},
    {kResetFailed, "Printer Reset failed. Check for a possible communications problem."},
    {kReady, "Tarvo ready - select menu item or click on pushbutton"},
    {kInitializing, "Initializing Tarvo -- please wait..."},
    {kSavingFile, "Saving Tarvo data to file"},
    {kRebooting, "Please wait while the printer reboots."},
    {kHelpPrompt, "For Help, press F1"},
    {61322, "Printer Configuration"},
    {61323, "Communications Setup"},
    {61324, "Font Setup"},
    {61325, "Graphics Setup"},
    {61326, "Media Type"},
};
// clang-format on

}  // namespace

const char* StringText(int id) {
    for (const auto& [number, text] : kTable) {
        if (number == id)
            return text;
    }
    return "";
}

}  // namespace tarvo::app::text
