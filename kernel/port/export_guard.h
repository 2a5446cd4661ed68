// Keeps C++ exceptions inside the library: an export that allocates runs its body through
// NoThrow, and running out of memory becomes the public code for it.
#pragma once

#include <new>

#include "tarvo/types.h"

namespace tarvo {

template <class Body>
int NoThrow(Body body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return PCU_ERR_NO_MEMORY;
    }
}

}  // namespace tarvo
