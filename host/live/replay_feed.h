// A recording of FlightGear's protocol lines (as its own `--generic=file,out,...` writes them)
// played as if they arrived over the socket: each line at its time in the recording, sped up or
// slowed down by a rate. The recording's time is its `elapsed-sec` chunk; a recording without one
// is taken at FlightGear's usual 10 lines a second.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "datagram_feed.h"
#include "generic_protocol.h"
#include "recording_clock.h"

namespace panel::live {

// A recording is read whole; one this long is no recording of a flight anyone replays here.
inline constexpr size_t max_recording_bytes = 64u << 20;

struct RecordedLine {
    double seconds;      // since the first line
    std::string datagram;  // with its line separator
};

// Splits a recording into its lines and times them. Throws ProtocolError ("FILE: what") for a
// file that cannot be read, is too large or holds no line.
std::vector<RecordedLine> read_recording(const std::filesystem::path& file, const Protocol& protocol);

class ReplayFeed : public DatagramFeed {
public:
    // `rate` 2 plays twice as fast as recorded.
    ReplayFeed(std::vector<RecordedLine> lines, double rate, std::string name);

    size_t poll(double frame_seconds, std::vector<std::string>& into) override;
    double now() const override { return clock_; }
    std::string where() const override { return "replaying " + name_; }
    bool finished() const override { return next_ >= lines_.size(); }

private:
    std::vector<RecordedLine> lines_;
    double rate_;
    std::string name_;
    double clock_ = 0.0;
    size_t next_ = 0;
};

}  // namespace panel::live
