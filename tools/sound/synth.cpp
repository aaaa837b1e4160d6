#include "synth.h"

#include <algorithm>

namespace cues {

namespace {

// A quarter turn of round(32767 * sin(i * pi / 512)), i = 0..256: written out so that no math
// library decides a byte of the cues.
constexpr int QUARTER_SINE[257] = {
    0,     201,   402,   603,   804,   1005,  1206,  1407,  1608,  1809,  2009,  2210,  2410,  2611,  2811,  3012,
    3212,  3412,  3612,  3811,  4011,  4210,  4410,  4609,  4808,  5007,  5205,  5404,  5602,  5800,  5998,  6195,
    6393,  6590,  6786,  6983,  7179,  7375,  7571,  7767,  7962,  8157,  8351,  8545,  8739,  8933,  9126,  9319,
    9512,  9704,  9896,  10087, 10278, 10469, 10659, 10849, 11039, 11228, 11417, 11605, 11793, 11980, 12167, 12353,
    12539, 12725, 12910, 13094, 13279, 13462, 13645, 13828, 14010, 14191, 14372, 14553, 14732, 14912, 15090, 15269,
    15446, 15623, 15800, 15976, 16151, 16325, 16499, 16673, 16846, 17018, 17189, 17360, 17530, 17700, 17869, 18037,
    18204, 18371, 18537, 18703, 18868, 19032, 19195, 19357, 19519, 19680, 19841, 20000, 20159, 20317, 20475, 20631,
    20787, 20942, 21096, 21250, 21403, 21554, 21705, 21856, 22005, 22154, 22301, 22448, 22594, 22739, 22884, 23027,
    23170, 23311, 23452, 23592, 23731, 23870, 24007, 24143, 24279, 24413, 24547, 24680, 24811, 24942, 25072, 25201,
    25329, 25456, 25582, 25708, 25832, 25955, 26077, 26198, 26319, 26438, 26556, 26674, 26790, 26905, 27019, 27133,
    27245, 27356, 27466, 27575, 27683, 27790, 27896, 28001, 28105, 28208, 28310, 28411, 28510, 28609, 28706, 28803,
    28898, 28992, 29085, 29177, 29268, 29358, 29447, 29534, 29621, 29706, 29791, 29874, 29956, 30037, 30117, 30195,
    30273, 30349, 30424, 30498, 30571, 30643, 30714, 30783, 30852, 30919, 30985, 31050, 31113, 31176, 31237, 31297,
    31356, 31414, 31470, 31526, 31580, 31633, 31685, 31736, 31785, 31833, 31880, 31926, 31971, 32014, 32057, 32098,
    32137, 32176, 32213, 32250, 32285, 32318, 32351, 32382, 32412, 32441, 32469, 32495, 32521, 32545, 32567, 32589,
    32609, 32628, 32646, 32663, 32678, 32692, 32705, 32717, 32728, 32737, 32745, 32752, 32757, 32761, 32765, 32766,
    32767,
};

// The sine at `index` of a 1024-step turn.
int sine_at(uint32_t index) {
    index &= 1023;
    const uint32_t within = index & 255;
    switch (index >> 8) {
        case 0: return QUARTER_SINE[within];
        case 1: return QUARTER_SINE[256 - within];
        case 2: return -QUARTER_SINE[within];
        default: return -QUARTER_SINE[256 - within];
    }
}

// f^n for a Q16 factor f <= 1, by squaring.
int64_t power_q16(int64_t factor, int n) {
    int64_t result = 65536;
    while (n > 0) {
        if (n & 1) result = result * factor >> 16;
        factor = factor * factor >> 16;
        n >>= 1;
    }
    return result;
}

}  // namespace

int Oscillator::sine() {
    // The top 10 bits pick the table step, the next 16 interpolate to the one after.
    const uint32_t index = phase_ >> 22;
    const int fraction = static_cast<int>((phase_ >> 6) & 0xFFFF);
    const int here = sine_at(index), next = sine_at(index + 1);
    phase_ += step_;
    return here + (next - here) * fraction / 65536;
}

int Oscillator::square() {
    const bool high = phase_ < 0x80000000u;
    phase_ += step_;
    return high ? 32767 : -32767;
}

int Noise::next() {
    // Numerical Recipes' constants; the top 16 bits are the best of an LCG.
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<int>(state_ >> 16) - 32768;
}

Decay::Decay(int start, int halving_ms) : gain_(int64_t{start} << 15) {
    // The smallest factor whose power over the halving time still leaves a half, by bisection.
    const int frames = std::max(1, frames_of(halving_ms));
    int64_t low = 0, high = 65536;
    while (high - low > 1) {
        const int64_t middle = (low + high) / 2;
        (power_q16(middle, frames) >= 32768 ? high : low) = middle;
    }
    factor_ = high;
}

int Decay::next() {
    const int gain = static_cast<int>(gain_ >> 15);
    gain_ = gain_ * factor_ >> 16;
    return gain;
}

int ramp_gain(int frame, int length, int ramp) {
    if (frame < 0 || frame >= length) return 0;
    const int edge = std::min({frame, length - 1 - frame, ramp});
    return ramp > 0 ? static_cast<int>(int64_t{edge} * (Q15 - 1) / ramp) : Q15 - 1;
}

void Track::add(int frame, int value) {
    if (frame >= 0 && frame < frames()) mix_[static_cast<size_t>(frame)] += value;
}

std::vector<int16_t> Track::samples() const {
    std::vector<int16_t> out(mix_.size());
    for (size_t i = 0; i < mix_.size(); ++i) out[i] = static_cast<int16_t>(std::clamp(mix_[i], -32768, 32767));
    return out;
}

}  // namespace cues
