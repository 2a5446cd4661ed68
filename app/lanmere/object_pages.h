// What the font and graphic pages share: the checks of what the operator types or picks, the
// queued records in the session's object lists, and the preview's dots.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "desk/desk.h"
#include "lanmere/lan_page.h"
#include "lanmere/page_model.h"
#include "tarvo/directory.h"

namespace tarvo::app::lanmere {

// Whether `path` ends in `extension` (".ttf"), ASCII case ignored.
bool HasExtension(std::string_view path, std::string_view extension);

// The file's name without its folder and extension ("/a/logo.bmp" gives "logo").
std::string FileTitle(std::string_view path);

// Why `text` cannot be an object's description on the printer, or "" when it can: it travels
// inside a command where ";" ends the command and "," or "<" start another field, so those, control
// bytes and more than 32 characters are refused.
std::string DescriptionProblem(std::string_view text);

// The records queued in `list`, in list order.
template <typename Record>
std::vector<Record> QueuedRecords(const ObjectList& list) {
    std::vector<Record> records;
    for (cl_node* n = cl_first(list.head()); n != nullptr && n != list.head(); n = cl_next(n)) {
        if (n->data != nullptr)
            records.push_back(*static_cast<const Record*>(n->data));
    }
    return records;
}

// Appends a copy of `record` to `list`. Returns false when memory ran out.
template <typename Record>
bool QueueRecord(ObjectList& list, const Record& record) {
    cl_node* node = cl_ins(cl_last(list.head()), sizeof(Record));
    if (node == nullptr)
        return false;
    *static_cast<Record*>(node->data) = record;
    return true;
}

// Removes the queued records numbered `ids` from `list`.
template <typename Record>
void RemoveQueued(ObjectList& list, const std::vector<std::uint16_t>& ids) {
    for (const std::uint16_t id : ids) {
        for (cl_node* n = cl_first(list.head()); n != nullptr && n != list.head(); n = cl_next(n)) {
            if (n->data != nullptr && static_cast<const Record*>(n->data)->id == id) {
                cl_del(n, list.head());
                break;
            }
        }
    }
}

// The path of a file the operator picks to open as `request` describes; nullopt when the
// operator cancels or the dialog cannot be shown (which is told).
std::optional<std::string> ChooseObjectFile(Prompt& prompt, const FileRequest& request);

// The locations `prefix`NN ("FONT00") from 0 to `highest` that neither the printer (`taken`
// says true for the number) nor a record queued in `list` uses.
template <typename Record, typename Taken>
std::vector<std::string> FreeLocations(const ObjectList& list, const char* prefix, int highest,
                                       Taken taken) {
    const std::vector<Record> queued = QueuedRecords<Record>(list);
    std::vector<std::string> locations;
    for (int n = 0; n <= highest; ++n) {
        bool used = taken(static_cast<std::uint16_t>(n));
        for (const Record& r : queued)
            used = used || r.id == n;
        if (!used)
            locations.push_back(prefix + ObjectNumberText(static_cast<unsigned>(n)));
    }
    return locations;
}

// The length typed in edit `id` of `page`, in inches (0 for no number).
float TypedInches(const PageModel& page, std::string_view id, bool metric);

// Fills in what a request of either kind takes from its Select page: the height and width typed,
// the description, the number of the location chosen ("FONT07" gives 7) and the download to come.
template <typename Record>
void FillRequest(const PageModel& page, bool metric, Record* r) {
    r->height = TypedInches(page, "height", metric);
    r->width = TypedInches(page, "width", metric);
    const std::string& description = page.field("description").text;
    std::strncpy(r->newDescription, description.c_str(), sizeof r->newDescription - 1);
    const Field& location = page.field("location");
    if (location.selected >= 0)
        r->id = static_cast<std::uint16_t>(
            std::stoi(location.choices[static_cast<std::size_t>(location.selected)].substr(4)));
    r->pending = PCU_PENDING_DOWNLOAD;
    r->status = PCU_STATUS_HOST_ONLY;
}

// Why the request on a Select page cannot be queued, or "": `noLocation` when no location is
// left, the description's problem, else `sizeProblem`.
std::string RequestProblem(const PageModel& page, std::string noLocation, std::string sizeProblem);

// A copy of `width` x `height` dots (1 printed, 0 blank); empty for no dots or a size below 1.
DotImage MakeDotImage(int width, int height, const std::uint8_t* dots);

}  // namespace tarvo::app::lanmere
