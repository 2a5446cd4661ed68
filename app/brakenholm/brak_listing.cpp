#include "brakenholm/brak_listing.h"

#include <array>

#include "brakenholm/brak_model.h"
#include "brakenholm/brak_text.h"
#include "brakenholm/value_tables.h"

namespace tarvo::app {
namespace {

constexpr std::string_view kNumberChars = "0123456789+-";

class Reader {
  public:
    Reader(std::string_view listing, ListingParse& out) : listing_(listing), out_(out) {}

    // A key the listing lacks leaves its setting marked as not read.
    template <typename T>
    void Number(std::string_view key, T& field, BrakSetting setting) {
        if (const auto line = FindKeyLine(listing_, key))
            field = Saturate<T>(TrailingNumber(line->rest));
        else
            MarkUnread(out_.setup, setting);
    }

    std::string_view Text(std::string_view key) {
        const auto line = FindKeyLine(listing_, key);
        return line ? ValueText(line->rest) : std::string_view();
    }

    void Flag(std::string_view key, bool& field, BrakSetting setting) {
        if (const auto line = FindKeyLine(listing_, key))
            field = ValueText(line->rest) == kEnable;
        else
            MarkUnread(out_.setup, setting);
    }

    // A table field: the position of the key's text, or unset when the text names nothing.
    void Index(std::string_view key, ValueTable table, std::uint16_t& field, BrakSetting setting) {
        if (!FindKeyLine(listing_, key))
            MarkUnread(out_.setup, setting);
        field = Lookup(key, Text(key), table);
    }

    std::uint16_t Lookup(std::string_view key, std::string_view text, ValueTable table) {
        if (const auto index = FindInTable(table, text))
            return *index;
        if (!text.empty())
            out_.unrecognised.push_back(std::string(key) + ": " + std::string(text));
        return kNoIndex;
    }

    std::string_view listing() const { return listing_; }

