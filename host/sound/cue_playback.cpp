#include "cue_playback.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "text_escape.h"
#include "wav_reader.h"

namespace panel::sound {

namespace {

// Distinct paths kept; a gauge names five, so only a runaway module ever reaches it.
constexpr size_t MAX_CACHED = 256;
// Problem lines waiting for the host, so that a host that never asks does not grow.
constexpr size_t MAX_PENDING_PROBLEMS = 64;

constexpr int DEFAULT_RATE = 22050;

struct Resolution {
    std::filesystem::path relative;
    std::string refusal;  // empty when the path is usable
};

// Lexically, without touching the disk: a path that merely passes through ".." and comes back
// stays inside; one that climbs above the base does not.
Resolution resolve(std::string_view path, const std::filesystem::path& base) {
    if (path.front() == '\\' || path.front() == '/') return {{}, "absolute paths are refused"};
    if (path.size() >= 2 && path[1] == ':') return {{}, "drive paths are refused"};
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view part = path.substr(start, end - start);
        if (part == "..") {
            if (parts.empty()) return {{}, "climbs out of " + base.string() + " with \"..\""};
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    if (parts.empty()) return {{}, "names no file"};
    Resolution resolution;
    for (std::string_view part : parts) resolution.relative /= std::string(part);
    return resolution;
}

}  // namespace

PcmSound default_cue_sound() {
    // 150 ms of a 880 Hz triangle with 5 ms ramps, so it starts and ends without a click.
    constexpr int frames = DEFAULT_RATE * 150 / 1000, ramp = DEFAULT_RATE * 5 / 1000, amplitude = 8000;
    constexpr uint32_t step = static_cast<uint32_t>((uint64_t{880} << 32) / DEFAULT_RATE);
    PcmSound sound{DEFAULT_RATE, 1, std::vector<int16_t>(frames)};
    uint32_t phase = 0;
    for (int i = 0; i < frames; ++i, phase += step) {
        const int p = static_cast<int>(phase >> 16);
        const int triangle = p < 32768 ? p * 2 - 32768 : (65535 - p) * 2 - 32768;
        const int gain = std::min({i, frames - 1 - i, ramp});
        sound.samples[i] = static_cast<int16_t>(triangle * amplitude / 32768 * gain / ramp);
    }
    return sound;
}

CuePlayer::CuePlayer(std::filesystem::path base_folder, AudioSink& sink, bool muted)
    : base_(std::move(base_folder)),
      sink_(sink),
      muted_(muted),
      default_sound_{std::make_shared<const PcmSound>(default_cue_sound())} {}

void CuePlayer::play(std::string_view path_from_the_gauge) noexcept {
    play_cue(path_from_the_gauge, true);
}

void CuePlayer::play(const CueRequest& cue) noexcept {
    play_cue(cue.path, (cue.flags & SND_NODEFAULT) == 0);
}

void CuePlayer::play_cue(std::string_view path, bool default_allowed) noexcept {
    try {
        ++requested_;
        PlayedCue cue{.requested = std::string(path)};
        if (!path.empty()) {
            Entry& entry = entry_for(path);
            cue.resolved = entry.resolved;
            cue.problem = entry.problem;
            Playable* sound = entry.sound.decoded ? &entry.sound : nullptr;
            if (!sound && default_allowed) {
                sound = &default_sound_;
                cue.used_default = true;
            }
            if (sound && audible()) {
                if (std::shared_ptr<const PcmSound> playable = ready(*sound)) {
                    sink_.start(std::move(playable));
                    cue.audible = true;
                }
            }
        }
        remember(std::move(cue));
    } catch (...) {
        // Out of memory, or a sink that failed: this cue is lost, and the gauge goes on.
    }
}

std::vector<std::string> CuePlayer::take_problems() {
    return std::exchange(problems_, {});
}

CuePlayer::Entry& CuePlayer::entry_for(std::string_view path) {
    if (auto found = cache_.find(path); found != cache_.end()) return found->second;
    Entry entry = load(path);
    if (!entry.problem.empty() && problems_.size() < MAX_PENDING_PROBLEMS) problems_.push_back(entry.problem);
    if (cache_.size() >= MAX_CACHED) {
        uncached_ = std::move(entry);
        return uncached_;
    }
    return cache_.emplace(std::string(path), std::move(entry)).first->second;
}

CuePlayer::Entry CuePlayer::load(std::string_view path) const {
    const Resolution resolution = resolve(path, base_);
    if (!resolution.refusal.empty()) return {{}, {}, "cue " + quote_text(path) + ": " + resolution.refusal};
    Entry entry{base_ / resolution.relative, {}, {}};
    try {
        entry.sound.decoded = std::make_shared<const PcmSound>(read_wav_file(entry.resolved));
    } catch (const WavError& error) {
        entry.problem = error.what();
    } catch (const std::exception& error) {
        entry.problem = entry.resolved.string() + ": " + error.what();
    }
    return entry;
}

std::shared_ptr<const PcmSound> CuePlayer::ready(Playable& sound) {
    if (!sound.prepared) {
        sound.for_sink = sink_.prepare(sound.decoded);
        sound.prepared = true;
    }
    return sound.for_sink;
}

void CuePlayer::remember(PlayedCue cue) {
    if (played_.size() == HISTORY) played_.pop_front();
    played_.push_back(std::move(cue));
}

}  // namespace panel::sound
