// The simulated Brakenholm printer's receiver (lrzsz's rz behind RUN "dlk") fed by our sender
// over the pseudo-terminal: what it stores, on which device, and what a cut line leaves.
#include <gtest/gtest.h>
#include <unistd.h>

#include <random>

#include "fwxfer/gf_com_port.h"
#include "fwxfer/gf_zmodem.h"
#include "tarvo/base/script_firmware.h"
#include "tarvo/sim/printer_sim.h"

namespace fwxfer {
namespace {

using tarvo::sim::PrinterFile;
using tarvo::sim::PrinterSim;

constexpr tarvo::sim::LineSettings kLine{115200, 8, 'O', 1, tarvo::sim::Protocol::RtsCts};

std::string Content(std::size_t size) {
    std::mt19937 random(11);
    std::string content(size, '\0');
    for (char& c : content)
        c = static_cast<char>(random());
    return content;
}

class SimTransfer : public ::testing::Test {
  protected:
    void SetUp() override {
        if (::access("/usr/bin/rz", X_OK) != 0)
            GTEST_SKIP() << "lrzsz is not installed (scripts/install-deps)";
    }

    // Starts a TQ8e on the line above, changes to `device`, starts the receiver, sends the
    // file and then the lines `after`.
    GFResult Send(const std::string& content, tarvo::sim::Faults faults = {},
                  const std::string& device = "c:", const std::string& after = {}) {
        tarvo::sim::Options options;
        options.family = tarvo::sim::Family::Brakenholm;
        options.model = 40;
        options.firmware = "Tallyscript 7.30";
        options.line = kLine;
        options.faults = faults;
        printer_ = std::make_unique<PrinterSim>(options);
        std::string error;
        EXPECT_TRUE(printer_->start(&error)) << error;
        int openError = 0;
        auto port = GFComPort::Open(printer_->devicePath(), &openError);
        EXPECT_EQ(port->configure({115200, 8, 'O', 1, tarvo::platform::FlowControl::RtsCts}), 0);
        GFMonitor monitor;
        GFSerial serial(*port, monitor);
        EXPECT_EQ(serial.PutBuffer("CHDIR \"" + device + "\"\rRUN \"dlk\"\r"), GFIo::Ok);
        GFZmodem zmodem(serial);
        const GFResult result = zmodem.SendData(content, "SANS.TTF");
        // The receiver has ended once the printer settled; only then is it listening again.
        printer_->settle();
        if (!after.empty())
            EXPECT_EQ(serial.PutBuffer(after), GFIo::Ok);
        return result;
    }

    std::unique_ptr<PrinterSim> printer_;
};

TEST_F(SimTransfer, TheFileIsStoredByteForByteOnAnOddParityLine) {
    const std::string content = Content(40000);
    ASSERT_EQ(Send(content), GFResult::Ok);
    printer_->settle();
    const auto files = printer_->files("c:");
    EXPECT_NE(std::find(files.begin(), files.end(), PrinterFile{"c:", "SANS.TTF", 40000}),
              files.end());
    EXPECT_TRUE(printer_->fileContent("c:", "SANS.TTF") == content);
}

TEST_F(SimTransfer, ACutLineReportsItsCodeAndLeavesNoFile) {
    tarvo::sim::Faults cut;
    cut.cutAfterTransferBytes = 20000;
    EXPECT_EQ(Send(Content(40000), cut), GFResult::LineCut);
    const auto files = printer_->files("c:");
    EXPECT_EQ(std::count_if(files.begin(), files.end(),
                            [](const PrinterFile& f) { return f.name == "SANS.TTF"; }),
              0);
}

TEST_F(SimTransfer, AFirmwareFileRunsAfterReboot) {
    const std::string firmware =
        tarvo::platform::ScriptFirmwareHeader("Tallyscript 7.31") + Content(3000);
    ASSERT_EQ(Send(firmware, {}, "ram:", "REBOOT\rPRINT VERSION$(0)\r"), GFResult::Ok);
    printer_->settle();
    EXPECT_EQ(printer_->files("ram:").size(), 1u);
    EXPECT_EQ(printer_->files("c:").size(), 0u);
    EXPECT_NE(printer_->transcriptText().find("< Tallyscript 7.31"), std::string::npos);
}

}  // namespace
}  // namespace fwxfer
