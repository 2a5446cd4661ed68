// Feeds arbitrary receiver bytes to the header reader. Every header it reports must survive the
// round trip through the sender's own encoders (hex and both binary forms), and the reader must
// never read past its buffers whatever it is fed.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_check.h"
#include "fwxfer/header_reader.h"

namespace {

bool ReadsBack(const std::string& wire, const fwxfer::Header& header) {
    fwxfer::HeaderReader reader;
    for (char c : wire) {
        if (reader.feed(c) == fwxfer::HeaderReader::Event::Header)
            return reader.header() == header;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fwxfer::HeaderReader reader;
    for (std::size_t i = 0; i < size; ++i) {
        if (reader.feed(static_cast<char>(data[i])) != fwxfer::HeaderReader::Event::Header)
            continue;
        const fwxfer::Header header = reader.header();
        Check(ReadsBack(fwxfer::HexHeader(header), header), "hex round trip");
        Check(ReadsBack(fwxfer::BinaryHeader(header, true, {}), header), "CRC-32 round trip");
        Check(ReadsBack(fwxfer::BinaryHeader(header, false, {true}), header), "CRC-16 round trip");
    }
    return 0;
}
