// `--simulate MODEL` of both programs: a simulated printer on a pseudo-terminal for the length of
// one run, remembered across runs in a state file per model, in a private profile. What the
// host learned of the printer (where and how it was last identified) is remembered beside it.
#pragma once

#include <memory>
#include <string>

#include "tarvo/sim/printer_sim.h"
#include "tarvo/sim/private_profile.h"
#include "tarvo/types.h"

namespace tarvo::sim {

class Simulation {
  public:
    Simulation() = default;
    ~Simulation();
    Simulation(const Simulation&) = delete;
    Simulation& operator=(const Simulation&) = delete;

    // Makes this run's private profile (PrivateProfile::make): a simulated run must not leave a
    // real profile pointing at a pseudo-terminal that is gone. Returns false with *error set.
    bool makePrivateProfile(const std::string& basedOn, std::string* error);

    // Starts a printer of `model` on the line `comm` describes, points the profile's
    // Device.COM1 at it and sets the profile's Family to the printer's. `fresh` starts from the
    // model's factory state instead of the state file. Returns false with *error set on failure.
    bool start(const std::string& model, const commState& comm, bool fresh, std::string* error);

    const PrinterSim& printer() const { return *printer_; }

  private:
    std::unique_ptr<PrinterSim> printer_;
    PrivateProfile profile_;
    std::string learnedPath_;  // what earlier runs learned of the printer
};

// The state file of a simulated model in the user's state directory.
std::string SimulationStatePath(const std::string& modelName);

}  // namespace tarvo::sim
