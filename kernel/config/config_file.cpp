#include "config/config_file.h"

#include <cerrno>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "config/file_sections.h"
#include "config/reply_parser.h"
#include "config/transfer.h"
#include "port/bounded_copy.h"
#include "session/export_boundary.h"
#include "tarvo/base/fs.h"
#include "tarvo/base/model_tables.h"
#include "tarvo/base/notation.h"
#include "tarvo/config.h"

namespace tarvo {
namespace {

constexpr std::string_view kObjectSectionStart = "<ESC>P";
constexpr std::string_view kFrameEnd = "<ETX>";
constexpr char kEtx = 0x03;

// ---- writing ----

struct Step {
    bool wanted;
    SectionWriter writer;
};

// Runs the wanted steps in order until one fails. Nothing is saved after a failure, so the
// steps after it would be written for nothing.
int RunUntilFailure(Context& context, std::initializer_list<Step> steps, std::string* text) {
    for (const Step& step : steps) {
        if (!step.wanted || step.writer == nullptr)
            continue;
        if (const int status = step.writer(context, text); status != 0)
            return status;
    }
    return 0;
}

// The last part of a path, for the error record.
std::string_view FileName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// ---- reading ----

enum class LineRead { kLine, kEnd, kTooLong, kError };

// The file being read and the number of the line last read, for the error record.
struct LineSource {
    std::FILE* file;
    int number = 0;
};

// One line without its line end (LF, or CR LF). Reading stops as soon as the line is known to be
// too long, so a file without line ends costs no more than one line's worth of memory.
LineRead ReadLine(LineSource& source, std::string* line) {
    line->clear();
    ++source.number;
    bool any = false;
    for (;;) {
        const int c = std::getc(source.file);
        if (c == EOF) {
            if (std::ferror(source.file))
                return LineRead::kError;
            break;
        }
        any = true;
        if (c == '\n')
            break;
        // One byte more than the limit may be the CR of a CR LF.
        if (line->size() > kMaxFileLine)
            return LineRead::kTooLong;
        line->push_back(static_cast<char>(c));
    }
    if (!line->empty() && line->back() == '\r')
        line->pop_back();
    if (line->size() > kMaxFileLine)
        return LineRead::kTooLong;
    return any ? LineRead::kLine : LineRead::kEnd;
}

// What a line carries: everything after its first `>` (the end of "<STX>" or "<ETX>"), without
// the "<ETX>" that closes it. Only the last "<ETX>" closes: an end-of-message character ETX is
// written as "<ETX>" inside the command.
std::string_view Content(std::string_view line) {
    const std::size_t open = line.find('>');
    if (open == std::string_view::npos)
        return {};
    line.remove_prefix(open + 1);
    if (line.ends_with(kFrameEnd))
        line.remove_suffix(kFrameEnd.size());
    return line;
}

int StatusOf(LineRead read) {
    return read == LineRead::kError ? PCU_ERR_FILE_READ : PCU_ERR_FILE_PARSE;
}

// "model,firmware": the model must be one of the escape-language rows; the firmware runs to a
// blank.
int ReadHeader(LineSource& file, ConfigRecord& record) {
    std::string line;
    const LineRead read = ReadLine(file, &line);
    if (read == LineRead::kEnd)
        return PCU_ERR_FILE_MODEL;
    if (read != LineRead::kLine)
        return StatusOf(read);
    const std::string_view content = Content(line);
    const std::size_t comma = content.find(',');
    const int model = ModelIndexOf(content.substr(0, comma));
    if (!IsTableModel(model))
        return PCU_ERR_FILE_MODEL;
    std::string_view firmware =
        comma == std::string_view::npos ? std::string_view() : content.substr(comma + 1);
    firmware = firmware.substr(0, firmware.find_first_of(" \r\n"));
    record.model = static_cast<std::int16_t>(model);
    CopyBounded(firmware, record.firmware, sizeof record.firmware);
    return PCU_OK;
}

int ReadProgramModeLine(LineSource& file) {
    std::string line;
    const LineRead read = ReadLine(file, &line);
    if (read == LineRead::kEnd)
        return PCU_ERR_FILE_MODEL;
    if (read != LineRead::kLine)
        return StatusOf(read);
    return Content(line) == "R" ? PCU_OK : PCU_ERR_FILE_MODEL;
}

// The configuration commands, expanded and run together as a printer would report them, ended
// by <ETX>. *lineEnds receives, for each line read, its number and where its commands end.
struct CommandLineEnd {
    int number;
    std::size_t end;
};

int ReadCommands(LineSource& file, std::string* commands, std::vector<CommandLineEnd>* lineEnds) {
    std::string line;
    for (;;) {
        const LineRead read = ReadLine(file, &line);
        if (read == LineRead::kEnd)
            break;
        if (read != LineRead::kLine)
            return StatusOf(read);
        if (line.find(kObjectSectionStart) != std::string::npos)
            break;
        std::string content(Content(line));
        ExpandMnemonics(content);
        if (commands->size() + content.size() + 1 > kMaxConfigurationPart)
            return PCU_ERR_FILE_PARSE;
        *commands += content;
        lineEnds->push_back({file.number, commands->size()});
    }
    commands->push_back(kEtx);
    return PCU_OK;
}

// The number of the first command line whose commands do not parse: the shortest run of lines
// that fails to parse ends with it.
int FirstBadLine(const std::string& commands, const std::vector<CommandLineEnd>& lineEnds,
                 const ConfigRecord& record) {
    for (const CommandLineEnd& line : lineEnds) {
        ConfigRecord scratch = record;
        std::string prefix = commands.substr(0, line.end);
        prefix.push_back(kEtx);
        if (!ParseConfigurationReply(prefix, scratch))
            return line.number;
    }
    return lineEnds.empty() ? 0 : lineEnds.back().number;
}

}  // namespace

int BuildConfigurationFile(Context& context, std::string* text) {
    const auto& flags = context.downloadFlags;
    if (flags[0] != 0) {
        if (const int status = WriteConfiguration(nullptr, text, context.settings))
            return status;
    }
    const ObjectSectionWriters& sections = ObjectSections();
    // Deletions first, so that a download may take the place of what it replaces.
    return RunUntilFailure(context,
                           {{flags[1] != 0, sections.fontDeletions},
                            {flags[2] != 0, sections.graphicDeletions},
                            {flags[3] != 0, sections.formatDeletions},
                            {flags[3] != 0, sections.pageDeletions},
                            {flags[1] != 0, sections.fontDownloads},
                            {flags[2] != 0, sections.graphicDownloads},
                            {flags[3] != 0, sections.formatDownloads}},
                           text);
}

int LoadConfigurationPart(std::FILE* file, ConfigRecord& record, int* badLine) {
    LineSource source{file};
    ConfigRecord scratch = record;
    std::string commands;
    std::vector<CommandLineEnd> lineEnds;
    int status = ReadHeader(source, scratch);
    if (status == PCU_OK)
        status = ReadProgramModeLine(source);
    if (status == PCU_OK)
        status = ReadCommands(source, &commands, &lineEnds);
    if (status != PCU_OK) {
        *badLine = source.number;
        return status;
    }
    scratch.valueV = kValueVNotSent;
    if (!ParseConfigurationReply(commands, scratch)) {
        *badLine = FirstBadLine(commands, lineEnds, scratch);
        return PCU_ERR_FILE_PARSE;
    }
    scratch.memoryFree = 0;
    scratch.imageSize = 0;
    DerivePaperHandling(scratch);
    record = scratch;
    *badLine = 0;
    return PCU_OK;
}

}  // namespace tarvo

