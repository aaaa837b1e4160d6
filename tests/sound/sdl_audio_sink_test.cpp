// The SDL sink on SDL's dummy driver only: no test opens a real device.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>

#include "sdl_audio_sink.h"

using panel::sound::PcmSound;

TEST(SdlAudioSink, OpensOrDeclinesOnTheDummyDriverAndTakesSounds) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    panel::sound::SdlAudioSink sink;
    EXPECT_EQ(sink.available(), sink.problem().empty()) << sink.problem();
    // Converted from any rate and channel count, each cutting the last; nonsense is ignored.
    sink.start(std::make_shared<const PcmSound>(PcmSound{22050, 1, std::vector<int16_t>(2205, 1000)}));
    sink.start(std::make_shared<const PcmSound>(PcmSound{48000, 2, std::vector<int16_t>(960, -1000)}));
    sink.start(std::make_shared<const PcmSound>(PcmSound{0, 3, {1, 2, 3}}));
    sink.start(nullptr);
}

TEST(SdlAudioSink, ConvertsACueWholeAndNeverMoreThanACueMayLast) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    panel::sound::SdlAudioSink sink;
    if (!sink.available()) GTEST_SKIP() << "panel-skipped: no audio device here: " << sink.problem();
    // Converted whole, the tail included: 0.1 s of 22.05 kHz mono is 0.1 s of 44.1 kHz stereo.
    const auto short_cue = std::make_shared<const PcmSound>(PcmSound{22050, 1, std::vector<int16_t>(2205, 1000)});
    const auto converted = sink.prepare(short_cue);
    ASSERT_TRUE(converted);
    EXPECT_EQ(converted->sample_rate, 44100);
    EXPECT_EQ(converted->channels, 2);
    EXPECT_NEAR(static_cast<double>(converted->frames()), 4410.0, 8.0);
    EXPECT_EQ(sink.prepare(converted), converted) << "a sound in the device's format is kept as it is";

    // Thirteen million samples at 1000 Hz, which SDL was once handed whole and crashed on: only
    // a cue's length is converted, quickly.
    const auto start = std::chrono::steady_clock::now();
    const auto huge = std::make_shared<const PcmSound>(PcmSound{1000, 1, std::vector<int16_t>(13'000'000, 1000)});
    const auto cut = sink.prepare(huge);
    ASSERT_TRUE(cut);
    EXPECT_LE(cut->frames(), size_t{44100} * panel::sound::MAX_CUE_SECONDS + 64);
    EXPECT_GE(cut->frames(), size_t{44100} * panel::sound::MAX_CUE_SECONDS - 64);
    sink.start(huge);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}
