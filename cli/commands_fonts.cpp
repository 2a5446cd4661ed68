// `tarvo fonts`: the host's TrueType faces, one listed name per line, as the font commands take
// them.
#include <iostream>
#include <string>

#include "cli_support.h"
#include "command_runs.h"
#include "json_output.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {

int RunFonts(int /*ctx*/, const CommandLine& line) {
    if (line.commandHelp) {
        std::cout << "Usage: tarvo fonts\n"
                     "Lists the TrueType faces installed on this computer, one per line; a face\n"
                     "that covers another character set is listed again with the set's name in\n"
                     "parentheses.\n";
        return 0;
    }
    if (!line.args.empty())
        return Fail("fonts takes no arguments", kUsage);
    HostFontList list{};
    if (PCUGetHostFontList(&list) != 1)
        return Fail("cannot list the host's fonts");
    Json names = Json::array();
    for (int32_t i = 0; i < list.count; ++i) {
        if (line.options.json)
            names.push_back(Utf8Text(list.names[i]));
        else
            std::cout << list.names[i] << '\n';
    }
    PCUFreeHostFontList(&list);
    if (line.options.json)
        PrintJson(names);
    return 0;
}

}  // namespace tarvo::cli
