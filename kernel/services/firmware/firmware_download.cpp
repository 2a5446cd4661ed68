#include "services/firmware/firmware_download.h"

#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "services/firmware/boot_commands.h"
#include "services/firmware/boot_rom.h"
#include "services/firmware/flash_program.h"
#include "services/firmware/listfile.h"

namespace tarvo::firmware {
namespace {

constexpr std::size_t kFirstLineLimit = 512;
constexpr Millis kAfterLoader{250};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool Readable(const std::string& path) {
    File f(std::fopen(path.c_str(), "rb"));
    struct stat st {};
    return f && ::fstat(::fileno(f.get()), &st) == 0 && S_ISREG(st.st_mode);
}

// Carries the script out against the loader; files resolve in the firmware directory.
class DownloadExecutor final : public ScriptExecutor {
  public:
    DownloadExecutor(BootLoader* loader, std::string directory, std::string imageName,
                     std::FILE* out)
        : loader_(loader),
          directory_(std::move(directory)),
          image_(std::move(imageName)),
          out_(out) {}

    // Only the image the list names (and that was verified) may be flashed.
    int checkReadable(const std::string& name) override {
        if (!IsImage(name) || !Readable(PathIn(directory_, image_)))
            return kScriptCannotRead;
        return 0;
    }
    int checkCreatable(const std::string& name) override {
        struct stat st {};
        if (::lstat(PathIn(directory_, name).c_str(), &st) == 0 || errno != ENOENT)
            return kScriptCannotCreate;
        return 0;
    }
    int eraseFlash(std::uint32_t address) override {
        const int rc = loader_->eraseFlash(address);
        return rc;
    }
    int printHello(std::uint32_t number) override {
        const std::string text = PrintHelloText(number);
        std::fwrite(text.data(), 1, text.size(), out_);
        std::fflush(out_);
        return 0;
    }
    int fileToFlash(const std::string&, std::uint32_t address) override {
        return ProgramFileToFlash(*loader_, PathIn(directory_, image_), address);
    }
    int ramToFile(const std::string& name, std::uint32_t address, std::uint32_t length) override {
        return ReadRamToFile(*loader_, PathIn(directory_, name), address, length);
    }

  private:
    // Lists written on other systems may spell the name in another case.
    bool IsImage(const std::string& name) const {
        return name.size() == image_.size() &&
               ::strncasecmp(name.data(), image_.data(), name.size()) == 0;
    }

    BootLoader* loader_;
    std::string directory_;
    std::string image_;
    std::FILE* out_;
};

// What must hold before the first byte goes out: the loader opens, the list names a sound image
// and its script is valid.
int CheckBeforeSending(const std::string& directory, std::string* imageName) {
    if (!Readable(PathIn(directory, kLoaderFileName)))
        return kScriptCannotRead;
    if (const int rc = ReadImageName(directory, imageName); rc != 0)
        return rc;
    ImageVersions versions;
    if (const int rc = CheckImage(directory, *imageName, &versions); rc != 0)
        return rc;
    File list(std::fopen(PathIn(directory, kListFileName).c_str(), "rb"));
    if (!list)
        return kScriptCannotRead;
    FileLines lines(list.get());
    DownloadExecutor checker(nullptr, directory, *imageName, nullptr);
    return CheckScript(lines, checker);
}

// Boot ROM, loader and the loader's first answers, then the faster line.
int StartLoader(BootLink& link, BootLoader& loader, const std::string& directory) {
    if (const int rc = WaitForBootRom(link); rc != 0)
        return rc;
    if (const int rc = UploadLoader(link, PathIn(directory, kLoaderFileName)); rc != 0)
        return rc;
    platform::CurrentClock().sleepFor(kAfterLoader);
    std::string version;
    if (const int rc = loader.version(&version); rc != 0)
        return rc;
    std::uint32_t value = 0;
    if (const int rc = loader.flashType(kFlashBase, &value); rc != 0)
        return rc;
    if (const int rc = loader.flashSize(&value); rc != 0)
        return rc;
    if (loader.speedCode() != kSpeed57600) {
        if (const int rc = loader.changeSpeed(kSpeed57600); rc != 0)
            return rc;
        if (const int rc = loader.version(&version); rc != 0)
            return rc;
    }
    return 0;
}

}  // namespace

std::string FirmwareDirectory(const char* drive, const char* directory) {
    std::string dir = drive != nullptr ? drive : "";
    dir += directory != nullptr ? directory : "";
    return dir.empty() ? std::string(".") : dir;
}

std::string PathIn(const std::string& directory, const std::string& name) {
    if (directory.empty() || directory.back() == '/')
        return directory + name;
    return directory + "/" + name;
}

int ReadImageName(const std::string& directory, std::string* name) {
    File list(std::fopen(PathIn(directory, kListFileName).c_str(), "rb"));
    if (!list)
        return kFwCannotOpen;
    std::string first;
    for (int c = std::fgetc(list.get()); c != EOF && c != '\n' && first.size() < kFirstLineLimit;
         c = std::fgetc(list.get()))
        first.push_back(static_cast<char>(c));
    return ParseImageName(first, name);
}

int CheckImage(const std::string& directory, const std::string& imageName,
               ImageVersions* versions) {
    FileImage image(PathIn(directory, imageName));
    if (!image.isOpen())
        return kFwCannotOpen;
    return ReadImageVersions(image, versions);
}

bool DeleteFirmwareFiles(const std::string& directory, const std::string& imageName) {
    ::unlink(PathIn(directory, kLoaderFileName).c_str());
    if (IsPlainFileName(imageName))
        ::unlink(PathIn(directory, imageName).c_str());
    return ::unlink(PathIn(directory, kListFileName).c_str()) == 0;
}

std::string PrintHelloText(std::uint32_t number) {
    char text[64];
    std::snprintf(text, sizeof text, "\r\n\"printhello\" called, argument: 0x%lx",
                  static_cast<unsigned long>(number));
    return text;
}

int RunDownload(BootLink& link, int speedCode, const std::string& directory, std::FILE* out) {
    std::string imageName;
    if (const int rc = CheckBeforeSending(directory, &imageName); rc != 0)
        return rc;
    BootLoader loader(link, speedCode);
    if (const int rc = StartLoader(link, loader, directory); rc != 0)
        return rc;
    File list(std::fopen(PathIn(directory, kListFileName).c_str(), "rb"));
    if (!list)
        return kScriptCannotRead;
    FileLines lines(list.get());
    DownloadExecutor executor(&loader, directory, imageName, out);
    if (const int rc = ExecuteScript(lines, executor); rc != 0)
        return rc;
    list.reset();
    if (const int rc = loader.exitMode("boot"); rc != 0)
        return rc;
    DeleteFirmwareFiles(directory, imageName);
    return 0;
}

}  // namespace tarvo::firmware
