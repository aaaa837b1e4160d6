// The flight as an animated GIF (giflib): frames of the panel taken every so often and written
// when the flight ends, each after the first as the rectangle that changed, so that a long
// flight stays small. Frames are kept as palette pictures until then; past a limit every
// other one is dropped and the sampling slows down, and at writing frames are dropped evenly
// until the file fits its budget.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace panel::app {

class GifError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class GifRecorder {
public:
    // Frames are `width` x `height`; a kept frame is shown for `delay_cs` hundredths of a second.
    GifRecorder(int width, int height, int delay_cs = 10, size_t max_frames = 480);

    // Whether a frame taken at `seconds` (simulated) is due: the first one always, then one
    // every interval, which doubles whenever the kept frames reach the limit.
    bool due(double seconds) const;
    // A frame of 32-bit pixels as cairo keeps them (0xAARRGGBB in native byte order, opaque),
    // `stride` bytes a row.
    void add(double seconds, const uint8_t* pixels, int stride);

    // Writes the animation, looping, dropping frames evenly until it is at most `max_bytes`.
    // Returns the size written; throws GifError naming the file when it cannot.
    size_t write(const std::filesystem::path& path, size_t max_bytes) const;

    size_t frames() const { return frames_.size(); }

private:
    struct Frame {
        std::vector<uint8_t> palette;  // r, g, b per entry
        std::vector<uint8_t> indices;  // width x height
    };

    std::vector<uint8_t> encode(const std::vector<const Frame*>& frames) const;

    int width_;
    int height_;
    int delay_cs_;
    size_t max_frames_;
    double interval_ = 1.0;
    double next_due_ = 0.0;
    std::vector<Frame> frames_;
};

}  // namespace panel::app
