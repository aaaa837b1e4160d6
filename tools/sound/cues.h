// The host's five cue sounds, as 22050 Hz 16-bit mono samples.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cues {

struct Cue {
    std::string file;  // name in the sound folder
    std::vector<int16_t> samples;
};

// click.wav, soft_click.wav, beep2.wav, beep3.wav, beep4.wav, in that order.
std::vector<Cue> all_cues();

}  // namespace cues
