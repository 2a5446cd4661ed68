#include "shell/printer_base.h"

namespace tarvo::app {

const char* StatusName(OpStatus status) {
    switch (status) {
        case OpStatus::Done:
            return "done";
        case OpStatus::Cancelled:
            return "cancelled";
        case OpStatus::NotSupported:
            return "not supported";
        case OpStatus::Refused:
            return "refused";
        case OpStatus::Failed:
            return "failed";
        case OpStatus::NoAnswer:
            return "no answer";
    }
    return "failed";
}

std::string Describe(const OpResult& result) {
    std::string text = StatusName(result.status);
    if (result.setting)
        text.append(" (").append(*result.setting).append(")");
    if (!result.detail.empty())
        text.append(": ").append(result.detail);
    return text;
}

}  // namespace tarvo::app
