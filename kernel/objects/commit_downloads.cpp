// Downloading the queued fonts, graphics and command files, kind by kind.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "config/command_writer.h"
#include "objects/commit_loops.h"
#include "objects/directory_list.h"
#include "objects/progress_window.h"
#include "objects/transfers.h"
#include "port/bounded_copy.h"
#include "tarvo/base/dbcs_ranges.h"
#include "tarvo/base/graphic_command.h"
#include "tarvo/downloads.h"

namespace tarvo {
namespace {

int Send(Connection* conn, std::string* file, const char* command) {
    return SendCommand(conn, file, kCommandSingle, command);
}

// A downloaded entry: nothing pending, and the name it was sent under. Only a printer stores
// it; a configuration file merely carries it.
template <class Record>
void MarkDownloaded(Record& entry, const Connection* conn) {
    entry.pending = PCU_PENDING_NONE;
    if (conn != nullptr)
        entry.status = PCU_STATUS_STORED;
    std::memcpy(entry.description, entry.newDescription, sizeof entry.description);
}

// Records a failed download for the user and takes the printer out of program mode (whatever
// that send returns: the first failure is the one reported).
template <class Record>
int Fail(Context& context, Connection* conn, std::string* file, const Record& entry, int status) {
    context.recordError(status, entry.id, std::string_view(entry.newDescription));
    Send(conn, file, kLeaveProgramMode);
    return status;
}

bool HasIbfExtension(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos)
        return false;
    const std::string_view extension = path.substr(dot + 1);
    return extension.size() == 3 && std::toupper(static_cast<unsigned char>(extension[0])) == 'I' &&
           std::toupper(static_cast<unsigned char>(extension[1])) == 'B' &&
           std::toupper(static_cast<unsigned char>(extension[2])) == 'F';
}

// A double-byte font carries its ranges behind a set flag.
bool HasDoubleByteRanges(const FontInfo& font) {
    return font.dbcsRanges[kDbcsFlag] != 0;
}

// One font by the road its entry asks for. A converted double-byte font keeps the path of the
// image file it was turned into.
int TransferFont(Context& context, Connection* conn, std::string* file, FontInfo& font,
                 int emulation) {
    if (HasIbfExtension(font.path))
        return SendIbfFont(&context, conn, file, font);
    if (font.kind != PCU_FONT_KIND_BITMAP)
        return SendOutlineFont(conn, file, font);
    if (!HasDoubleByteRanges(font))
        return SendBitmapFont(conn, file, font, emulation);
    std::string image;
    if (const int status = ConvertDoubleByteFont(font, emulation, &image); status != 0)
        return status;
    if (image.size() >= sizeof font.path)
        return PCU_ERR_FILE_WRITE;
    CopyBounded(image, font.path, sizeof font.path);
    return SendIbfFont(&context, conn, file, font);
}

// The longest command of a command list once its separator is added back.
std::size_t LongestCommand(std::string_view text) {
    std::size_t longest = 0;
    while (!text.empty()) {
        const std::size_t end = text.find(';');
        const std::size_t length = end == std::string_view::npos ? text.size() : end;
        longest = std::max(longest, length + 1);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return longest;
}

// Builds the graphic's command text and sends it as a list of commands under a progress bar.
int TransferGraphic(Connection* conn, std::string* file, const GraphicInfo& graphic,
                    int emulation) {
    std::string text;
    if (const int status = BuildGraphicCommand(graphic, emulation, &text, nullptr); status != 0)
        return status;
    // A column travels as one command; one that cannot fit a message would be cut by the
    // printer, so it is refused before anything of it is sent.
    if (conn != nullptr && LongestCommand(text) >= conn->sendSize)
        return PCU_ERR_GRAPHIC_FRAME;
    ProgressWindow progress("Downloading graphics", static_cast<std::int64_t>(text.size()));
    return SendCommandList(conn, file, true, RunProgressBar, text);
}

}  // namespace

int DownloadFonts(Context& context, Connection* conn, std::string* file) {
    cl_node* head = ListOf<FontInfo>(context);
    const int emulation = context.settings.emulation;
    bool sent = false;
    for (cl_node* node = cl_first(head); node != head; node = cl_next(node)) {
        FontInfo& font = EntryAt<FontInfo>(node);
        if (font.pending != PCU_PENDING_DOWNLOAD)
            continue;
        if (!sent) {
            if (const int status = Send(conn, file, kProgramMode); status != 0)
                return Fail(context, conn, file, font, status);
            sent = true;
        }
        if (const int status = TransferFont(context, conn, file, font, emulation); status != 0)
            return Fail(context, conn, file, font, status);
        MarkDownloaded(font, conn);
    }
    return sent ? Send(conn, file, kLeaveProgramMode) : 0;
}

int DownloadGraphics(Context& context, Connection* conn, std::string* file) {
    cl_node* head = ListOf<GraphicInfo>(context);
    if (cl_count(head) == 0)
        return 0;
    if (const int status = Send(conn, file, kProgramMode); status != 0)
        return status;
    const int emulation = context.settings.emulation;
    for (cl_node* node = cl_first(head); node != head; node = cl_next(node)) {
        GraphicInfo& graphic = EntryAt<GraphicInfo>(node);
        if (graphic.pending != PCU_PENDING_DOWNLOAD)
            continue;
        if (const int status = TransferGraphic(conn, file, graphic, emulation); status != 0)
            return Fail(context, conn, file, graphic, status);
        MarkDownloaded(graphic, conn);
    }
    return Send(conn, file, kLeaveProgramMode);
}

// The command-file sender enters and leaves program mode itself.
int DownloadFormats(Context& context, Connection* conn, std::string* file) {
    cl_node* head = ListOf<FormatInfo>(context);
    for (cl_node* node = cl_first(head); node != head; node = cl_next(node)) {
        FormatInfo& format = EntryAt<FormatInfo>(node);
        if (format.pending != PCU_PENDING_DOWNLOAD)
            continue;
        if (const int status = SendCommandFile(conn, file, format); status != 0) {
            context.recordError(status, format.id, std::string_view(format.newDescription));
            return status;
        }
        MarkDownloaded(format, conn);
    }
    return 0;
}

}  // namespace tarvo
