#include "brakenholm/script_port.h"

#include <cerrno>
#include <string>

#include "tarvo/port.h"

namespace tarvo::app {
namespace {

class RawConnection final : public ScriptConnection {
  public:
    explicit RawConnection(PCUHandle handle) : handle_(handle) {}
    ~RawConnection() override { ClosePrinterG(handle_); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    int Write(std::string_view bytes) override {
        unsigned written = 0;
        unsigned error = 0;
        WriteToPrinterG(handle_, bytes.data(), static_cast<int>(bytes.size()), &written, &error);
        if (error == 0 && written != bytes.size())
            error = EIO;
        return static_cast<int>(error);
    }

    int WriteSlowly(std::string_view bytes) override {
        unsigned written = 0;
        unsigned error = 0;
        WriteCharsToPrinterG(handle_, bytes.data(), static_cast<int>(bytes.size()), &written,
                             &error);
        if (error == 0 && written != bytes.size())
            error = EIO;
        return static_cast<int>(error);
    }

    ReadOutcome Read(char* buffer, std::size_t size) override {
        unsigned count = 0;
        unsigned error = 0;
        const int more =
            ReadFromPrinterG(handle_, buffer, static_cast<unsigned>(size), &count, &error);
        return {count, more == 1, static_cast<int>(error)};
    }

  private:
    PCUHandle handle_;
};

class RawScriptPort final : public ScriptPort {
  public:
    explicit RawScriptPort(int ctx) : ctx_(ctx) {}

    OpenOutcome Open(std::string_view lineSettings) override {
        const std::string settings(lineSettings);
        errno = 0;
        const PCUHandle handle = OpenPrinterG(ctx_, PCU_PORT_FROM_CONTEXT,
                                              settings.empty() ? nullptr : settings.c_str());
        if (handle == PCU_INVALID_HANDLE)
            return {nullptr, errno != 0 ? errno : EIO};
        return {std::make_unique<RawConnection>(handle), 0};
    }

    void Wait(int ms) override { PCUWait(ms); }

  private:
    int ctx_;
};

}  // namespace

std::unique_ptr<ScriptPort> MakeRawScriptPort(int ctx) {
    return std::make_unique<RawScriptPort>(ctx);
}

}  // namespace tarvo::app
