// What the FlightGear link reads from outside: a protocol file, the datagrams that arrive, and
// a recording replayed. The first byte picks which; the rest is the input. A protocol file is
// read or refused in one line naming it; a datagram is split into exactly its chunks' values
// (finite numbers, short texts without control characters) or refused with a reason; a
// recording replays to its end or is refused, and what it notes is bounded, one line each.
#include <cmath>
#include <string_view>

#include "datagram.h"
#include "fuzz_support.h"
#include "generic_protocol.h"
#include "module_fuzzers.h"
#include "replay_feed.h"
#include "scratch_file.h"

namespace panel::fuzz {
namespace {

using live::ChunkValue;
using live::Protocol;

const Protocol& shipped_protocol(const std::filesystem::path& protocol_file) {
    static const Protocol protocol = live::read_protocol(protocol_file);
    return protocol;
}

void check_datagram(const Protocol& protocol, std::string_view datagram) {
    std::vector<ChunkValue> values;
    const std::string problem = live::DatagramParser(protocol).parse(datagram, values);
    if (!problem.empty()) {
        check_one_line(problem, "");
        return;
    }
    if (values.size() != protocol.chunks.size()) throw FuzzFailure("a datagram read as the wrong number of values");
    for (const ChunkValue& value : values) {
        if (!std::isfinite(value.number)) throw FuzzFailure("a datagram's value read as not finite");
        if (value.text.size() > live::max_text_chunk_bytes) throw FuzzFailure("a datagram's text read too long");
        for (char c : value.text) {
            if (static_cast<unsigned char>(c) < 0x20)
                throw FuzzFailure("a datagram's text read with a control character");
        }
    }
}

void check_protocol_file(std::string_view text) {
    Protocol protocol;
    try {
        protocol = live::parse_protocol(text, "fuzz.xml");
    } catch (const live::ProtocolError& error) {
        check_one_line(error.what(), "fuzz.xml");
        return;
    }
    if (protocol.chunks.empty() || protocol.var_separator.empty()) throw FuzzFailure("a protocol read without chunks");
    for (const live::Chunk& chunk : protocol.chunks) live::format_chunk(chunk, 1.5, "x");
}

void check_recording(const Protocol& protocol, std::span<const uint8_t> bytes) {
    static ScratchFile recording("recording.txt");
    const std::string name = recording.write(bytes).string();
    try {
        live::ReplayFeed feed(recording.path(), protocol, 50.0);
        std::vector<std::string> datagrams, notes;
        for (int poll = 0; poll < 2000 && !feed.finished(); ++poll) {
            datagrams.clear();
            feed.poll(1.0 / 18.0, datagrams);
            for (const std::string& datagram : datagrams) check_datagram(protocol, datagram);
        }
        feed.take_notes(notes);
        if (notes.size() > 12) throw FuzzFailure(std::to_string(notes.size()) + " notes from one recording");
        for (const std::string& note : notes) check_one_line(note, name);
    } catch (const live::ProtocolError& error) {
        check_one_line(error.what(), name);
    }
}

}  // namespace

void fuzz_live_inputs(std::span<const uint8_t> input, const std::filesystem::path& protocol_file) {
    if (input.empty()) return;
    const std::span<const uint8_t> rest = input.subspan(1);
    const std::string_view text(reinterpret_cast<const char*>(rest.data()), rest.size());
    switch (input[0] % 3) {
        case 0: check_protocol_file(text); break;
        case 1: check_datagram(shipped_protocol(protocol_file), text); break;
        default: check_recording(shipped_protocol(protocol_file), rest); break;
    }
}

}  // namespace panel::fuzz

#ifndef PANEL_FUZZ_NO_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return panel::fuzz::run_fuzz_target(
        [](std::span<const uint8_t> input) { panel::fuzz::fuzz_live_inputs(input, PANEL_PROTOCOL_FILE); }, data, size);
}
#endif
