// A sound ready for a sink: 16-bit signed PCM samples, interleaved left, right when stereo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace panel::sound {

// The longest a cue may last: gauges click and beep; anything longer is a file named by mistake,
// and converting it for the device would stall the panel.
constexpr int MAX_CUE_SECONDS = 10;

struct PcmSound {
    int sample_rate = 0;  // frames per second
    int channels = 0;     // 1 or 2
    std::vector<int16_t> samples;

    size_t frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
    bool operator==(const PcmSound&) const = default;
};

}  // namespace panel::sound
