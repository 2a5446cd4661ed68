// What the font and graphic pages share: the checks of what the operator types or picks, the
// queued records in the session's object lists, and the preview's dots.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "desk/desk.h"
#include "lanmere/page_model.h"

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

// A copy of `width` x `height` dots (1 printed, 0 blank); empty for no dots or a size below 1.
DotImage MakeDotImage(int width, int height, const std::uint8_t* dots);

}  // namespace tarvo::app::lanmere
