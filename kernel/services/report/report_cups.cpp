// The report's print jobs through libcups.
#include "services/report/report_cups.h"

#include <cups/cups.h>

#include <string>

namespace tarvo::report {
namespace {

class CupsSpooler final : public PrintSpooler {
  public:
    ~CupsSpooler() override {
        if (dests_ != nullptr)
            cupsFreeDests(destCount_, dests_);
    }

    bool openDefaultDestination() override {
        destCount_ = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests_);
        dest_ = cupsGetDest(nullptr, nullptr, destCount_, dests_);
        return dest_ != nullptr;
    }

    bool startJob(const char* title) override {
        if (dest_ == nullptr)
            return false;
        job_ = cupsCreateJob(CUPS_HTTP_DEFAULT, dest_->name, title, dest_->num_options,
                             dest_->options);
        if (job_ == 0)
            return false;
        return cupsStartDocument(CUPS_HTTP_DEFAULT, dest_->name, job_, title, CUPS_FORMAT_TEXT,
                                 1) == HTTP_STATUS_CONTINUE;
    }

    bool write(std::string_view text) override {
        return cupsWriteRequestData(CUPS_HTTP_DEFAULT, text.data(), text.size()) ==
               HTTP_STATUS_CONTINUE;
    }

    bool finishJob() override {
        return cupsFinishDocument(CUPS_HTTP_DEFAULT, dest_->name) == IPP_STATUS_OK;
    }

    void cancelJob() override {
        if (job_ != 0)
            cupsCancelJob2(CUPS_HTTP_DEFAULT, dest_->name, job_, 0);
    }

    std::string destinationName() const override {
        return dest_ != nullptr && dest_->name != nullptr ? dest_->name : "";
    }

  private:
    cups_dest_t* dests_ = nullptr;
    int destCount_ = 0;
    cups_dest_t* dest_ = nullptr;
    int job_ = 0;
};

std::unique_ptr<PrintSpooler> MakeCupsSpooler() {
    return std::make_unique<CupsSpooler>();
}

SpoolerFactory& Factory() {
    static SpoolerFactory factory = MakeCupsSpooler;
    return factory;
}

}  // namespace

std::unique_ptr<PrintSpooler> MakeSpooler() {
    return Factory()();
}

void SetSpoolerFactory(SpoolerFactory factory) {
    Factory() = factory != nullptr ? factory : MakeCupsSpooler;
}

}  // namespace tarvo::report
