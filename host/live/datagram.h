// One text-mode datagram of the generic protocol split into its chunks' values, or the reason
// it is malformed: empty, cut short (no line separator at its end), too few or too many chunks,
// a value that is not its chunk's type (or not a finite number), a text with control characters
// or longer than any the gauges show.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "generic_protocol.h"

namespace panel::live {

struct ChunkValue {
    double number = 0.0;  // int, float, double; bool as 0 or 1
    std::string text;     // string
};

// Longer datagrams are refused whole: the protocol's own are a few hundred bytes.
inline constexpr size_t max_datagram_bytes = 4096;
inline constexpr size_t max_text_chunk_bytes = 64;

class DatagramParser {
public:
    explicit DatagramParser(const Protocol& protocol) : protocol_(protocol) {}

    // Fills `values` (one per chunk, in order) and returns "" for a good datagram; otherwise
    // returns what is wrong with it, in a few words, and `values` is not to be used.
    std::string parse(std::string_view datagram, std::vector<ChunkValue>& values) const;

private:
    const Protocol& protocol_;
};

}  // namespace panel::live
