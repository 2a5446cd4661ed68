// The media tables of the print quality wizard: one text file for thermal-transfer ribbons
// (BrakTTRMedia.txt) and one for direct-thermal labels (BrakDTMedia.txt), each entry a line of
// comma-separated fields with the quality values that suit the media.
//
// A line is read when it is at most 99 characters long (line end not counted; LF and CR LF are
// both taken), does not start with "*" and has at least 56 characters; shorter lines are
// headings and comments. An entry holds a name, a description, a constant, a factor, for
// thermal transfer a label offset, and a maximum print speed in mm/s. Values out of range are
// corrected, each with a note for the operator; lines that are too long or do not hold their
// fields are skipped, each with a note. The file itself is never changed.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::app {

enum class MediaKind { DirectThermal, ThermalTransfer };

// One entry of a media table, values as corrected.
struct BrakMediaEntry {
    std::string name;         // "DT Type/Speed" or "Ribbon Type"
    std::string description;  // "Paper Designation" or "Receiving Material"
    int constant = 0;         // label constant (direct thermal) or ribbon constant
    int factor = 0;           // label factor or ribbon factor
    int offset = 0;           // label offset; always 0 for direct thermal
    int maxSpeed = 0;         // mm/s

    bool operator==(const BrakMediaEntry&) const = default;
};

// What reading a table told the operator: a corrected value or a skipped line.
struct MediaTableNote {
    int line = 0;  // 1-based, counting every line of the file
    std::string text;

    bool operator==(const MediaTableNote&) const = default;
};

// The longest line a table may hold, without its line end.
inline constexpr std::size_t kMediaLineMax = 99;
// Shorter lines are headings or comments.
inline constexpr std::size_t kMediaLineMin = 56;

class BrakMediaTable {
  public:
    // Reads the entries of `text` (a whole file) in file order. `model880KS`: the printer's
    // model text is "880KS", whose speeds stop at 225 mm/s.
    static BrakMediaTable Parse(std::string_view text, MediaKind kind, bool model880KS);

    MediaKind kind() const { return kind_; }
    const std::vector<BrakMediaEntry>& entries() const { return entries_; }
    // The corrections and skipped lines, in the order of the file.
    const std::vector<MediaTableNote>& notes() const { return notes_; }
    // The length of the longest name, for lining up the descriptions.
    std::size_t longestName() const { return longestName_; }

    // The position of the first entry whose constant, factor and offset are the given ones,
    // or 0 when none is (the table is never empty when the wizard uses it).
    int Preselect(int constant, int factor, int offset) const;

  private:
    void ReadLine(std::string_view line, int number, bool model880KS);

    MediaKind kind_ = MediaKind::DirectThermal;
    std::vector<BrakMediaEntry> entries_;
    std::vector<MediaTableNote> notes_;
    std::size_t longestName_ = 0;
};

// "Ribbon" for thermal transfer, "Label" for direct thermal: how the notes name the values.
std::string_view MediaValueKind(MediaKind kind);

// "BrakTTRMedia.txt" or "BrakDTMedia.txt".
std::string_view MediaTableFileName(MediaKind kind);

// The directories searched for the tables, first to last: $TARVO_HOME (else
// $XDG_DATA_HOME/tarvo, default ~/.local/share/tarvo), then "tarvo" under each absolute entry
// of $XDG_DATA_DIRS (default /usr/local/share:/usr/share), where an installation puts them,
// then share/tarvo beside the program's bin/ directory (any prefix, and the build tree).
std::vector<std::string> MediaTableDirectories();

// A table read from the search path, or why none could be.
struct MediaTableLoad {
    std::optional<BrakMediaTable> table;  // set when a file was read and held entries
    std::string path;                     // the file read (empty when none opened)
    std::string error;                    // for the operator, when `table` is unset
};

// Reads the table of `kind` from the first directory of MediaTableDirectories() where it
// opens. No file that opens gives "Unable to open file " and every path tried; a file without
// entries, or larger than a table can be, is refused with its path.
MediaTableLoad LoadMediaTable(MediaKind kind, bool model880KS);

}  // namespace tarvo::app
