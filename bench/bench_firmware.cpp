// Measures a firmware download: a 2 MB image through the boot loader into a simulated printer
// that holds its line to the real byte rate (the loader upload at 38400 baud, the rest at the
// loader's 57600). Reports the total time against the floor the line sets (each phase's bytes
// on the wire at its byte rate, plus the waits the protocol prescribes), and the payload
// efficiency: image bytes per byte on the wire.
// Prints one line per figure; scripts/run-bench collects them.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "counting_clock.h"
#include "sandbox.h"
#include "session/kernel_state.h"
#include "tarvo/kernel.h"
#include "tarvo/sim/printer_sim.h"

namespace {

using namespace tarvo;

constexpr std::size_t kImageBytes = 2 * 1024 * 1024;
constexpr std::size_t kLoaderBytes = 4096;
constexpr double kBitsPerChar = 10.0;  // start, 8 data, stop
constexpr double kRomRate = 38400 / kBitsPerChar;
constexpr double kLoaderRate = 57600 / kBitsPerChar;
// Waits the protocol prescribes on the way: one 50 ms attention pause, 250 ms after the loader,
// 20 ms after the speed change.
constexpr double kPrescribedSeconds = 0.05 + 0.25 + 0.02;

void Die(const std::string& why) {
    std::fprintf(stderr, "bench: %s\n", why.c_str());
    std::exit(1);
}

void PutLe32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// An image for the 6220E: pseudo-random bytes with a tenth of 2 KB blocks erased (0xFF), as
// real images have, the two version texts behind their pointers, and the checksum.
std::string MakeImage() {
    std::string b(kImageBytes, '\0');
    std::uint32_t x = 12345;
    for (std::size_t i = 0; i < b.size(); ++i) {
        x = x * 1103515245u + 12345u;
        b[i] = (i / 2048) % 10 == 9 ? '\xff' : static_cast<char>(x >> 24);
    }
    const auto address = [](std::uint32_t offset) { return offset - 0x011C0000u; };
    b.replace(32, 16, "FT0661972.00    ");
    PutLe32(b, 0, address(32));
    PutLe32(b, 4, address(40));
    PutLe32(b, b.size() - 16, address(0));
    PutLe32(b, b.size() - 20, address(4));
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 4 < b.size(); ++i)
        sum += static_cast<unsigned char>(b[i]);
    PutLe32(b, b.size() - 4, sum);
    return b;
}

void WriteDir(const std::string& dir) {
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/listfile.txt")
        << ";fw066197.bin\r\nfiletoflash fw066197.bin fee00000\r\n";
    std::string loader(4 + kLoaderBytes, '\x5a');
    loader[0] = loader[1] = '\0';
    loader[2] = static_cast<char>(kLoaderBytes >> 8);
    loader[3] = static_cast<char>(kLoaderBytes & 0xFF);
    std::ofstream(dir + "/flashldr.bin", std::ios::binary) << loader;
    const std::string image = MakeImage();
    std::ofstream(dir + "/fw066197.bin", std::ios::binary)
        .write(image.data(), static_cast<std::streamsize>(image.size()));
}

}  // namespace

int main() {
    const std::string sandbox = bench::MakeSandbox();
    const std::string dir = sandbox + "/firmware";
    WriteDir(dir);
    sim::Options o;
    o.line = {115200, 8, 'N', 1, sim::Protocol::XonXoff};
    o.pace = true;
    sim::PrinterSim printer(o);
    std::string error;
    if (!printer.start(&error))
        Die(error);
    auto set = [](const char* key, const std::string& value) {
        PCUWriteProfileString("Communications", key, value.c_str(), 0);
    };
    set("Device.COM1", printer.devicePath());
    set("Baud", "115200");
    set("Parity", "None");
    set("DataBits", "8");
    set("Protocol", "XON/XOFF");
    const int ctx = PCUCfgInit();
    if (PCUInvalidateFirmware(ctx, "0661971.13") != 1)
        Die("the printer did not take the invalidation");
    printer.settle();
    printer.clearTranscript();
    bench::CountingClock clock;
    platform::SetClock(&clock);
    const auto start = std::chrono::steady_clock::now();
    const int rc = PCUFirmwareDownload(ctx, 1, "", dir.c_str());
    printer.settle();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    platform::SetClock(nullptr);
    if (rc != 0)
        Die("the download failed with " + std::to_string(rc) + ": " + printer.bootRefusal());
    double wire = 0;
    for (const auto& e : printer.transcript())
        wire += static_cast<double>(e.bytes.size());
    // The ROM phase carries the loader, its prefix and sum, and a few control bytes.
    const double romBytes = 4 + kLoaderBytes + 2 + 4;
    const double floor = romBytes / kRomRate + (wire - romBytes) / kLoaderRate + kPrescribedSeconds;
    std::printf(
        "firmware_download_2mb  %.2f s, line floor %.2f s: %.3fx; %.0f bytes on the wire, "
        "payload efficiency %.3f\n",
        seconds, floor, seconds / floor, wire, static_cast<double>(kImageBytes) / wire);
    printer.stop();
    std::filesystem::remove_all(sandbox);
    return 0;
}
