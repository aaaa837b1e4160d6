// The cue player: what a gauge's PlaySoundA(path, NULL, SND_FILENAME | SND_ASYNC) does in this
// host. The path is taken relative to the folder the host plays from, with '\' (or '/') as
// separator; each file is read once and kept, and converted for the sink once, when first
// played; a cue cuts the one still playing; a file that is missing, unreadable, longer than a cue
// may last or otherwise refused plays a short default beep instead. Muted, or with no device,
// nothing is heard but every cue is still listed. Nothing here throws to the caller, so a
// gauge's handler always goes on. Panel thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "audio_sink.h"
#include "event_log.h"
#include "pcm_sound.h"

namespace panel::sound {

// PlaySoundA flags the player heeds; all others are taken as SND_FILENAME | SND_ASYNC.
constexpr uint32_t SND_NODEFAULT = 0x00000002;

struct PlayedCue {
    std::string requested;           // the path as the gauge gave it
    std::filesystem::path resolved;  // the file looked for; empty when the path was refused
    bool used_default = false;       // the default beep stood in for the file
    bool audible = false;            // handed to the device (not muted, a device present)
    std::string problem;             // why the file was not played, naming it; empty when it was
    bool operator==(const PlayedCue&) const = default;
};

// A short beep made in memory, for cues whose file cannot be played.
PcmSound default_cue_sound();

class CuePlayer {
public:
    // `base_folder` holds the host's `sound` folder: "sound\click.wav" is base_folder/sound/
    // click.wav. The sink must outlive the player.
    CuePlayer(std::filesystem::path base_folder, AudioSink& sink, bool muted);

    // One PlaySoundA call with SND_FILENAME | SND_ASYNC. An empty path (PlaySoundA with NULL)
    // is listed and starts nothing.
    void play(std::string_view path_from_the_gauge) noexcept;
    // One cue from a gauge's event log, heeding SND_NODEFAULT: the host calls this for every
    // CueRequest, in the order the log holds them.
    void play(const CueRequest& cue) noexcept;

    // The latest cues, oldest first: at most `HISTORY` of them, all counted by requested().
    static constexpr size_t HISTORY = 1024;
    const std::deque<PlayedCue>& played() const { return played_; }
    size_t requested() const { return requested_; }
    // Each file or path that could not be played, once, since the last call: one line each
    // for the host to show.
    std::vector<std::string> take_problems();

    bool audible() const { return !muted_ && sink_.available(); }
    const std::filesystem::path& base_folder() const { return base_; }

private:
    // A sound as read, and as the sink plays it: converted when first played, then kept, so
    // that a cue played again costs the panel thread nothing.
    struct Playable {
        std::shared_ptr<const PcmSound> decoded;  // null when it cannot be played
        std::shared_ptr<const PcmSound> for_sink;
        bool prepared = false;
    };
    struct Entry {
        std::filesystem::path resolved;
        Playable sound;
        std::string problem;
    };
    Entry& entry_for(std::string_view path);
    Entry load(std::string_view path) const;
    std::shared_ptr<const PcmSound> ready(Playable& sound);
    void play_cue(std::string_view path, bool default_allowed) noexcept;
    void remember(PlayedCue cue);

    std::filesystem::path base_;
    AudioSink& sink_;
    bool muted_;
    Playable default_sound_;
    // Keyed by the path as given: gauges name their cues with fixed strings.
    std::map<std::string, Entry, std::less<>> cache_;
    Entry uncached_;  // where entries land once the cache is full
    std::deque<PlayedCue> played_;
    size_t requested_ = 0;
    std::vector<std::string> problems_;
};

}  // namespace panel::sound
