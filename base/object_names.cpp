#include "tarvo/base/object_names.h"

#include <algorithm>

#include "tarvo/directory.h"

namespace tarvo {

bool IsSendableDescription(std::string_view text) {
    if (text.size() >= PCU_DESCRIPTION_SIZE)
        return false;
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F || c == ';' || c == ',' || c == '<';
    });
}

}  // namespace tarvo
