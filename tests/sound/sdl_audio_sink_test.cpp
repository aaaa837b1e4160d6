// The SDL sink on SDL's dummy driver only: no test opens a real device.
#include <gtest/gtest.h>

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
