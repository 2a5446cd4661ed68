#include "tarvo/sim/simulation.h"

#include <stdlib.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "tarvo/base/fs.h"
#include "tarvo/base/paths.h"
#include "tarvo/base/port_names.h"
#include "tarvo/kernel.h"

namespace tarvo::sim {
namespace {

LineSettings LineOf(const commState& comm) {
    LineSettings line;
    line.baud = static_cast<unsigned>(comm.baud);
    line.dataBits = comm.dataBits;
    static constexpr char kParity[] = {'E', 'O', 'N', 'M', 'S'};
    line.parity = comm.parity >= 0 && comm.parity <= 4 ? kParity[comm.parity] : 'E';
    line.stopBits = comm.stopBits;
    switch (comm.protocol) {
        case PCU_PROTOCOL_STANDARD:
            line.protocol = Protocol::Standard;
            break;
        case PCU_PROTOCOL_RTSCTS:
            line.protocol = Protocol::RtsCts;
            break;
        default:
            line.protocol = Protocol::XonXoff;
            break;
    }
    return line;
}

}  // namespace

std::string SimulationStatePath(const std::string& modelName) {
    std::string file;
    for (const char c : modelName) {
        file.push_back(std::isalnum(static_cast<unsigned char>(c)) ? c : '_');
    }
    return platform::StateDirectory() + "/printer-" + file + ".state";
}

Simulation::~Simulation() {
    if (printer_)
        printer_->stop();
}

bool Simulation::makePrivateProfile(const std::string& basedOn, std::string* error) {
    return profile_.make(basedOn, error);
}

bool Simulation::start(const std::string& model, const commState& comm, bool fresh,
                       std::string* error) {
    const int index = ModelIndexByName(model);
    if (index < 0) {
        *error = "unknown printer model '" + model + "' (see the model list with --help)";
        return false;
    }
    Options options;
    options.model = index;
    options.family = FamilyOfModel(index).value_or(Family::Lanmere);
    options.line = LineOf(comm);
    options.preamble = comm.preamble;
    options.postamble = comm.postamble;
    options.processingDelays = true;
    options.statePath = SimulationStatePath(ModelName(index));
    if (!platform::MakeDirectories(platform::DirectoryOf(options.statePath), 0700)) {
        *error = "cannot create the state directory " + platform::DirectoryOf(options.statePath);
        return false;
    }
    if (fresh)
        ::unlink(options.statePath.c_str());
    printer_ = std::make_unique<PrinterSim>(options);
    if (!printer_->start(error))
        return false;
    const char* family = options.family == Family::Brakenholm ? "Brakenholm" : "Lanmere";
    if (PCUWriteProfileString("Communications", "Family", family, 0) != PCU_OK ||
        PCUWriteProfileString("Communications", "Device.COM1", printer_->devicePath().c_str(), 0) !=
            PCU_OK) {
        *error = "cannot point the profile's Device.COM1 at the simulated printer";
        return false;
    }
    return true;
}

}  // namespace tarvo::sim
