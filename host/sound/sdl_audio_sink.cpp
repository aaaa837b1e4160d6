// Talks to SDL2's audio subsystem; nothing else in the host does.
#include "sdl_audio_sink.h"

#include <SDL.h>
#include <alsa/asoundlib.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace panel::sound {

namespace {

constexpr int DEVICE_RATE = 44100;
constexpr int DEVICE_CHANNELS = 2;

// `sound` in the device's format, through SDL's own resampler.
std::shared_ptr<const PcmSound> for_device(std::shared_ptr<const PcmSound> sound) {
    if (sound->sample_rate == DEVICE_RATE && sound->channels == DEVICE_CHANNELS) return sound;
    SDL_AudioStream* stream = SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(sound->channels),
                                                 sound->sample_rate, AUDIO_S16SYS, DEVICE_CHANNELS, DEVICE_RATE);
    if (stream == nullptr) return nullptr;
    auto converted = std::make_shared<PcmSound>(PcmSound{DEVICE_RATE, DEVICE_CHANNELS, {}});
    const int bytes = static_cast<int>(sound->samples.size() * sizeof(int16_t));
    if (SDL_AudioStreamPut(stream, sound->samples.data(), bytes) == 0 && SDL_AudioStreamFlush(stream) == 0) {
        const int available = SDL_AudioStreamAvailable(stream);
        converted->samples.resize(static_cast<size_t>(available) / sizeof(int16_t));
        const int got = SDL_AudioStreamGet(stream, converted->samples.data(), available);
        converted->samples.resize(got > 0 ? static_cast<size_t>(got) / sizeof(int16_t) : 0);
    }
    SDL_FreeAudioStream(stream);
    return converted;
}

// ALSA tells stderr about every step of a failed device search; a machine without a sound card
// is normal for this host, which says so itself in one line.
void quiet_alsa(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

struct SdlAudioSink::Device {
    SDL_AudioDeviceID id = 0;
    // Touched by the audio thread: written only under SDL's lock of this device.
    std::shared_ptr<const PcmSound> current;
    size_t position = 0;  // samples of `current` already mixed

    static void mix(void* userdata, Uint8* out, int length) {
        Device& device = *static_cast<Device*>(userdata);
        size_t copied = 0;
        if (device.current) {
            const std::vector<int16_t>& samples = device.current->samples;
            copied = std::min(static_cast<size_t>(length), (samples.size() - device.position) * sizeof(int16_t));
            std::memcpy(out, samples.data() + device.position, copied);
            device.position += copied / sizeof(int16_t);
        }
        std::memset(out + copied, 0, static_cast<size_t>(length) - copied);
    }
};

SdlAudioSink::SdlAudioSink() {
    snd_lib_error_set_handler(&quiet_alsa);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        problem_ = std::string("no audio: ") + SDL_GetError();
        return;
    }
    auto device = std::make_unique<Device>();
    SDL_AudioSpec wanted{};
    wanted.freq = DEVICE_RATE;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = DEVICE_CHANNELS;
    wanted.samples = 512;  // about 12 ms: a cue starts right after the click
    wanted.callback = &Device::mix;
    wanted.userdata = device.get();
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to whatever the hardware takes, and we know the format.
    device->id = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device->id == 0) {
        problem_ = std::string("no audio device: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    SDL_PauseAudioDevice(device->id, 0);
    device_ = std::move(device);
}

SdlAudioSink::~SdlAudioSink() {
    if (!device_) return;
    SDL_CloseAudioDevice(device_->id);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlAudioSink::available() const {
    return device_ != nullptr;
}

void SdlAudioSink::start(std::shared_ptr<const PcmSound> sound) {
    if (!device_ || !sound || sound->channels < 1 || sound->channels > 2 || sound->sample_rate <= 0) return;
    std::shared_ptr<const PcmSound> converted = for_device(std::move(sound));
    if (!converted) return;
    SDL_LockAudioDevice(device_->id);
    std::swap(device_->current, converted);
    device_->position = 0;
    SDL_UnlockAudioDevice(device_->id);
    // The sound that was cut is released here, on the caller's thread, not the audio thread's.
}

}  // namespace panel::sound
