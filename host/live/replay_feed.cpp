#include "replay_feed.h"

#include <cstdio>

#include "bounded_file.h"
#include "chunk_mapping.h"

namespace panel::live {
namespace {

// After this many, the jumps of a recording's clock are not noted one by one.
constexpr int max_jump_notes = 10;

// A line longer than any datagram is cut one byte past that, which the parser refuses as it
// would the whole line.
constexpr size_t longest_line = max_datagram_bytes + 1;

std::string separator_of(const Protocol& protocol) {
    // Without a line separator, a recording is one line per text line.
    return protocol.line_separator.empty() ? "\n" : protocol.line_separator;
}

LineReader open_lines(const std::filesystem::path& file, const std::string& separator) {
    try {
        return LineReader(file, separator, longest_line);
    } catch (const FileReadError& error) {
        throw ProtocolError(error.what());
    }
}

}  // namespace

ReplayFeed::ReplayFeed(const std::filesystem::path& file, const Protocol& protocol, double rate)
    : protocol_(protocol),
      parser_(protocol_),
      file_(file.string()),
      name_(file.filename().string()),
      clock_chunk_(protocol_.chunk_index("elapsed-sec")),
      lines_(open_lines(file, separator_of(protocol))),
      rate_(rate) {
    // A clock the chunk table refuses as a value times nothing either.
    for (const ChunkMapping& mapping : chunk_mappings()) {
        if (mapping.chunk != "elapsed-sec") continue;
        clock_low_ = mapping.low;
        clock_high_ = mapping.high;
    }
    read_ahead();
    if (!ahead_) {
        throw ProtocolError(file_ +
                            (lines_.error().empty() ? ": no recorded line" : ": cannot read (" + lines_.error() + ")"));
    }
}

size_t ReplayFeed::poll(double frame_seconds, std::vector<std::string>& into) {
    clock_ += frame_seconds * rate_;
    const size_t enough = lines_.consumed() + bytes_per_poll;
    size_t arrived = 0;
    while (ahead_ && ahead_->seconds <= clock_ && lines_.consumed() <= enough) {
        if (newest_.size() == newest_kept) newest_.pop_front();
        newest_.push_back(std::move(ahead_->datagram));
        ++arrived;
        read_ahead();
    }
    for (std::string& datagram : newest_) into.push_back(std::move(datagram));
    newest_.clear();
    return arrived;
}

void ReplayFeed::read_ahead() {
    std::string line;
    if (!lines_.next(line)) {
        if (!lines_.error().empty() && ahead_) {
            notes_.push_back(file_ + ":" + std::to_string(lines_.number() + 1) + ": cannot read on (" + lines_.error() +
                             "); the replay ends here");
        }
        ahead_.reset();
        return;
    }
    const RecordingClock::Timed timed = timing_.time(clock_of(line));
    if (timed.jump) note_jump(*timed.jump);
    ahead_ = RecordedLine{timed.seconds, std::move(line)};
}

std::optional<double> ReplayFeed::clock_of(const std::string& datagram) {
    if (clock_chunk_ < 0 || !parser_.parse(datagram, values_).empty()) return std::nullopt;
    const double clock = values_[clock_chunk_].number;
    if (!(clock >= clock_low_ && clock <= clock_high_)) return std::nullopt;
    return clock;
}

void ReplayFeed::note_jump(double jump) {
    if (++jumps_noted_ > max_jump_notes) return;
    const std::string where = file_ + ":" + std::to_string(lines_.number()) + ": ";
    if (jumps_noted_ == max_jump_notes) {
        notes_.push_back(where + "the recording's clock jumps again (" + std::to_string(max_jump_notes) +
                         " jumps); later ones are not noted");
        return;
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%g", jump < 0.0 ? -jump : jump);
    notes_.push_back(where + "the recording's clock " +
                     (jump < 0.0 ? "goes back " + std::string(seconds) + " s; the replay goes on from there"
                                 : "jumps " + std::string(seconds) + " s ahead; the replay goes on without the gap"));
}

void ReplayFeed::take_notes(std::vector<std::string>& into) {
    for (std::string& line : notes_) into.push_back(std::move(line));
    notes_.clear();
}

}  // namespace panel::live
