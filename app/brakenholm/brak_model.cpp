#include "brakenholm/brak_model.h"

namespace tarvo::app {

std::string_view TreeVersionOf(int generation) {
    return UsesNewTree(generation) ? kTree712 : kTree613;
}

}  // namespace tarvo::app
