// The cues the gauges ask for, played aloud (or only listed, muted): the device opened once for
// the flight, paths resolved where the simulator would play them from.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "audio_sink.h"
#include "cue_playback.h"
#include "event_log.h"

namespace panel::app {

class CueSounds {
public:
    // `folder`: where cue paths ("sound\click.wav") are relative to; without one, the current
    // folder when it holds a sound folder, as the simulator plays them from its own, else the
    // project's own cues.
    CueSounds(const std::optional<std::filesystem::path>& folder, bool mute);

    // Plays one; a file that cannot be played says so on standard error, once.
    void play(const CueRequest& cue);

private:
    std::unique_ptr<sound::AudioSink> sink_;
    sound::CuePlayer player_;
};

}  // namespace panel::app
