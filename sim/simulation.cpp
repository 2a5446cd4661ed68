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

// What the host learned of the simulated printer in earlier runs (where and how it was last
// identified) is kept beside the printer's state, as a profile keeps it for a real printer: the
// private profile of each run would otherwise forget it.
constexpr const char* kLearnedKeys[] = {"IdentifiedPort", "IdentifiedProtocol", "IdentifiedModel"};
constexpr std::size_t kLearnedFileBytes = 4096;

std::string LearnedPath(const std::string& statePath) {
    return statePath + ".host";
}

void RestoreLearned(const std::string& path) {
    std::string text;
    if (platform::ReadSmallFile(path, kLearnedFileBytes, &text) != 0)
        return;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        const std::size_t eq = line.find('=');
        for (const char* key : kLearnedKeys) {
            if (eq != std::string::npos && line.compare(0, eq, key) == 0)
                PCUWriteProfileString("Communications", key, line.substr(eq + 1).c_str(), 0);
        }
    }
}

void SaveLearned(const std::string& path) {
    std::string text;
    for (const char* key : kLearnedKeys) {
        char value[64] = "";
        PCUGetProfileString("Communications", key, "", value, sizeof value - 1, 0);
        if (value[0] != '\0')
            text += std::string(key) + "=" + value + "\n";
    }
    if (!text.empty())
        platform::WriteFileAtomically(path, text, 0600);
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
    if (!printer_)
        return;
    printer_->stop();
    SaveLearned(learnedPath_);
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
    learnedPath_ = LearnedPath(options.statePath);
    if (fresh) {
        ::unlink(options.statePath.c_str());
        ::unlink(learnedPath_.c_str());
    }
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
    RestoreLearned(learnedPath_);
    return true;
}

}  // namespace tarvo::sim
