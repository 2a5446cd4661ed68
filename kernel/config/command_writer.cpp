#include "config/command_writer.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/clock.h"
#include "tarvo/base/notation.h"

namespace tarvo {
namespace {

constexpr int kSendRetries = 5;
constexpr std::string_view kLineEnd = "\r\n";

// Control bytes spelled by name, so that the line reads back as it was meant.
std::string Spelled(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            out += RenderMnemonics(std::string_view(&c, 1));
        } else {
            out += c;
        }
    }
    return out;
}

int WriteToFile(std::string& file, int mode, std::string_view text) {
    if (mode == kCommandHeader) {
        // A header is text that a reader takes as it is, without expanding names.
        file += text;
    } else {
        file += "<STX>";
        file += Spelled(text);
        file += "<ETX>";
    }
    file += kLineEnd;
    return 0;
}

// The batch waiting in the context's reply buffer.
class Batch {
  public:
    Batch(LineContext& context, Connection& conn) : context_(context), conn_(conn) {}

    bool usable() const { return context_.replyBuffer.size() >= conn_.sendSize; }
    std::size_t size() const { return static_cast<std::size_t>(context_.replyPos); }
    void drop() { context_.replyPos = 0; }

    void append(std::string_view text) {
        std::copy(text.begin(), text.end(), context_.replyBuffer.begin() + context_.replyPos);
        context_.replyPos += static_cast<int>(text.size());
    }

    // Sends what is waiting as one framed message. Returns 0 or the failed send's status.
    int flush() {
        if (size() == 0)
            return 0;
        unsigned sysErr = 0;
        const int status =
            FramedWrite(conn_, context_.replyBuffer.data(), size(), kSendRetries, &sysErr);
        drop();
        if (status != 0)
            context_.recordError(status, static_cast<int>(sysErr));
        return status;
    }

  private:
    LineContext& context_;
    Connection& conn_;
};

int WriteToPrinter(LineContext& context, Connection& conn, int mode, std::string_view text) {
    if (mode == kCommandHeader)
        return kHeaderNotSent;
    Batch batch(context, conn);
    if (!batch.usable())
        return PCU_ERR_LOCK;
    if (text.size() >= conn.sendSize) {
        // No framed message could carry it; refused before it could overrun the batch.
        batch.drop();
        context.recordError(kFrameTooLong, 0);
        return kFrameTooLong;
    }
    if (batch.size() + text.size() + 1 >= conn.sendSize) {
        if (const int status = batch.flush(); status != 0)
            return status;
    }
    batch.append(text);
    if (mode == kCommandSingle || mode == kCommandLast)
        return batch.flush();
    return 0;
}

std::vector<std::string_view> Pieces(std::string_view text) {
    std::vector<std::string_view> pieces;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(';'), text.size());
        if (end > 0)
            pieces.push_back(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return pieces;
}

int ModeOf(std::size_t index, std::size_t count) {
    if (count == 1)
        return kCommandSingle;
    if (index == 0)
        return kCommandFirst;
    return index + 1 == count ? kCommandLast : kCommandMiddle;
}

}  // namespace

int SendCommand(Connection* conn, std::string* file, int mode, std::string_view text) {
    if (conn != nullptr) {
        if (conn->owner == nullptr)
            return PCU_ERR_NO_CONTEXT;
        return WriteToPrinter(*conn->owner, *conn, mode, text);
    }
    if (file != nullptr)
        return WriteToFile(*file, mode, text);
    return PCU_ERR_NO_TARGET;
}

int SendCommandList(Connection* conn, std::string* file, bool keepSemicolons,
                    ProgressFunction progress, std::string_view text) {
    const std::vector<std::string_view> pieces = Pieces(text);
    std::size_t written = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        std::string piece(pieces[i]);
        if (keepSemicolons && conn != nullptr && i + 1 < pieces.size())
            piece += ';';
        if (const int status = SendCommand(conn, file, ModeOf(i, pieces.size()), piece);
            status != 0) {
            return status;
        }
        written += piece.size();
        if (progress != nullptr)
            progress(static_cast<std::int32_t>(std::min<std::size_t>(written, INT32_MAX)));
        platform::PumpMessages();
    }
    return 0;
}

}  // namespace tarvo
