// The few voices the cues are made of, in integer arithmetic only: a sine from a written-out
// table, a square, noise from a fixed generator, and envelopes in Q15. Nothing here calls the
// math library, so every build on every machine writes the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace cues {

constexpr int RATE = 22050;
constexpr int Q15 = 32768;  // full scale of gains and unit amplitudes

// Milliseconds to frames at RATE, rounded down.
constexpr int frames_of(int ms) {
    return RATE * ms / 1000;
}

// A phase that turns once per period: 2^32 steps a turn.
class Oscillator {
public:
    explicit Oscillator(int hz) : step_(static_cast<uint32_t>((uint64_t{static_cast<uint32_t>(hz)} << 32) / RATE)) {}
    // The next sample of a unit sine, -32767..32767.
    int sine();
    // The next sample of a unit square, -32767 or 32767.
    int square();

private:
    uint32_t phase_ = 0;
    uint32_t step_;
};

// White noise, -32768..32767, from a 32-bit linear congruential generator.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    int next();

private:
    uint32_t state_;
};

// A gain that starts at `start` (Q15) and halves every `halving_ms` milliseconds, for the
// exponential fall of a struck or plucked thing.
class Decay {
public:
    Decay(int start, int halving_ms);
    // The gain for the next frame, Q15.
    int next();

private:
    int64_t gain_;    // Q30, so that the fall stays smooth down to silence
    int64_t factor_;  // Q16, applied every frame
};

// Q15 gain of a trapezoid `length` frames long that rises over `ramp` frames and falls over
// the last `ramp`: tones start and stop without a click.
int ramp_gain(int frame, int length, int ramp);

// A mono track mixed in 32 bits and clipped to 16 at the end.
class Track {
public:
    explicit Track(int frames) : mix_(static_cast<size_t>(frames), 0) {}
    // Adds `value` (already scaled) at `frame`; frames past the end are dropped.
    void add(int frame, int value);
    int frames() const { return static_cast<int>(mix_.size()); }
    std::vector<int16_t> samples() const;

private:
    std::vector<int32_t> mix_;
};

// `value` (-32768..32767) times a Q15 gain.
constexpr int scaled(int value, int gain) {
    return static_cast<int>(int64_t{value} * gain / Q15);
}

}  // namespace cues
