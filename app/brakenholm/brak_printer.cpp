#include "brakenholm/brak_printer.h"

#include <ctime>
#include <utility>

#include "brakenholm/brak_model.h"

namespace tarvo::app {
namespace {

std::tm LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return local;
}

}  // namespace

CBrakPrinter::CBrakPrinter(AppSession& session, Prompt& prompt, int model,
                           std::unique_ptr<ScriptPort> port, Options options)
    : CPrinterBase(session.kernelHandle),
      session_(session),
      prompt_(prompt),
      model_(model),
      generation_(SetupGenerationOf(model)),
      port_(std::move(port)),
      options_(std::move(options)) {
    if (!options_.localTime)
        options_.localTime = LocalNow;
    setup_.portIndex = static_cast<std::uint16_t>(session.port);
}

std::string_view CBrakPrinter::TreeVersion() const {
    return TreeVersionOf(generation_);
}

CBrakPrinter* AsBrakPrinter(CPrinterBase* printer) {
    return dynamic_cast<CBrakPrinter*>(printer);
}

std::unique_ptr<CPrinterBase> MakePrinter(AppSession& session, Prompt& prompt, int model) {
    if (model >= kFirstBrakModel && model <= kLastBrakModel) {
        return std::make_unique<CBrakPrinter>(session, prompt, model,
                                              MakeRawScriptPort(session.kernelHandle));
    }
    return std::make_unique<CPrinterBase>(session.kernelHandle);
}

}  // namespace tarvo::app
