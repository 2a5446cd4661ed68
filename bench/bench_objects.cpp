// Measures the object downloads:
//  - building the command text of a 1600 x 1600 graphic (loading, encoding) against one plain
//    pass over its pixels in memory;
//  - a graphic download and an outline font download against a printer that takes bytes only
//    as fast as 115200 baud carries them (XON/XOFF), as a fraction of the line's byte rate.
// Prints one line per figure; scripts/run-bench collects them.
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "tarvo/base/bitmap_file.h"
#include "tarvo/base/graphic_command.h"
#include "sandbox.h"
#include "session/kernel_state.h"
#include "tarvo/kernel.h"
#include "tarvo/sim/printer_sim.h"

namespace {

using namespace tarvo;
using SteadyClock = std::chrono::steady_clock;

constexpr unsigned kBaud = 115200;
constexpr double kBitsPerChar = 10.0;  // start, 8 data, no parity, stop
constexpr const char* kOutlineFont = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Oblique.ttf";

std::string g_sandbox;

void Die(const std::string& why) {
    std::fprintf(stderr, "bench: %s\n", why.c_str());
    std::exit(1);
}

template <class Body>
double Seconds(Body body) {
    const auto start = SteadyClock::now();
    body();
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

template <class Body>
double Best(int runs, Body body) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, Seconds(body));
    return best;
}

void PutLe(std::string& b, std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A 24-bit bitmap file with a pattern that prints about half its pixels.
std::string WriteBitmap(int width, int height) {
    const std::size_t stride = ((24u * width + 31) / 32) * 4;
    std::string b(54 + stride * height, '\0');
    b[0] = 'B';
    b[1] = 'M';
    PutLe(b, 2, static_cast<std::uint32_t>(b.size()), 4);
    PutLe(b, 10, 54, 4);
    PutLe(b, 14, 40, 4);
    PutLe(b, 18, static_cast<std::uint32_t>(width), 4);
    PutLe(b, 22, static_cast<std::uint32_t>(height), 4);
    PutLe(b, 26, 1, 2);
    PutLe(b, 28, 24, 2);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t colour = ((x / 7 + y / 5) % 2) != 0 ? 0x000000 : 0xFFFFFF;
            PutLe(b, 54 + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * 3,
                  colour, 3);
        }
    }
    const std::string path = g_sandbox + "/bench-" + std::to_string(width) + ".bmp";
    std::ofstream(path, std::ios::binary).write(b.data(), static_cast<std::streamsize>(b.size()));
    return path;
}

GraphicInfo Graphic(const std::string& path) {
    GraphicInfo g{};
    std::snprintf(g.path, sizeof g.path, "%s", path.c_str());
    std::snprintf(g.newDescription, sizeof g.newDescription, "BENCH");
    g.scaleMode = PCU_SCALE_BY_FACTOR;
    g.scale = 1;
    g.pending = PCU_PENDING_DOWNLOAD;
    g.id = 5;
    return g;
}

void GraphicConversion() {
    const GraphicInfo g = Graphic(WriteBitmap(1600, 1600));
    RgbImage image;
    if (PrepareGraphic(g, 0, &image, nullptr) != 0)
        Die("cannot prepare the graphic");
    volatile std::uint64_t sink = 0;
    const double pass = Best(5, [&] {
        std::uint64_t sum = 0;
        for (std::uint32_t pixel : image.pixels)
            sum += pixel;
        sink = sink + sum;
    });
    // Reading the file is part of building; the floor for that is reading it into memory.
    const double read = Best(5, [&] {
        std::ifstream in(g.path, std::ios::binary | std::ios::ate);
        std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
        in.seekg(0);
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        sink = sink + static_cast<unsigned char>(bytes[bytes.size() / 2]);
    });
    std::string text;
    const double encode =
        Best(5, [&] { text = EncodeGraphicCommand(g.id, g.newDescription, image); });
    const double build = Best(5, [&] { BuildGraphicCommand(g, 0, &text, nullptr); });
    std::printf(
        "graphic_1600  encode %.4f s, pixel pass %.4f s: %.2fx; build from the file "
        "%.4f s, file read + pass %.4f s: %.2fx (%zu bytes of text)\n",
        encode, pass, encode / pass, build, read + pass, build / (read + pass), text.size());
}

// A paced printer on COM1 with the profile pointing at it, and a context for it.
struct PacedPrinter {
    sim::PrinterSim printer;
    int ctx = 0;

    PacedPrinter() : printer(Options()) {
        std::string error;
        if (!printer.start(&error))
            Die(error);
        auto set = [](const char* key, const std::string& value) {
            PCUWriteProfileString("Communications", key, value.c_str(), 0);
        };
        set("Device.COM1", printer.devicePath());
        set("Baud", std::to_string(kBaud));
        set("Parity", "None");
        set("DataBits", "8");
        set("Protocol", "XON/XOFF");
        ctx = PCUCfgInit();
    }
    static sim::Options Options() {
        sim::Options o;
        o.line = {kBaud, 8, 'N', 1, sim::Protocol::XonXoff};
        o.pace = true;
        o.memoryTotalKb = 64 * 1024;
        o.memoryFreeKb = 60 * 1024;
        return o;
    }
    std::size_t received() const {
        std::size_t n = 0;
        for (const auto& e : printer.transcript()) {
            if (e.direction == sim::Direction::HostToPrinter)
                n += e.bytes.size();
        }
        return n;
    }
};

// Commits with `commit` and reports bytes on the wire per second until the printer has taken
// the last byte, less the pause the commit prescribes before closing.
void PacedDownload(const char* name, int (*commit)(int), double pauseSeconds,
                   void (*queue)(int ctx)) {
    ResetKernelState();
    PacedPrinter paced;
    queue(paced.ctx);
    paced.printer.settle();
    paced.printer.clearTranscript();
    int status = 0;
    const double seconds = Seconds([&] {
        status = commit(paced.ctx);
        paced.printer.settle();
    });
    if (status != 0)
        Die(std::string(name) + " failed with " + std::to_string(status));
    const double bytes = static_cast<double>(paced.received());
    const double lineRate = kBaud / kBitsPerChar;
    const double rate = bytes / (seconds - pauseSeconds);
    std::printf("%s  %.0f bytes in %.2f s: %.0f bytes/s, %.3f of line rate %.0f\n", name, bytes,
                seconds, rate, rate / lineRate, lineRate);
    paced.printer.stop();
}

}  // namespace

int main() {
    g_sandbox = bench::MakeSandbox();
    GraphicConversion();
    static std::string graphicPath = WriteBitmap(400, 400);
    PacedDownload("graphic_download_400", PCUPutGraphics, 0.05, [](int ctx) {
        const GraphicInfo g = Graphic(graphicPath);
        PCUPutGraphicInfo(ctx, g.id, &g);
    });
    PacedDownload("outline_download", PCUPutFonts, 0.1, [](int ctx) {
        FontInfo f{};
        std::snprintf(f.path, sizeof f.path, "%s", kOutlineFont);
        std::snprintf(f.newDescription, sizeof f.newDescription, "MONO");
        f.kind = PCU_FONT_KIND_OUTLINE;
        f.fontType = PCU_FONT_TYPE_TRUETYPE;
        f.pending = PCU_PENDING_DOWNLOAD;
        f.id = 70;
        PCUPutFontInfo(ctx, f.id, &f);
    });
    std::filesystem::remove_all(g_sandbox);
    return 0;
}
