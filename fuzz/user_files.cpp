// Files a user hands the host or that it keeps for them: a cue's WAV and the window's settings,
// by the first byte. A WAV is read as a cue the sink can play (mono or stereo, a sane rate, no
// longer than a cue may last) or refused in one line; any window.conf loads (a damaged one only
// gives the defaults), and what is saved from it loads back the same.
#include "fuzz_support.h"
#include "module_fuzzers.h"
#include "scratch_file.h"
#include "wav_reader.h"
#include "window_settings.h"

namespace panel::fuzz {
namespace {

void check_wav(std::span<const uint8_t> bytes) {
    sound::PcmSound cue;
    try {
        cue = sound::parse_wav(bytes);
    } catch (const sound::WavError& error) {
        check_one_line(error.what(), "");
        return;
    }
    if (cue.channels != 1 && cue.channels != 2)
        throw FuzzFailure("a cue read with " + std::to_string(cue.channels) + " channels");
    if (cue.sample_rate < 1000 || cue.sample_rate > 384000)
        throw FuzzFailure("a cue read at " + std::to_string(cue.sample_rate) + " Hz");
    if (cue.samples.size() % static_cast<size_t>(cue.channels) != 0) throw FuzzFailure("a cue read with half a frame");
    if (cue.frames() > static_cast<size_t>(cue.sample_rate) * sound::MAX_CUE_SECONDS)
        throw FuzzFailure("a cue read longer than a cue may last");
}

void check_window_settings(std::span<const uint8_t> bytes) {
    static ScratchFile file("window.conf"), saved("window-saved.conf");
    const window::WindowSettings settings = window::load_window_settings(file.write(bytes));
    if (settings.width < 0 || settings.height < 0 || settings.display < 0)
        throw FuzzFailure("a window read with a negative size or display");
    if (!window::save_window_settings(saved.path(), settings)) throw FuzzFailure("settings read could not be saved");
    const window::WindowSettings back = window::load_window_settings(saved.path());
    if (back.x != settings.x || back.y != settings.y || back.width != settings.width ||
        back.height != settings.height || back.display != settings.display ||
        back.full_screen != settings.full_screen || !back.placed) {
        throw FuzzFailure("window settings saved do not load back the same");
    }
}

}  // namespace

void fuzz_user_files(std::span<const uint8_t> input) {
    if (input.empty()) return;
    if (input[0] % 2 == 0) check_wav(input.subspan(1));
    else check_window_settings(input.subspan(1));
}

}  // namespace panel::fuzz

#ifndef PANEL_FUZZ_NO_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return panel::fuzz::run_fuzz_target(panel::fuzz::fuzz_user_files, data, size);
}
#endif
