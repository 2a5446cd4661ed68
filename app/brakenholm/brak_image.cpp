// LoadImage: an image goes in raw, announced with its exact size, so the printer knows where
// the image ends and its interpreter begins again. Its bytes use all eight bits, so a printer
// on 7-bit characters is moved to 8 for the image and put back afterwards.
#include <fstream>
#include <iterator>

#include "brakenholm/brak_printer.h"

namespace tarvo::app {
namespace {

constexpr std::size_t kImageBlockBytes = 4096;
constexpr std::uint16_t kSevenBits = 7;

}  // namespace

OpResult CBrakPrinter::LoadImage(const std::string& path, const std::string& name) {
    if (auto problem = PrinterFileNameProblem(name))
        return {OpStatus::Refused, std::nullopt, *problem};
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {OpStatus::Refused, std::nullopt, "cannot read " + path};
    const std::string content((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    if (in.bad())
        return {OpStatus::Refused, std::nullopt, "cannot read " + path};
    if (setup_.charLength != kSevenBits)
        return SendImage(name, content);
    const BrakSetup saved = setup_;
    setup_.charLength = 8;
    OpResult result = SendSettings({BrakSetting::CharLength});
    if (result.ok())
        result = SendImage(name, content);
    return RestoreLineAfterTransfer(saved, result, {BrakSetting::CharLength});
}

OpResult CBrakPrinter::SendImage(const std::string& name, const std::string& content) {
    OpenOutcome open = port_->Open({});
    if (!open.connection)
        return {OpStatus::Failed, std::nullopt, "the port did not open"};
    const std::string command =
        "IMAGE LOAD \"" + name + "\"," + std::to_string(content.size()) + ",\"S\"\r";
    if (open.connection->Write(command) != 0)
        return {OpStatus::Failed, std::nullopt, "the IMAGE LOAD line could not be sent"};
    for (std::size_t at = 0; at < content.size(); at += kImageBlockBytes) {
        if (open.connection->Write(std::string_view(content).substr(at, kImageBlockBytes)) != 0) {
            return {OpStatus::Failed, std::nullopt,
                    "Incomplete file transfer.\nPossibly due to insufficient memory overhead."};
        }
    }
    return {};
}

}  // namespace tarvo::app
