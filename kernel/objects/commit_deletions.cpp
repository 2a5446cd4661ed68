// Deleting the objects marked for deletion, kind by kind.
#include <cstdint>
#include <string>

#include "config/command_writer.h"
#include "objects/commit_loops.h"
#include "objects/directory_list.h"
#include "tarvo/directory.h"

namespace tarvo {
namespace {

// Writes one loop's commands and keeps the first failure; after it nothing more is sent but
// the closing "R", so the printer does not stay in program mode.
class DeletionWriter {
  public:
    DeletionWriter(Connection* conn, std::string* file) : conn_(conn), file_(file) {}

    bool send(const std::string& command) {
        if (status_ == 0)
            status_ = SendCommand(conn_, file_, kCommandSingle, command);
        return status_ == 0;
    }
    void close() {
        if (status_ == 0)
            send(kLeaveProgramMode);
        else
            SendCommand(conn_, file_, kCommandSingle, kLeaveProgramMode);
    }
    int status() const { return status_; }

  private:
    Connection* conn_;
    std::string* file_;
    int status_ = 0;
};

// Walks the list and writes `command(entry)` for each marked entry, which then leaves the list.
// With `bracket` the loop runs inside one program-mode session: <ESC>P before the first marked
// entry (before anything, when `bracketNonEmpty` and the list holds entries) and "R" at the end.
template <class Record, class Command>
int DeleteMarked(Context& context, DeletionWriter& writer, Command command, bool bracket,
                 bool bracketNonEmpty) {
    cl_node* head = ListOf<Record>(context);
    bool open = bracket && bracketNonEmpty && cl_count(head) > 0;
    if (open)
        writer.send(kProgramMode);
    for (cl_node* node = cl_first(head); node != head && writer.status() == 0;) {
        cl_node* next = cl_next(node);
        const Record& entry = EntryAt<Record>(node);
        if (entry.status == PCU_STATUS_DELETE) {
            if (bracket && !open) {
                open = true;
                writer.send(kProgramMode);
            }
            if (!bracket)
                writer.send(kProgramMode);
            if (writer.send(command(entry)))
                cl_del(node, head);
        }
        node = next;
    }
    if (open)
        writer.close();
    return writer.status();
}

}  // namespace

int DeleteMarkedFonts(Context& context, Connection* conn, std::string* file) {
    DeletionWriter writer(conn, file);
    return DeleteMarked<FontInfo>(
        context, writer, [](const FontInfo& font) { return "T" + std::to_string(font.id) + ";"; },
        true, false);
}

int DeleteMarkedGraphics(Context& context, Connection* conn, std::string* file) {
    DeletionWriter writer(conn, file);
    return DeleteMarked<GraphicInfo>(
        context, writer,
        [](const GraphicInfo& graphic) { return "G" + std::to_string(graphic.id) + ";"; }, true,
        true);
}

// Formats and pages are deleted one program-mode session each.
int DeleteMarkedFormats(Context& context, Connection* conn, std::string* file) {
    DeletionWriter writer(conn, file);
    return DeleteMarked<FormatInfo>(
        context, writer,
        [](const FormatInfo& format) {
            // A page command file sits in the format list under its page number + 100.
            if (format.isPage != 0)
                return "s" + std::to_string(PageNumberOf(format)) + ";R";
            return "E" + std::to_string(format.id) + ";R";
        },
        false, false);
}

int DeleteMarkedPages(Context& context, Connection* conn, std::string* file) {
    DeletionWriter writer(conn, file);
    return DeleteMarked<PageInfo>(
        context, writer, [](const PageInfo& page) { return "s" + std::to_string(page.id) + ";R"; },
        false, false);
}

}  // namespace tarvo
