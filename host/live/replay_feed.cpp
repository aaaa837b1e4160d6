#include "replay_feed.h"

#include <optional>

#include "bounded_file.h"
#include "datagram.h"

namespace panel::live {

std::vector<RecordedLine> read_recording(const std::filesystem::path& file, const Protocol& protocol) {
    std::string text;
    try {
        text = read_bounded_file(file, max_recording_bytes, "a recording to replay");
    } catch (const FileReadError& error) {
        throw ProtocolError(error.what());
    }

    // Lines end in the line separator; without one, a recording is one line per text line.
    const std::string end = protocol.line_separator.empty() ? "\n" : protocol.line_separator;
    const int clock_chunk = protocol.chunk_index("elapsed-sec");
    const DatagramParser parser(protocol);
    std::vector<ChunkValue> values;
    std::vector<RecordedLine> lines;
    std::optional<double> first;
    double last = -default_line_seconds;
    for (size_t start = 0; start < text.size();) {
        const size_t found = text.find(end, start);
        const size_t stop = found == std::string::npos ? text.size() : found + end.size();
        std::string datagram = text.substr(start, stop - start);
        start = stop;
        if (datagram == end) continue;  // blank lines between sessions
        // A line whose clock cannot be read, or runs backwards (a reset), follows the last one.
        double seconds = last + default_line_seconds;
        if (clock_chunk >= 0 && parser.parse(datagram, values).empty()) {
            const double clock = values[clock_chunk].number;
            if (!first) first = clock - seconds;
            if (clock - *first >= last) seconds = clock - *first;
        }
        last = seconds;
        lines.push_back({seconds, std::move(datagram)});
    }
    if (lines.empty()) throw ProtocolError(file.string() + ": no recorded line");
    return lines;
}

ReplayFeed::ReplayFeed(std::vector<RecordedLine> lines, double rate, std::string name)
    : lines_(std::move(lines)), rate_(rate), name_(std::move(name)) {}

size_t ReplayFeed::poll(double frame_seconds, std::vector<std::string>& into) {
    clock_ += frame_seconds * rate_;
    size_t arrived = 0;
    while (next_ < lines_.size() && lines_[next_].seconds <= clock_) {
        into.push_back(lines_[next_++].datagram);
        ++arrived;
    }
    return arrived;
}

}  // namespace panel::live