using namespace tarvo;

namespace {

int SaveFile(Context& context, const std::string& path) {
    std::string text;
    if (const int status = BuildConfigurationFile(context, &text); status != 0)
        return status;
    if (!platform::ReplaceUserFile(path, text)) {
        context.recordError(PCU_ERR_FILE_WRITE, errno, FileName(path));
        return PCU_ERR_FILE_WRITE;
    }
    return PCU_OK;
}

int LoadFile(Context& context, const std::string& path) {
    std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "rb"),
                                                            &std::fclose);
    if (!file) {
        context.recordError(PCU_ERR_FILE_WRITE, errno, FileName(path));
        return PCU_ERR_FILE_WRITE;
    }
    errno = 0;
    int badLine = 0;
    const int status = LoadConfigurationPart(file.get(), context.settings, &badLine);
    if (status != PCU_OK) {
        const int sysError = status == PCU_ERR_FILE_READ ? errno : 0;
        // The line goes first: the detail text is short, and a long file name is cut from its
        // end.
        const std::string where =
            badLine > 0 ? "line " + std::to_string(badLine) + " of " + std::string(FileName(path))
                        : std::string(FileName(path));
        context.recordError(status, sysError, where);
    }
    return status;
}

}  // namespace

TARVO_API int PCUToFile(int ctx, const char* path) {
    return RunExport(ctx, [&](Context& context) -> int {
        if (path == nullptr)
            return PCU_ERR_ARGUMENT;
        return SaveFile(context, path);
    });
}

TARVO_API int PCUFromFile(int ctx, const char* path) {
    return RunExport(ctx, [&](Context& context) -> int {
        if (path == nullptr)
            return PCU_ERR_ARGUMENT;
        return LoadFile(context, path);
    });
}
