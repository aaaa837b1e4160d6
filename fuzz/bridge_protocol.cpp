// Both ends of the bridge's messages: any payload taken as a request (what the bridge reads) or
// as a ready, done or failed answer (what the host reads), by the first byte. Each is decoded or
// refused with a one-line ProtocolError; what decodes encodes to a message that decodes and
// encodes again to the same bytes, so nothing is lost or made up on the way.
#include "fuzz_support.h"
#include "module_fuzzers.h"
#include "protocol.h"

namespace panel::fuzz {
namespace {

using namespace panel::bridge;

Message message_of(std::vector<uint8_t> frame) {
    const Header header = read_header(std::span<const uint8_t, header_bytes>(frame.data(), header_bytes));
    return {header.kind, std::vector<uint8_t>(frame.begin() + header_bytes, frame.end())};
}

std::vector<uint8_t> again(Kind answer, const Message& message, size_t logs, size_t states) {
    switch (answer) {
        case Kind::ready: {
            const Ready ready = decode_ready(message);
            return encode_ready(ready.records, ready.record_lines, ready.states);
        }
        case Kind::done: {
            std::vector<EventLog> kept(logs);
            std::vector<EventLog*> pointers;
            for (EventLog& log : kept) pointers.push_back(&log);
            std::vector<ElementState> after(states);
            decode_done(message, pointers, after);
            std::vector<const EventLog*> shown(pointers.begin(), pointers.end());
            return encode_done(shown, after);
        }
        case Kind::failed: {
            const Failed failed = decode_failed(message);
            return encode_failed(failed.failure, failed.text);
        }
        default: return encode(decode_request(message));
    }
}

}  // namespace

void fuzz_bridge_protocol(std::span<const uint8_t> input) {
    FuzzInput in(input);
    constexpr Kind answers[] = {Kind::ready, Kind::done, Kind::failed};
    const uint8_t side = in.byte();
    const size_t logs = in.pick(4), states = in.pick(64);
    Kind kind = side < 3 ? answers[side] : static_cast<Kind>(in.u32());
    const std::span<const uint8_t> payload = in.take(input.size());
    const Message message{kind, std::vector<uint8_t>(payload.begin(), payload.end())};
    std::vector<uint8_t> first;
    try {
        first = again(side < 3 ? kind : Kind::frame, message, logs, states);
    } catch (const ProtocolError& error) {
        check_one_line(error.what(), "");
        return;
    }
    const std::vector<uint8_t> second = again(side < 3 ? kind : Kind::frame, message_of(first), logs, states);
    if (first != second) throw FuzzFailure(std::string(kind_name(kind)) + ": a decoded message encodes differently");
}

}  // namespace panel::fuzz

#ifndef PANEL_FUZZ_NO_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return panel::fuzz::run_fuzz_target(panel::fuzz::fuzz_bridge_protocol, data, size);
}
#endif
