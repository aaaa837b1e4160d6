// Where cue sounds go: one voice that a new sound takes over, as the platform's asynchronous
// PlaySoundA does. Called from the panel thread only.
#pragma once

#include <memory>

#include "pcm_sound.h"

namespace panel::sound {

class AudioSink {
public:
    virtual ~AudioSink() = default;
    // `sound` as this sink plays it (the device's rate and channels), for the caller to keep:
    // a sound started in that form costs no conversion. Null when it cannot be played.
    virtual std::shared_ptr<const PcmSound> prepare(std::shared_ptr<const PcmSound> sound) { return sound; }
    // Starts `sound` from its first frame and returns at once; whatever still played is cut.
    // The sink keeps the sound alive for as long as it plays.
    virtual void start(std::shared_ptr<const PcmSound> sound) = 0;
    // False when there is no device to play on: starting a sound then does nothing.
    virtual bool available() const = 0;
};

// No device on purpose (--mute): nothing is opened, so no audio library complains.
class SilentAudioSink : public AudioSink {
public:
    void start(std::shared_ptr<const PcmSound>) override {}
    bool available() const override { return false; }
};

}  // namespace panel::sound
