// The cues the two gauges play, each "sound\STEM.wav" under the simulator's folder, by stem.
// Scripts name them so, and an installation ships one file of each.
#pragma once

#include <string_view>

namespace panel {

inline constexpr std::string_view gauge_cue_stems[] = {"click", "soft_click", "beep2", "beep3", "beep4"};

}  // namespace panel
