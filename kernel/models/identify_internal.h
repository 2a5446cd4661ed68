// Pieces of identification shared by the identification functions and the auto-connect search.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class Exchange;

// Frame characters found around a printer's replies. A field is empty when the printer gave no
// answer to tell it by (the stored character is then left alone); a found "none" is '\0'.
struct FrameCharacters {
    std::optional<char> preamble;
    std::optional<char> postamble;
};

// Asks <ESC>M1 and <ENQ> on `exchange` (whose frame characters must be cleared) and works out
// which bytes the printer puts before and after its replies. `expectedType` (may be empty) is
// the type field the identification reply is expected to end with.
FrameCharacters DetectFrameCharacters(Exchange& exchange, std::string_view expectedType = {});

// What an identification reply says, once the <DC1>/<DC2> bytes before it are dropped.
struct IdentificationReply {
    std::vector<std::string> fields;  // comma-separated, at least two
    std::string candidate;            // the program number the reply names
    std::string firmware;             // the second field
};

// Parses a reply; nullopt when it holds no comma. With three fields, the third (the type)
// decides the number for the models that share a base number.
std::optional<IdentificationReply> ParseIdentificationReply(std::string_view raw);

// The type field of the replies that name `number` by their type ("6220E" for 0661976220E);
// empty for a number that is named by the first field.
std::string_view ReplyTypeOfNumber(std::string_view number);

// The preamble a reply shows before the program number it carries: '\0' for none.
std::optional<char> DetectPreamble(std::string_view reply);

// Drops the leading <DC1> and <DC2> bytes a printer may put before its identification reply.
std::string_view SkipFlowBytes(std::string_view reply);

// The model a program number names: the table first, then the program-number file (a file
// entry counts only when it names one of models 0..25). -1 when neither knows it. *second tells
// whether the table's second number matched.
int ModelForProgramNumber(std::string_view number, bool* second);

}  // namespace tarvo
