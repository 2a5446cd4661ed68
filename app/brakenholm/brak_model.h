// Which setup tree and which command forms a Brakenholm model uses, as the shared capabilities
// table gives them.
#pragma once

#include <string_view>

#include "tarvo/base/model_capabilities.h"

namespace tarvo::app {

inline constexpr int kFirstBrakModel = 26;
inline constexpr int kLastBrakModel = 40;
inline constexpr int kUnknownModel = 41;

inline constexpr std::string_view kTree613 = "6.13";
inline constexpr std::string_view kTree712 = "7.12";

// Setup generation 0..3 of a model identifier: 27 and 28 are 0, 32 and 33 are 2, 34 to 41 are 3,
// every other identifier 1.
inline int SetupGenerationOf(int model) {
    return CapabilitiesOf(model).setupGeneration;
}

// The setup tree of a generation: "7.12" for generations 2 and 3, else "6.13". The tree is never
// stored apart from the generation, so the two cannot disagree.
std::string_view TreeVersionOf(int generation);

// Whether the generation writes the "7.12" key paths.
inline bool UsesNewTree(int generation) {
    return SetupTreeOfGeneration(generation) == kTree712;
}

// Model 27 or 28, the generation-0 models with their own FILES and FORMAT DATE$ forms.
inline bool IsModel27Or28(int model) {
    return SetupGenerationOf(model) == 0;
}

// Models 32 to 41 keep their files on "c:" and answer meminfo.
inline bool HasFlashDrive(int model) {
    return CapabilitiesOf(model).hasFlashDrive;
}

}  // namespace tarvo::app

namespace tarvo::app {

// The two model tests the pages ask: not the 760 (identifier 29), and one of 720, 780, 880
// (identifiers 26, 30, 31). These are defined by the identifiers themselves, not by an ability
// the models share, so they compare the numbers rather than read a column.
inline bool IsNotModel29(int model) {
    return model != 29;
}
inline bool IsModel26Or30Or31(int model) {
    return model == 26 || model == 30 || model == 31;
}

}  // namespace tarvo::app
