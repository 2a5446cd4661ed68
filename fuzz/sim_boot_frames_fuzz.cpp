// The simulated printer's boot-loader frames over arbitrary bytes: the parser must hunt, refuse
// or take frames without crashing or growing beyond one frame, every frame it takes must come
// back the same when built again, and the loader must carry any of them out within its memory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "boot_frames.h"
#include "boot_loader.h"
#include "flash_memory.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvo::sim;
    FlashMemory flash;
    BootLoader loader(&flash);
    BootFrameParser parser;
    for (std::size_t i = 0; i < size; ++i) {
        if (parser.feed(static_cast<char>(data[i])) != BootFrameParser::Event::Frame)
            continue;
        const BootFrame frame = parser.frame();
        bool bracketInWord = false;
        for (const std::string& word : frame.words)
            bracketInWord = bracketInWord || word.find('[') != std::string::npos;
        if (!bracketInWord) {
            // A word with "[" restarts a frame by design, so only other frames round-trip.
            BootFrameParser again;
            BootFrameParser::Event last = BootFrameParser::Event::None;
            for (char c : BuildBootFrame(frame))
                last = again.feed(c);
            if (last != BootFrameParser::Event::Frame || !(again.frame() == frame))
                std::abort();
        }
        loader.run(frame);
    }
    return 0;
}
