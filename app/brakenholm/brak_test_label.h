// Sample labels: a short Tallyscript program that prints the quality values being tried beside
// boxes, lines and Code 39 samples, against which print quality is judged. The quality pages
// and the quality wizard send them.
//
// Setup tree "7.12" printers and the generation-1 printers of tree "6.13" get a numbered
// program (NEW, the numbered lines, RUN); the generation-0 printers get the stored layout
// TARVO730, re-created each time and run with the values as its fields.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "brakenholm/brak_media_rules.h"
#include "brakenholm/brak_printer.h"

namespace tarvo::app {

// The quality values a sample label of tree "7.12" tries and shows.
struct SampleValues {
    bool thermalTransfer = false;
    std::int16_t constant = 0;    // label constant (direct thermal) or ribbon constant
    std::int16_t factor = 0;      // label factor or ribbon factor
    std::int16_t offset = 0;      // label offset; shown for thermal transfer only
    std::int32_t printSpeed = 0;  // mm/s; 0: the speed is not tried (the quality page)
    std::int16_t contrast = 0;    // contrast table position (0..10, shown as 2p - 10 percent)
};

// The values a sample label of tree "6.13" tries and shows.
struct ClassicSampleValues {
    bool thermalTransfer = false;          // the paper type chosen on the page
    std::uint16_t paperType = kNoIndex;    // paper grade table position
    std::uint16_t newSupplies = kNoIndex;  // new-supplies table position (the ribbon)
    std::int16_t contrast = 5;             // the printer's contrast number 0..10
};

// A test-label program: the lines that store it and the lines that run it, in order.
struct BrakTestLabel {
    std::vector<std::string> program;
    std::vector<std::string> run;
};

// The numbered program of tree "7.12" for `model`. `speedMm` is the speed shown (mm/s; 0:
// "Unknown"), in in/s unless `metric`.
BrakTestLabel NewTreeTestLabel(const MediaModel& model, const SampleValues& values,
                               std::int32_t speedMm, bool metric);

// The program of tree "6.13": numbered for generation 1, the TARVO730 layout for generation 0.
// `performance` is the performance table position shown (kNoIndex: "UNKNOWN").
BrakTestLabel ClassicTestLabel(const MediaModel& model, const ClassicSampleValues& values,
                               std::uint16_t performance);

// Sends a tree "7.12" sample: warns "No ribbon detected!" for a transfer sample when the ribbon
// sensor sees none; reads the printer's own values; sends the values to try with the setup
// tree's own writers, the program for the printer's model and generation and RUN; then, once
// the printer answers again (bounded wait), sends the printer's own values back, on every path
// after the first value went out. `metric` chooses how the speed is shown. Returns Done, or
// the first failure with the setting's name; the record is never changed.
OpResult SendSample(CBrakPrinter& printer, const SampleValues& values, bool metric);

// The same for a tree "6.13" printer: tries the paper grade, the contrast and the ribbon.
OpResult SendClassicSample(CBrakPrinter& printer, const ClassicSampleValues& values);

}  // namespace tarvo::app
