#include "objects/directory_list.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <type_traits>

namespace tarvo {
namespace {

template <class Record>
Record* Payload(cl_node* node) {
    return static_cast<Record*>(node->data);
}

template <class Record>
cl_node* FindNode(cl_node* head, std::uint16_t id) {
    for (cl_node* node = cl_first(head); node != head; node = cl_next(node)) {
        if (Payload<Record>(node)->id == id)
            return node;
    }
    return nullptr;
}

// Cuts every text field to its size: a caller's field need not be terminated.
template <std::size_t N>
void Terminate(char (&field)[N]) {
    field[N - 1] = '\0';
}

void TerminateTexts(FontInfo& font) {
    Terminate(font.path);
    Terminate(font.faceName);
    Terminate(font.newDescription);
    Terminate(font.description);
}

void TerminateTexts(GraphicInfo& graphic) {
    Terminate(graphic.path);
    Terminate(graphic.newDescription);
    Terminate(graphic.description);
}

void TerminateTexts(FormatInfo& format) {
    Terminate(format.path);
    Terminate(format.newDescription);
    Terminate(format.description);
}

void TerminateTexts(PageInfo&) {}

// A new node for `record` before the first entry with a larger number; null when out of memory.
template <class Record>
cl_node* InsertInOrder(cl_node* head, const Record& record) {
    cl_node* before = cl_first(head);
    while (before != head && Payload<Record>(before)->id <= record.id)
        before = cl_next(before);
    cl_node* node = cl_ins(cl_prev(before), sizeof(Record));
    if (node != nullptr)
        std::memcpy(node->data, &record, sizeof record);
    return node;
}

template <class Record>
void Overwrite(cl_node* node, const Record& record) {
    std::memcpy(node->data, &record, sizeof record);
}

}  // namespace

template <>
cl_node* ListOf<FontInfo>(Context& context) {
    return context.fontList.head();
}
template <>
cl_node* ListOf<GraphicInfo>(Context& context) {
    return context.graphicList.head();
}
template <>
cl_node* ListOf<FormatInfo>(Context& context) {
    return context.formatList.head();
}
template <>
cl_node* ListOf<PageInfo>(Context& context) {
    return context.pageList.head();
}

template <class Record>
Record* FindEntry(cl_node* head, std::uint16_t id) {
    cl_node* node = FindNode<Record>(head, id);
    return node != nullptr ? Payload<Record>(node) : nullptr;
}

template <class Record>
bool AppendEntry(cl_node* head, const Record& record) {
    static_assert(std::is_trivially_copyable_v<Record>);
    cl_node* node = cl_ins(cl_last(head), sizeof(Record));
    if (node == nullptr)
        return false;
    Record copy = record;
    TerminateTexts(copy);
    Overwrite(node, copy);
    return true;
}

template <class Record>
int PutEntry(cl_node* head, std::uint16_t number, const Record& record) {
    Record copy = record;
    TerminateTexts(copy);
    cl_node* target = FindNode<Record>(head, number);
    // The entry that already carries the record's own number keeps the number unique.
    cl_node* holder = copy.id == number ? target : FindNode<Record>(head, copy.id);
    if (holder != nullptr) {
        Overwrite(holder, copy);
    } else if (InsertInOrder(head, copy) == nullptr) {
        return PCU_ERR_NO_MEMORY;
    }
    // A renumbered entry now lives under its new number.
    if (target != nullptr && target != holder)
        cl_del(target, head);
    return PCU_OK;
}

template <class Record>
int WithdrawEntry(cl_node* head, std::uint16_t id) {
    cl_node* node = FindNode<Record>(head, id);
    if (node == nullptr)
        return PCU_ERR_NO_ENTRY;
    Record* entry = Payload<Record>(node);
    if (entry->status != PCU_STATUS_HOST_ONLY) {
        entry->pending = PCU_PENDING_NONE;
    } else {
        cl_del(node, head);
    }
    return PCU_OK;
}

template <class Record>
std::vector<const Record*> Entries(cl_node* head) {
    std::vector<const Record*> entries;
    for (cl_node* node = cl_first(head); node != head; node = cl_next(node))
        entries.push_back(Payload<Record>(node));
    return entries;
}

std::uint16_t EntryCount(cl_node* head) {
    const int count = cl_count(head);
    return static_cast<std::uint16_t>(
        std::min(count, int{std::numeric_limits<std::uint16_t>::max()}));
}

bool IsSendableDescriptionField(const char (&field)[PCU_DESCRIPTION_SIZE]) {
    const std::size_t length = strnlen(field, sizeof field);
    return length < sizeof field && IsSendableDescription(std::string_view(field, length));
}

#define TARVO_DIRECTORY_RECORD(Record)                                     \
    template Record* FindEntry<Record>(cl_node*, std::uint16_t);           \
    template bool AppendEntry<Record>(cl_node*, const Record&);            \
    template int PutEntry<Record>(cl_node*, std::uint16_t, const Record&); \
    template int WithdrawEntry<Record>(cl_node*, std::uint16_t);           \
    template std::vector<const Record*> Entries<Record>(cl_node*);

TARVO_DIRECTORY_RECORD(FontInfo)
TARVO_DIRECTORY_RECORD(GraphicInfo)
TARVO_DIRECTORY_RECORD(FormatInfo)
TARVO_DIRECTORY_RECORD(PageInfo)

}  // namespace tarvo
