// A recording of FlightGear's protocol lines (as its own `--generic=file,out,...` writes them)
// played as if they arrived over the socket: each line at its time in the recording, sped up or
// slowed down by a rate. The recording's time is its `elapsed-sec` chunk (RecordingClock); a
// recording without one is taken at FlightGear's usual 10 lines a second. The file is read as
// the replay goes, a line ahead, so that its size costs no memory.
#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "datagram.h"
#include "datagram_feed.h"
#include "generic_protocol.h"
#include "line_reader.h"
#include "recording_clock.h"

namespace panel::live {

struct RecordedLine {
    double seconds;        // since the first line
    std::string datagram;  // with its line separator
};

class ReplayFeed : public DatagramFeed {
public:
    // Of a backlog, the newest this many are handed on (the rest are counted).
    static constexpr size_t newest_kept = 64;
    // An update reads no more of the file than this; a backlog past it waits for the next.
    static constexpr size_t bytes_per_poll = 1u << 20;

    // Opens the recording and reads its first line. Throws ProtocolError ("FILE: what") for a
    // file that cannot be read, is not a regular file or holds no line. `rate` 2 plays twice as
    // fast as recorded.
    ReplayFeed(const std::filesystem::path& file, const Protocol& protocol, double rate);
    // The parser refers to its own protocol.
    ReplayFeed(const ReplayFeed&) = delete;
    ReplayFeed& operator=(const ReplayFeed&) = delete;

    size_t poll(double frame_seconds, std::vector<std::string>& into) override;
    double now() const override { return clock_; }
    std::string where() const override { return "replaying " + name_; }
    bool finished() const override { return !ahead_; }
    // A jump of the recording's clock, a line that cannot be read: "FILE:LINE: what".
    void take_notes(std::vector<std::string>& into) override;

    // The line due next; none at the end.
    const std::optional<RecordedLine>& ahead() const { return ahead_; }

private:
    void read_ahead();
    std::optional<double> clock_of(const std::string& datagram);
    void note_jump(double jump);

    Protocol protocol_;
    DatagramParser parser_;
    std::string file_, name_;
    int clock_chunk_;
    double clock_low_ = 0.0, clock_high_ = 0.0;
    LineReader lines_;
    RecordingClock timing_;
    double rate_;
    double clock_ = 0.0;
    std::optional<RecordedLine> ahead_;
    std::vector<ChunkValue> values_;
    std::deque<std::string> newest_;
    int jumps_noted_ = 0;
    std::vector<std::string> notes_;
};

}  // namespace panel::live
