#include "shell/search_observer.h"

namespace tarvo::app {
namespace {

void Forward(void* user, unsigned message, int /*wParam*/, commState* trial) {
    auto& observer = *static_cast<SearchObserver*>(user);
    switch (message) {
        case PCU_MSG_AUTOCONNECT_TRIAL:
            if (trial != nullptr) {
                observer.Trial(*trial);
                if (observer.CancelRequested())
                    trial->cancelRequest = 1;
            }
            break;
        case PCU_MSG_AUTOCONNECT_FOUND:
            if (trial != nullptr)
                observer.Found(*trial);
            break;
        case PCU_MSG_AUTOCONNECT_NONE:
            observer.NotFound();
            break;
        default:
            break;
    }
}

}  // namespace

PCUNotify MakeKernelNotify(SearchObserver& observer) {
    return PCUNotify{&observer, &Forward};
}

}  // namespace tarvo::app
