// The four object lists of a context. Each entry's payload is the public record itself, so a
// copy in or out is one assignment; every text field of a stored record is terminated.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "session/kernel_state.h"
#include "tarvo/base/object_names.h"
#include "tarvo/directory.h"
#include "tarvo/list.h"

namespace tarvo {

// A page command file queued for download is kept in the format list under its page number
// plus this offset, so that a page and a format of the same number never collide.
inline constexpr std::uint16_t kPageListOffset = 100;

// The page number of such an entry (its id when it was stored without the offset).
inline int PageNumberOf(const FormatInfo& entry) {
    return entry.id > kPageListOffset ? entry.id - kPageListOffset : entry.id;
}

// The list of a context that holds records of type Record.
template <class Record>
cl_node* ListOf(Context& context);

// The record a list node carries.
template <class Record>
Record& EntryAt(cl_node* node) {
    return *static_cast<Record*>(node->data);
}

// The entry numbered `id`, or null. The whole list is searched: a printer may list its objects
// out of order, and an entry after a larger number must still be found.
template <class Record>
Record* FindEntry(cl_node* head, std::uint16_t id);

// Appends a copy of `record` at the end (reply order). False when memory is exhausted.
template <class Record>
bool AppendEntry(cl_node* head, const Record& record);

// Stores `record` as entry `number` (PCUPut*Info). Returns PCU_OK or PCU_ERR_NO_MEMORY, in
// which case the list is as it was.
template <class Record>
int PutEntry(cl_node* head, std::uint16_t number, const Record& record);

// Withdraws the host-side change to entry `id` (PCUDel*). Returns PCU_OK or PCU_ERR_NO_ENTRY.
template <class Record>
int WithdrawEntry(cl_node* head, std::uint16_t id);

// The entries in list order; the pointers stay valid until the list changes.
template <class Record>
std::vector<const Record*> Entries(cl_node* head);

// Number of entries, as the 16-bit count the interface passes.
std::uint16_t EntryCount(cl_node* head);

// IsSendableDescription (tarvo/base/object_names.h) for a caller's PCU_DESCRIPTION_SIZE-byte field,
// which need not be terminated.
bool IsSendableDescriptionField(const char (&field)[PCU_DESCRIPTION_SIZE]);

}  // namespace tarvo
