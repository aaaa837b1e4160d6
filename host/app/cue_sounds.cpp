#include "cue_sounds.h"

#include <cstdio>

#include "own_files.h"
#include "sdl_audio_sink.h"

namespace panel::app {
namespace {

namespace fs = std::filesystem;

fs::path sound_base(const std::optional<fs::path>& asked) {
    if (asked) return *asked;
    std::error_code error;
    if (fs::is_directory(fs::current_path(error) / "sound", error)) return fs::current_path(error);
    return own_files().sounds;
}

std::unique_ptr<sound::AudioSink> audio_sink(bool mute) {
    if (mute) return std::make_unique<sound::SilentAudioSink>();
    auto sink = std::make_unique<sound::SdlAudioSink>();
    if (!sink->available()) std::fprintf(stderr, "no sound: %s\n", sink->problem().c_str());
    return sink;
}

}  // namespace

CueSounds::CueSounds(const std::optional<fs::path>& folder, bool mute)
    : sink_(audio_sink(mute)), player_(sound_base(folder), *sink_, mute) {}

void CueSounds::play(const CueRequest& cue) {
    player_.play(cue);
    for (const std::string& problem : player_.take_problems()) std::fprintf(stderr, "%s\n", problem.c_str());
}

}  // namespace panel::app
