#include "session/errors.h"

#include <array>
#include <cstdio>

#include "session/kernel_state.h"
#include "tarvo/context.h"
#include "tarvo/downloads.h"
#include "tarvo/services.h"

namespace tarvo {
namespace {

constexpr const char* kGeneric = "Error occurred in PCU DLL.";
constexpr const char* kNoContext = "Could not find configuration context.";
// Code 0 and codes past the table have no text of their own; the two lookups word their
// fallback differently and programs may match on either.
constexpr const char* kKernelFallback = "Error occurred in KERNEL DLL";
constexpr const char* kPcuFallback = "Error occurred in PCU DLL";
constexpr const char* kBusy = "Another printer operation is still in progress.";
constexpr const char* kArgument = "Invalid argument passed to the printer kernel.";
constexpr const char* kImageFormat =
    "The image file is not an uncompressed bitmap that can be read.";
constexpr const char* kImageSize = "The graphic's size in dots is out of range.";
constexpr const char* kGraphicFrame =
    "The graphic is too tall for the messages of the printer's protocol.";
constexpr const char* kObjectNumber = "The command file names no valid format or page number.";
constexpr const char* kDbcsRanges =
    "The double-byte ranges or the output name of the font are not valid.";
constexpr const char* kPrinterMemory =
    "The printer does not have enough free memory for the object.";

constexpr const char* kNoFreeFormat =
    "No free format for a test label: the printer did not list its formats, or formats 1 to 99 "
    "are all in use.";

constexpr int kFirstCodeWithoutText = 38;

const std::array<const char*, kFirstCodeWithoutText> kTable = {
    "Successful execution.",  // 0
    kGeneric,
    kNoContext,  // 2
    kGeneric,
    kGeneric,
    kGeneric,
    "Could not read data from connected printer.",  // 6
    kGeneric,
    kGeneric,
    kGeneric,
    kGeneric,
    "Unable to open printer.",  // 11
    kGeneric,
    kGeneric,
    kGeneric,
    kGeneric,
    kGeneric,
    kGeneric,
    kGeneric,
    kGeneric,
    kGeneric,
    "File create error in PCU DLL.",  // 21
    kGeneric,
    kGeneric,
    kGeneric,
    kGeneric,
    kGeneric,
    kGeneric,
    kGeneric,
    kGeneric,
    "Could not read configuration data from connected printer.",  // 30
    "Specified font is not formatted as outline.",
    "Unknown device on selected COM port.",
    "Error in directory entry field being read from connected printer.",
    "Cannot read Test & Service command from printer. Try resetting printer to return to PRINT "
    "mode.",
    "Size of graphic larger than allowed limit for connected printer.",
    "Cannot access printer. Try restarting Tarvo or resetting printer to return to PRINT mode.",
    "End of file found",  // 37
};

// Codes this kernel added past the table keep a text of their own, since no older program
// can rely on their wording.
const char* ExtendedText(int code) {
    switch (code) {
        case PCU_ERR_BUSY:
            return kBusy;
        case PCU_ERR_ARGUMENT:
            return kArgument;
        case PCU_ERR_IMAGE_FORMAT:
            return kImageFormat;
        case PCU_ERR_IMAGE_SIZE:
            return kImageSize;
        case PCU_ERR_GRAPHIC_FRAME:
            return kGraphicFrame;
        case PCU_ERR_OBJECT_NUMBER:
            return kObjectNumber;
        case PCU_ERR_DBCS_RANGES:
            return kDbcsRanges;
        case PCU_ERR_PRINTER_MEMORY:
            return kPrinterMemory;
        case PCU_ERR_NO_FREE_FORMAT:
            return kNoFreeFormat;
        default:
            return nullptr;
    }
}

// Copies `text` into a function's own process-wide buffer and returns the buffer.
template <std::size_t N>
const char* Keep(std::array<char, N>& buffer, const char* text) {
    std::snprintf(buffer.data(), buffer.size(), "%s", text);
    return buffer.data();
}

}  // namespace

const char* ErrorTableText(int code) {
    if (code < 1 || code >= kFirstCodeWithoutText)
        return ExtendedText(code);
    return kTable[static_cast<std::size_t>(code)];
}

}  // namespace tarvo

using namespace tarvo;

TARVO_API const char* PCUErrStr(int ctx) {
    static std::array<char, 128> buffer;
    const Context* context = FindContext(ctx);
    if (context == nullptr)
        return Keep(buffer, kNoContext);
    const char* text = ErrorTableText(context->lastError);
    return Keep(buffer, text != nullptr ? text : kKernelFallback);
}

TARVO_API int PCUErrInfo(int ctx, const char** text, int* sysError, const char** detailText) {
    static std::array<char, 128> buffer;
    static std::array<char, kErrorTextSize> detail;
    const Context* context = FindContext(ctx);
    const char* message = nullptr;
    int code = PCU_ERR_NO_CONTEXT;
    int sys = 0;
    const char* detailOut = nullptr;
    if (context == nullptr) {
        message = kNoContext;
    } else {
        code = context->lastError;
        message = ErrorTableText(code);
        if (message == nullptr) {
            message = kPcuFallback;
        } else {
            // Every code with a text of its own names the object concerned.
            sys = context->lastSysError;
            detailOut = Keep(detail, context->lastErrorText);
        }
    }
    if (text != nullptr)
        *text = Keep(buffer, message);
    if (sysError != nullptr)
        *sysError = sys;
    if (detailText != nullptr)
        *detailText = detailOut;
    return code;
}
