#include "desk/desk.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "desk/lan_strings.h"
#include "tarvo/context.h"

namespace tarvo::app {

ObjectList::ObjectList() : head_(cl_inithd()) {}

ObjectList::~ObjectList() {
    if (head_ != nullptr) {
        cl_clrlist(head_);
        std::free(head_);
    }
}

int ObjectList::Count() const {
    return head_ == nullptr ? 0 : cl_count(head_);
}

void ObjectList::Clear() {
    if (head_ != nullptr)
        cl_clrlist(head_);
}

void ShowWarning(Desk& desk, int stringId) {
    const std::string text = stringId == 0 ? PCUErrStr(desk.ctx()) : text::StringText(stringId);
    desk.prompt.Tell("Warning", text, PromptIcon::Stop);
}

OpResult TellIfFailed(Desk& desk, OpResult result) {
    if (!result.ok() && result.status != OpStatus::Cancelled)
        desk.prompt.Tell("Warning", Describe(result), PromptIcon::Stop);
    return result;
}

void SetStatusText(Desk& desk, int stringId) {
    desk.prompt.SetStatus(text::StringText(stringId));
}

std::string Format(const char* pattern, ...) {
    va_list args;
    va_start(args, pattern);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, pattern, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        std::vector<char> buf(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(buf.data(), buf.size(), pattern, args);
        out.assign(buf.data(), static_cast<std::size_t>(n));
    }
    va_end(args);
    return out;
}

}  // namespace tarvo::app
