// Fuzzes the boot loader's reply parser: any bytes, fed one at a time. A frame it accepts keeps
// its words and parts within their limits, and built again it parses to the same parts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_check.h"
#include "services/firmware/boot_frames.h"

namespace {

using namespace tarvo::firmware;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FrameParser parser;
    for (std::size_t i = 0; i < size; ++i) {
        const int rc = parser.feed(data[i]);
        if (rc == FrameParser::kMore)
            continue;
        Check(rc == FrameParser::kDone || (rc >= 111 && rc <= 120), "unknown parser result");
        if (rc == FrameParser::kDone) {
            const BootFrame& f = parser.frame();
            Check(f.word1.size() <= kMaxWordLength && f.word2.size() <= kMaxWordLength &&
                      f.word3.size() <= kMaxWordLength,
                  "a word grew past its limit");
            Check((!f.text || f.text->size() <= 0xFFFF) && (!f.data || f.data->size() <= 0xFFFF),
                  "a part grew past its length field");
            std::string rebuilt;
            if (BuildFrame(f, &rebuilt) == 0) {
                FrameParser again;
                int back = FrameParser::kMore;
                for (const char c : rebuilt)
                    back = again.feed(static_cast<unsigned char>(c));
                Check(back == FrameParser::kDone, "a rebuilt frame does not parse");
                Check(again.frame().text == f.text && again.frame().data == f.data,
                      "a rebuilt frame lost its parts");
            }
        }
        parser.reset();
    }
    return 0;
}
