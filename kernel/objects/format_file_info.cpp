// PCUGetFormatFileInfo: what format or page a command file defines, read from its header.
#include <fstream>
#include <string>

#include "objects/command_file.h"
#include "objects/text_lines.h"
#include "port/bounded_copy.h"
#include "session/export_boundary.h"
#include "tarvo/downloads.h"

using namespace tarvo;

TARVO_API int PCUGetFormatFileInfo(const char* path, int32_t* isPage, int32_t* number, char* name) {
    if (path == nullptr || isPage == nullptr || number == nullptr || name == nullptr)
        return PCU_ERR_ARGUMENT;
    *isPage = 0;
    *number = 0;
    return NoThrow([&]() -> int {
        std::ifstream in;
        if (!OpenTextFile(path, &in))
            return PCU_ERR_FILE_OPEN;
        const CommandFileHeader header = ScanCommandFileHeader(in);
        *isPage = header.isPage ? 1 : 0;
        *number = header.number;
        if (header.named)
            CopyBounded(header.name, name, PCU_DESCRIPTION_SIZE);
        return PCU_OK;
    });
}
