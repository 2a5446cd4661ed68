// PCUResetPrinter: the printer back on its factory communication settings, and the profile and
// the context on the same ones, so that the next connection still reaches it.
#include <string>
#include <utility>
#include <vector>

#include "port/profile.h"
#include "port/wait.h"
#include "services/service_link.h"
#include "session/export_boundary.h"
#include "session/kernel_state.h"
#include "tarvo/base/model_capabilities.h"
#include "tarvo/context.h"
#include "tarvo/services.h"

namespace tarvo {
namespace {

using ProfileValues = std::vector<std::pair<std::string, std::string>>;

constexpr int kResetWaitMs = 50;

// The profile values that describe the model's factory line. Models that keep their line keep
// its settings; none of them puts characters around its replies after a reset.
ProfileValues FactoryProfileValues(int model) {
    ProfileValues values;
    if (const FactoryLine line = CapabilitiesOf(model).factoryLine; line != FactoryLine::kKept) {
        const bool seven = line == FactoryLine::kSevenBitsEven;
        values = {{"Baud", "9600"},
                  {"Parity", seven ? "Even" : "None"},
                  {"DataBits", seven ? "7" : "8"},
                  {"StopBits", "1"},
                  {"Protocol", "XON/XOFF"}};
    }
    values.emplace_back("Preamble", "");
    values.emplace_back("Postamble", "");
    return values;
}

int ResetPrinter(int ctx, Context& context, int model) {
    if (!PrinterAnswers(ctx))
        return PCU_ERR_NO_PING;
    {
        ServiceLink link(context);
        link.send("<ESC>T;D;R");
        if (link.portRefused())
            return link.failure();
        WaitMs(kResetWaitMs);
        if (const int closed = link.close(); closed != PCU_OK)
            return closed;
    }
    const int written = WriteProfileValues(FactoryProfileValues(model));
    // The context follows the profile even when the profile could not be written: then it keeps
    // what the profile still says, which is what the user will see.
    PCUInitCommParm(ctx);
    return written;
}

}  // namespace
}  // namespace tarvo

using namespace tarvo;

TARVO_API int PCUResetPrinter(int ctx) {
    return RunExport(ctx, [&](Context& context) {
        const int model = context.settings.model;
        return ResetPrinter(ctx, context, model);
    });
}
