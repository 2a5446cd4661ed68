#include "brakenholm/brak_model.h"

namespace tarvo::app {

int SetupGenerationOf(int model) {
    if (model == 27 || model == 28)
        return 0;
    if (model == 32 || model == 33)
        return 2;
    if (model >= 34 && model <= 41)
        return 3;
    return 1;
}

std::string_view TreeVersionOf(int generation) {
    return UsesNewTree(generation) ? kTree712 : kTree613;
}

}  // namespace tarvo::app
