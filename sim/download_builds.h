// The objects a host downloads in program mode, each built from the commands that follow its
// header. A build either completes and is stored whole, or breaks and is dropped: the printer
// keeps running and nothing half-received is ever stored.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "object_contents.h"

namespace tarvo::sim {

// No download keeps more than this many bytes (hex data decoded, lines, ...) while it arrives:
// far more than any printer's memory, yet a bound on what a host can make the simulator hold.
inline constexpr std::size_t kMaxKeptBytes = 64u << 20;
// Nor more dots than this in one graphic or one bitmap font (a bit each while it arrives).
inline constexpr std::int64_t kMaxDots = std::int64_t{1} << 24;
// Widths, heights and column numbers are 0..65535.
inline constexpr int kMaxDimension = 65535;

class ObjectBuild {
  public:
    virtual ~ObjectBuild() = default;

    // Whether `rest`, the remainder of a message, is one whole line of this object rather than
    // commands: formats, pages and image fonts take lines, which may hold ';' of their own.
    virtual bool takesLine(std::string_view rest) const {
        static_cast<void>(rest);
        return false;
    }
    // Takes the next command (or line) of the object. Returns empty, or why the object is
    // broken; a broken build is not given anything more.
    virtual std::string take(std::string_view command) = 0;
    // Completes the object: its size in bytes as the listing shows it, and its content.
    // Returns empty, or why the object cannot be stored.
    virtual std::string finish(std::uint32_t* size,
                               std::shared_ptr<const ObjectContent>* content) = 0;
};

// Whether a command begins an object (J, F, S, T or G with a name) or deletes one (T, G, E, s):
// either ends the object under way.
bool BeginsObjectCommand(std::string_view command);

// The builds, given what their headers said. They never return null.
// An outline font whose header announced `announcedBytes` (0..kMaxKeptBytes): "j" commands of
// lower-case hex pairs, which must bring exactly that many bytes.
std::unique_ptr<ObjectBuild> MakeOutlineFontBuild(std::uint32_t announcedBytes);
// A font sent as image lines, one per message; its size is the image size the first line
// ("&") states, or, without one, the bytes of its lines.
std::unique_ptr<ObjectBuild> MakeImageFontBuild();
// A bitmap font: "x" and "y" (maximum width and cell height), then per character "t" (code and
// A-width), "Z" and its "u" columns. Its size is the bytes of its characters' bitmaps: per
// character, columns x ceiling(cell height / 8).
std::unique_ptr<ObjectBuild> MakeBitmapFontBuild();
// A graphic: "x" and "y" (width and height in dots), then "u" columns. Its size is
// ceiling(width x height / 8) bytes, the host's own estimate of it.
std::unique_ptr<ObjectBuild> MakeGraphicBuild();
// A format or a page: every line up to R; its size is the bytes of the lines.
std::unique_ptr<ObjectBuild> MakeCommandLinesBuild();

}  // namespace tarvo::sim
