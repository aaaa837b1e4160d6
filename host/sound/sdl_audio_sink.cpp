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

// Fed to SDL's resampler this many samples at a time (whole frames, mono or stereo), so that its
// work buffers stay small whatever the sound's rate.
constexpr size_t PIECE_SAMPLES = 16384;

// Silence is given in pieces of this many frames, a little more than the resampler keeps back.
constexpr size_t SILENCE_FRAMES = 1024;

struct StreamFree {
    void operator()(SDL_AudioStream* stream) const { SDL_FreeAudioStream(stream); }
};

bool plays_as_it_is(const PcmSound& sound) {
    return sound.sample_rate == DEVICE_RATE && sound.channels == DEVICE_CHANNELS;
}

// `sound` in the device's format, through SDL's own resampler; null when SDL cannot. At most
// MAX_CUE_SECONDS are converted, so that no sound, however long, stalls the caller unboundedly.
std::shared_ptr<const PcmSound> for_device(std::shared_ptr<const PcmSound> sound) {
    if (!sound || sound->channels < 1 || sound->channels > 2 || sound->sample_rate <= 0) return nullptr;
    if (plays_as_it_is(*sound)) return sound;
    std::unique_ptr<SDL_AudioStream, StreamFree> stream(
        SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(sound->channels), sound->sample_rate, AUDIO_S16SYS,
                           DEVICE_CHANNELS, DEVICE_RATE));
    if (!stream) return nullptr;
    const size_t channels = static_cast<size_t>(sound->channels), rate = static_cast<size_t>(sound->sample_rate);
    const size_t frames = std::min(sound->frames(), rate * MAX_CUE_SECONDS);
    const size_t count = frames * channels;
    const size_t wanted = (frames * DEVICE_RATE + rate / 2) / rate * DEVICE_CHANNELS;
    auto converted = std::make_shared<PcmSound>(PcmSound{DEVICE_RATE, DEVICE_CHANNELS, {}});
    converted->samples.reserve(wanted);
    const auto take = [&] {
        for (int available; (available = SDL_AudioStreamAvailable(stream.get())) > 0;) {
            const size_t had = converted->samples.size();
            converted->samples.resize(had + static_cast<size_t>(available) / sizeof(int16_t));
            const int got = SDL_AudioStreamGet(stream.get(), converted->samples.data() + had, available);
            converted->samples.resize(had + (got > 0 ? static_cast<size_t>(got) / sizeof(int16_t) : 0));
            if (got <= 0) return got == 0;
        }
        return true;
    };
    const auto feed = [&](const int16_t* samples, size_t samples_count) {
        for (size_t at = 0; at < samples_count; at += PIECE_SAMPLES) {
            const size_t piece = std::min(PIECE_SAMPLES, samples_count - at);
            if (SDL_AudioStreamPut(stream.get(), samples + at, static_cast<int>(piece * sizeof(int16_t))) != 0 ||
                !take())
                return false;
        }
        return true;
    };
    if (!feed(sound->samples.data(), count)) return nullptr;
    // SDL 2's resampler keeps back its last 512 input frames, even when flushed (the click lost
    // half of itself): silence after the sound, up to a second of it, pushes them out, and the
    // result is cut back to the sound's own length.
    const std::vector<int16_t> silence(SILENCE_FRAMES * channels);
    for (size_t given = 0; converted->samples.size() < wanted && given < rate; given += SILENCE_FRAMES) {
        if (!feed(silence.data(), silence.size())) return nullptr;
    }
    if (SDL_AudioStreamFlush(stream.get()) != 0 || !take()) return nullptr;
    converted->samples.resize(std::min(converted->samples.size(), wanted));
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

std::shared_ptr<const PcmSound> SdlAudioSink::prepare(std::shared_ptr<const PcmSound> sound) {
    return device_ ? for_device(std::move(sound)) : sound;
}

void SdlAudioSink::start(std::shared_ptr<const PcmSound> sound) {
    if (!device_) return;
    // A prepared sound passes through as it is.
    std::shared_ptr<const PcmSound> converted = for_device(std::move(sound));
    if (!converted) return;
    SDL_LockAudioDevice(device_->id);
    std::swap(device_->current, converted);
    device_->position = 0;
    SDL_UnlockAudioDevice(device_->id);
    // The sound that was cut is released here, on the caller's thread, not the audio thread's.
}

}  // namespace panel::sound