  private:
    std::string_view listing_;
    ListingParse& out_;
};

// Supplies of generation 0 come singly or in pairs; which a value is tells whether a second
// NEW SUPPLIES line follows.
enum class SuppliesRole { Single, FirstOfPair, SecondOfPair, None };

SuppliesRole RoleOf(std::uint16_t index) {
    constexpr std::array<std::uint16_t, 3> kSingle = {14, 18, 23};
    constexpr std::array<std::uint16_t, 4> kFirst = {5, 0, 6, 8};
    constexpr std::array<std::uint16_t, 4> kSecond = {24, 17, 11, 13};
    const auto in = [index](const auto& list) {
        return std::find(list.begin(), list.end(), index) != list.end();
    };
    if (in(kSingle))
        return SuppliesRole::Single;
    if (in(kFirst))
        return SuppliesRole::FirstOfPair;
    if (in(kSecond))
        return SuppliesRole::SecondOfPair;
    return SuppliesRole::None;
}

// Files one supplies value by its role. Returns whether a second value is to be read.
bool FileSupplies(std::uint16_t index, BrakSetup& s) {
    switch (RoleOf(index)) {
        case SuppliesRole::Single:
            s.newSupplies1 = index;
            return false;
        case SuppliesRole::FirstOfPair:
            s.newSupplies1 = index;
            return true;
        case SuppliesRole::SecondOfPair:
            s.newSupplies2 = index;
            return true;
        case SuppliesRole::None:
            return false;
    }
    return false;
}

void ReadSupplies(Reader& r, int generation, BrakSetup& s) {
    constexpr std::string_view kKey = "NEW SUPPLIES";
    if (generation == 1) {
        r.Index(kKey, NewSuppliesTable(), s.newSupplies1, BrakSetting::NewSupplies1);
        return;
    }
    if (generation != 0)
        return;
    const auto first = FindKeyLine(r.listing(), kKey);
    if (!first)
        return;
    const std::uint16_t a = r.Lookup(kKey, ValueText(first->rest), NewSuppliesTable());
    if (a == kNoIndex || !FileSupplies(a, s))
        return;
    if (const auto second = FindKeyLine(r.listing(), kKey, first->keyEnd)) {
        const std::uint16_t b = r.Lookup(kKey, ValueText(second->rest), NewSuppliesTable());
        if (b != kNoIndex)
            FileSupplies(b, s);
    }
}

void ReadSerial(Reader& r, BrakSetup& s) {
    r.Index("BAUDRATE", BaudTable(), s.baud, BrakSetting::Baud);
    r.Number("CHAR LENGTH", s.charLength, BrakSetting::CharLength);
    r.Index("PARITY", ParityTable(), s.parity, BrakSetting::Parity);
    r.Number("STOPBITS", s.stopBits, BrakSetting::StopBits);
}

void ReadTheRest(Reader& r, int generation, BrakSetup& s) {
    r.Flag("RTS/CTS", s.rtsCts, BrakSetting::RtsCts);
    r.Flag("DATA TO HOST", s.xonXoffToHost, BrakSetting::XonXoffToHost);
    r.Flag("DATA FROM HOST", s.xonXoffFromHost, BrakSetting::XonXoffFromHost);
    r.Index("NEW LINE", NewLineTable(), s.newLine, BrakSetting::NewLine);
    // Generation-1 printers list the key with two Fs and their setup files carry it with one:
    // both are read so that a saved file loads back.
    const bool imageBufferListed = FindKeyLine(r.listing(), "IMAGE BUFF SIZE").has_value();
    r.Number(imageBufferListed ? "IMAGE BUFF SIZE" : "IMAGE BUF SIZE", s.imageBufferSize,
             BrakSetting::ImageBufferSize);
    using S = BrakSetting;
    if (UsesNewTree(generation)) {
        r.Number("REC BUF", s.receiveBuffer, S::ReceiveBuffer);
        r.Number("TRANS BUF", s.transmitBuffer, S::TransmitBuffer);
    } else if (generation == 1) {
        r.Number("REC BUF UART1", s.receiveBuffer, S::ReceiveBuffer);
        r.Number("TRANS BUF UART1", s.transmitBuffer, S::TransmitBuffer);
    }
    r.Number("STARTADJ", s.startAdjust, S::StartAdjust);
    r.Number("STOPADJ", s.stopAdjust, S::StopAdjust);
    if (!UsesNewTree(generation))
        r.Number("LSS ADJUST", s.lssAdjust, S::LssAdjust);
    r.Number("XSTART", s.xStart, S::XStart);
    r.Number("WIDTH", s.width, S::Width);
    r.Number("MEDIA SIZE,LENGTH", s.length, S::Length);
    r.Index("MEDIA TYPE", MediaTypeTable(), s.mediaType, S::MediaType);
    r.Index("PAPER TYPE", UsesNewTree(generation) ? PaperType712Table() : PaperGradeTable(),
            s.paperType, S::PaperType);
    ReadSupplies(r, generation, s);
    r.Index("PERFORMANCE", PerformanceTable(), s.performance, S::Performance);
    r.Number("LABEL CONSTANT", s.labelConstant, S::LabelConstant);
    r.Number("LABEL FACTOR", s.labelFactor, S::LabelFactor);
    r.Number("RIBBON CONSTANT", s.ribbonConstant, S::RibbonConstant);
    r.Number("RIBBON FACTOR", s.ribbonFactor, S::RibbonFactor);
    r.Number("LABEL OFFSET", s.labelOffset, S::LabelOffset);
    if (UsesNewTree(generation)) {
        std::uint16_t contrast = kNoIndex;
        r.Index("CONTRAST", ContrastTable(), contrast, S::Contrast);
        s.contrast = contrast == kNoIndex ? kNoContrast : static_cast<std::int16_t>(contrast);
    } else {
        r.Number("CONTRAST", s.contrast, S::Contrast);
    }
    r.Number("HEAD RESIST", s.headResistance, S::HeadResistance);
    r.Number("PRINT SPEED", s.printSpeed, S::PrintSpeed);
    s.networkPresent = !r.Text("IP ADDRESS").empty();
}

}  // namespace

std::optional<KeyLine> FindKeyLine(std::string_view listing, std::string_view key,
                                   std::size_t from) {
    if (key.empty() || from > listing.size())
        return std::nullopt;
    const auto at = listing.find(key, from);
    if (at == std::string_view::npos)
        return std::nullopt;
    const std::size_t keyEnd = at + key.size();
    std::string_view rest = listing.substr(keyEnd);
    rest = rest.substr(0, rest.find_first_of("\r\n"));
    return KeyLine{rest, keyEnd};
}

long long TrailingNumber(std::string_view rest) {
    const auto last = rest.find_last_not_of(kNumberChars);
    return ParseDecimal(last == std::string_view::npos ? rest : rest.substr(last + 1));
}

std::string_view ValueText(std::string_view rest) {
    if (!rest.empty())
        rest.remove_prefix(1);
    return StripTrailing(rest, " \t");
}

ListingParse ParseListing(std::string_view listing, int generation, std::uint16_t portIndex) {
    ListingParse out;
    BrakSetup& s = out.setup;
    s.portIndex = portIndex;
    Reader reader(listing, out);
    ReadSerial(reader, s);
    if (s.charLength == 0 || s.stopBits == 0)
        return out;
    ReadTheRest(reader, generation, s);
    out.ok = true;
    return out;
}

}  // namespace tarvo::app
