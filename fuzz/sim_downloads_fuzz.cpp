// The simulated printer's program mode over arbitrary message bodies: download headers, font,
// graphic and format commands in any order and shape must be refused or stored, never crash
// or grow without bound. Messages are split at newlines so that downloads span messages.
//
// Whatever it took, the printer must stay one that the host and the tests can trust: its memory
// accounts for every stored object, every object it stores would be stored again as it is and
// survives its state file, its listings read back in the host's own parser as the objects it
// stores, and every downloaded content belongs to an object it stores.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "commands.h"
#include "fuzz_check.h"
#include "object_store.h"
#include "objects/listing_parser.h"
#include "printer_state.h"

namespace {

using namespace tarvo::sim;

std::string Listing(const PrinterState& state, ObjectKind kind) {
    std::string reply;
    for (const std::string& line : ListingLines(state.model, state.objects, kind))
        reply += line;
    return reply;
}

// The host's parser reads the listing of `kind` as exactly the objects the printer stores (the
// font listing also carries the model's resident fonts, listed with size 0).
template <class Record>
void CheckListing(const PrinterState& state, ObjectKind kind,
                  tarvo::Listing<Record> (*parse)(std::string_view, std::size_t)) {
    const tarvo::Listing<Record> read =
        parse(Listing(state, kind), tarvo::ListingLineStep(false, false));
    Check(read.badLines == 0, "the host reads every listing line");
    const auto& stored = state.objects.of(kind);
    std::size_t found = 0;
    for (const Record& entry : read.entries) {
        const auto it = stored.find(entry.id);
        if (it == stored.end()) {
            if constexpr (std::is_same_v<Record, FontInfo>)
                Check(entry.size == 0, "only resident fonts are listed beside stored ones");
            else
                Check(false, "only stored objects are listed");
            continue;
        }
        ++found;
        if constexpr (requires { entry.description; }) {
            Check(it->second.description == entry.description, "descriptions read back");
            Check(it->second.size == entry.size, "sizes read back");
        }
    }
    Check(found == stored.size(), "every stored object is listed");
}

void CheckObjects(const PrinterState& state, unsigned memoryKb) {
    Check(state.memoryFreeKb + StoredKb(state.objects) == memoryKb,
          "free memory and stored objects add up to the memory there was");
    for (const ObjectKind kind : kObjectKinds) {
        for (const auto& [id, object] : state.objects.of(kind)) {
            Check(object.id == id, "objects are kept under their own number");
            StoredObject again = object;
            Check(NormaliseObject(state.model, kind, &again).empty() && again == object,
                  "a stored object would be stored again unchanged");
            StoredObject read;
            read.id = id;
            Check(ParseObjectValue(FormatObjectValue(object), &read).empty() && read == object,
                  "a stored object survives the state file");
        }
        for (const auto& [id, content] : state.downloads.of(kind)) {
            Check(content != nullptr, "contents are never null");
            Check(state.objects.of(kind).count(id) == 1, "contents belong to stored objects");
        }
    }
    CheckListing(state, ObjectKind::Font, &tarvo::ParseFontListing);
    CheckListing(state, ObjectKind::Graphic, &tarvo::ParseGraphicListing);
    CheckListing(state, ObjectKind::Format, &tarvo::ParseFormatListing);
    CheckListing(state, ObjectKind::Page, &tarvo::ParsePageListing);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Identity identity;
    CommandInterpreter interpreter(identity);
    PrinterState state;
    const unsigned memoryKb = state.memoryFreeKb + StoredKb(state.objects);
    const LineSettings line;
    std::vector<Reply> replies;
    interpreter.run("\x1bP", &state, line, &replies);
    std::string_view input(reinterpret_cast<const char*>(data), size);
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        const std::string_view body = input.substr(0, end);
        interpreter.run(body, &state, line, &replies);
        input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    }
    interpreter.run("R", &state, line, &replies);
    CheckObjects(state, memoryKb);
    return 0;
}
