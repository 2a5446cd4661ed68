// Program mode's object commands: deletions (T, G, E, s with a number) and downloads of fonts,
// graphics, formats and pages. A download begins with its header command and is stored when
// R, another download or a deletion ends it; until then it lives here, across messages.
//
// What each download is stored as:
//   J<id>,<name>,<1|0>,<bytes>  outline font, type 400 (TrueType, 1) or 300 (Speedo, 0), then
//                               "j" commands of lower-case hex; size: the bytes announced,
//                               which must all come, and no more.
//   J<id>,<name>,2              font of image lines, type 200; each following message is one
//                               line until R or the next object; size: the image size its
//                               first ("&") line states, else the bytes of the lines.
//   T<id>,<name>                bitmap font, type 200: x, y, then t, Z and u per character;
//                               size: per character, columns x ceiling(cell height / 8) bytes.
//   G<id>,<name>                graphic: x, y, u; size: ceiling(width x height / 8) bytes.
//   F<id>[,<name>]              format, and S<id>[,<name>] page: each following message is one
//                               line until R; size: the bytes of the lines.
// A message's line runs to the message's end, or to an R command in it (the ';' before the R
// is the separator, not part of the line).
// A download that is malformed, that holds no data, or that does not fit the free memory is
// dropped whole and the reason kept in the state's lastRefusal; the printer goes on.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "download_builds.h"
#include "printer_state.h"

namespace tarvo::sim {

class DownloadReceiver {
  public:
    // Takes one program-mode command other than R (not empty): a deletion or a header, either
    // of which first stores the download under way, or the next command of that download.
    // Other commands change nothing.
    void take(std::string_view command, PrinterState* state);

    // Whether `rest`, the remainder of a message from a command's start, is a line of the
    // download under way.
    bool takesLine(std::string_view rest) const;
    // Takes such a line (not empty).
    void takeLine(std::string_view line, PrinterState* state);

    // R, or the end of program mode: stores the download under way, if any.
    void finish(PrinterState* state);

  private:
    struct Download {
        ObjectKind kind = ObjectKind::Font;
        StoredObject object;
        std::unique_ptr<ObjectBuild> build;
        bool broken = false;
    };

    void start(std::string_view command, PrinterState* state);
    void give(std::string_view command, PrinterState* state);

    std::optional<Download> current_;
};

}  // namespace tarvo::sim
