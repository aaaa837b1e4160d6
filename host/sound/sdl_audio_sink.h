// The audio device, through SDL2: the one file of the host that talks to it (the matching
// .cpp). Opened once, at 44.1 kHz stereo; each sound is converted to that by prepare() (or when
// started unprepared), in bounded pieces and for at most MAX_CUE_SECONDS, and mixed from SDL's
// audio thread. With no device the sink is simply unavailable.
#pragma once

#include <memory>
#include <string>

#include "audio_sink.h"

namespace panel::sound {

class SdlAudioSink : public AudioSink {
public:
    // Opens the default output device; when SDL has none, the sink is unavailable and
    // problem() says why. Never throws for want of a device.
    SdlAudioSink();
    ~SdlAudioSink() override;
    SdlAudioSink(const SdlAudioSink&) = delete;
    SdlAudioSink& operator=(const SdlAudioSink&) = delete;

    std::shared_ptr<const PcmSound> prepare(std::shared_ptr<const PcmSound> sound) override;
    void start(std::shared_ptr<const PcmSound> sound) override;
    bool available() const override;
    // Why no device was opened; empty when one was.
    const std::string& problem() const { return problem_; }

private:
    struct Device;
    std::unique_ptr<Device> device_;  // null when unavailable
    std::string problem_;
};

}  // namespace panel::sound
