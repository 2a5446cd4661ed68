#include "config/file_sections.h"

namespace tarvo {

// The object sections join here as the directory code gains its deletion and download loops:
// each entry names the function that writes that section.
const ObjectSectionWriters& ObjectSections() {
    static const ObjectSectionWriters writers{};
    return writers;
}

}  // namespace tarvo
