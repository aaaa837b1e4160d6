// The cue player against a fake sink: order and cut-off, paths as gauges write them, files
// read once, the default beep for whatever cannot be played, and silence that still records.
#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "cue_playback.h"
#include "fake_audio_sink.h"
#include "wav_bytes.h"

namespace fs = std::filesystem;
using panel::CueRequest;
using panel::sound::CuePlayer;
using panel::sound::FakeAudioSink;
using panel::sound::PcmSound;
using panel::sound::PlayedCue;

namespace {

const PcmSound CLICK{22050, 1, {100, -100}};
const PcmSound BEEP{22050, 1, {7, 7, 7}};

// A folder the host plays from, with a sound folder of two good cues and a bad one, and a
// cue above it that no gauge may reach.
class CuePlayerTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(base / "sound");
        wav_bytes::write(base / "sound" / "click.wav", wav_bytes::mono16(CLICK.samples));
        wav_bytes::write(base / "sound" / "beep2.wav", wav_bytes::mono16(BEEP.samples));
        wav_bytes::write(base / "sound" / "bad.wav", {'R', 'I', 'F', 'F', 99, 0, 0, 0, 'W', 'A', 'V', 'E'});
        wav_bytes::write(root / "secret.wav", wav_bytes::mono16({1}));
    }
    void TearDown() override { fs::remove_all(root); }

    const fs::path root = fs::temp_directory_path() / ("cue_player_" + std::to_string(getpid()));
    const fs::path base = root / "host";
    const PcmSound beep = panel::sound::default_cue_sound();
    FakeAudioSink sink;
};

}  // namespace

TEST_F(CuePlayerTest, PlaysCuesInOrderEachCuttingTheLast) {
    CuePlayer player(base, sink, false);
    player.play("sound\\click.wav");
    player.play("sound\\beep2.wav");
    player.play("sound\\click.wav");

    ASSERT_EQ(sink.started().size(), 3u);
    EXPECT_EQ(*sink.started()[0], CLICK);
    EXPECT_EQ(*sink.started()[1], BEEP);
    EXPECT_EQ(*sink.started()[2], CLICK);
    EXPECT_EQ(*sink.playing(), CLICK);

    ASSERT_EQ(player.played().size(), 3u);
    EXPECT_EQ(player.played()[1], (PlayedCue{"sound\\beep2.wav", base / "sound" / "beep2.wav", false, true, ""}));
    EXPECT_EQ(player.requested(), 3u);
    EXPECT_TRUE(player.take_problems().empty());
}

TEST_F(CuePlayerTest, ReadsEachFileOnce) {
    CuePlayer player(base, sink, false);
    player.play("sound\\click.wav");
    fs::remove(base / "sound" / "click.wav");
    player.play("sound\\click.wav");
    ASSERT_EQ(sink.started().size(), 2u);
    EXPECT_EQ(sink.started()[0], sink.started()[1]) << "the second play should reuse the first read";
    EXPECT_FALSE(player.played().back().used_default);
    player.play("sound\\missing.wav");
    player.play("sound\\bad.wav");
    EXPECT_EQ(sink.prepared(), 2) << "the file and the default beep are each converted once, when first played";
}

TEST_F(CuePlayerTest, ACueLongerThanACueMayLastIsRefusedAndTheDefaultPlays) {
    // Four minutes of 8-bit mono at 1000 Hz (larger ones crashed the device's converter).
    wav_bytes::write(base / "sound" / "long.wav",
                     wav_bytes::wav({.rate = 1000, .bits = 8}, std::vector<uint8_t>(4u << 20, 128)));
    CuePlayer player(base, sink, false);
    player.play("sound\\long.wav");
    ASSERT_EQ(sink.started().size(), 1u);
    EXPECT_EQ(*sink.playing(), beep);
    EXPECT_TRUE(player.played().back().used_default);
    const std::vector<std::string> problems = player.take_problems();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].rfind((base / "sound" / "long.wav").string() + ": wav: ", 0), 0u) << problems[0];
    EXPECT_NE(problems[0].find("longer than a cue may last"), std::string::npos) << problems[0];
}

TEST_F(CuePlayerTest, ResolvesPathsAsGaugesWriteThemInsideTheFolder) {
    CuePlayer player(base, sink, false);
    for (const char* path : {"sound\\click.wav", "sound/click.wav", "sound\\\\click.wav", ".\\sound\\click.wav",
                             "sound\\..\\sound\\click.wav"}) {
        player.play(path);
        EXPECT_EQ(player.played().back().resolved, base / "sound" / "click.wav") << path;
        EXPECT_FALSE(player.played().back().used_default) << path;
        EXPECT_EQ(*sink.playing(), CLICK) << path;
    }
}

TEST_F(CuePlayerTest, RefusesPathsThatLeaveTheFolderAndPlaysTheDefault) {
    CuePlayer player(base, sink, false);
    for (const char* path : {"..\\secret.wav", "sound\\..\\..\\secret.wav", "\\sound\\click.wav", "/etc/passwd",
                             "C:\\sound\\click.wav", "c:click.wav", "sound\\..", "."}) {
        player.play(path);
        const PlayedCue& cue = player.played().back();
        EXPECT_TRUE(cue.resolved.empty()) << path;
        EXPECT_TRUE(cue.used_default) << path;
        EXPECT_EQ(cue.problem.rfind("cue \"", 0), 0u) << cue.problem;
        EXPECT_EQ(*sink.playing(), beep) << path;
    }
    EXPECT_NE(player.played()[0].problem.find("climbs out of " + base.string()), std::string::npos)
        << player.played()[0].problem;
    EXPECT_NE(player.played()[2].problem.find("absolute"), std::string::npos);
    EXPECT_NE(player.played()[4].problem.find("drive"), std::string::npos);
}

TEST_F(CuePlayerTest, MissingAndMalformedFilesPlayTheDefaultAndAreReportedOnce) {
    CuePlayer player(base, sink, false);
    player.play("sound\\missing.wav");
    player.play("sound\\bad.wav");
    player.play("sound\\missing.wav");
    player.play("sound\\click.wav");

    ASSERT_EQ(sink.started().size(), 4u);
    EXPECT_EQ(*sink.started()[0], beep);
    EXPECT_EQ(*sink.started()[1], beep);
    EXPECT_EQ(*sink.started()[3], CLICK) << "a failed cue leaves the next one alone";
    const PlayedCue& missing = player.played()[0];
    EXPECT_TRUE(missing.used_default);
    EXPECT_EQ(missing.resolved, base / "sound" / "missing.wav");
    EXPECT_EQ(missing.problem, (base / "sound" / "missing.wav").string() + ": no such file");
    EXPECT_TRUE(player.played()[1].used_default);
    EXPECT_NE(player.played()[1].problem.find("bad.wav: wav: truncated"), std::string::npos)
        << player.played()[1].problem;

    EXPECT_EQ(player.take_problems(), (std::vector<std::string>{missing.problem, player.played()[1].problem}));
    player.play("sound\\missing.wav");
    EXPECT_TRUE(player.take_problems().empty()) << "each file is reported once";
}

TEST_F(CuePlayerTest, MutedOrWithoutDeviceEveryCueIsListedAndNoneHeard) {
    FakeAudioSink no_device(false);
    CuePlayer muted(base, sink, true), deviceless(base, no_device, false);
    for (CuePlayer* player : {&muted, &deviceless}) {
        EXPECT_FALSE(player->audible());
        player->play("sound\\click.wav");
        player->play("sound\\missing.wav");
        ASSERT_EQ(player->played().size(), 2u);
        EXPECT_EQ(player->played()[0], (PlayedCue{"sound\\click.wav", base / "sound" / "click.wav", false, false, ""}));
        EXPECT_TRUE(player->played()[1].used_default);
        EXPECT_FALSE(player->played()[1].audible);
        EXPECT_EQ(player->take_problems().size(), 1u);
    }
    EXPECT_TRUE(sink.started().empty());
    EXPECT_TRUE(no_device.started().empty());
    EXPECT_EQ(sink.prepared() + no_device.prepared(), 0) << "nothing is converted for a sink that plays nothing";
}

TEST_F(CuePlayerTest, LogRequestsHeedNoDefaultAndANullPath) {
    CuePlayer player(base, sink, false);
    player.play(CueRequest{"sound\\beep2.wav", 0x00020001});
    player.play(CueRequest{"sound\\missing.wav", 0x00020003});  // SND_NODEFAULT
    player.play(CueRequest{"", 0x00020001});                    // PlaySoundA(NULL, ...)
    ASSERT_EQ(sink.started().size(), 1u);
    EXPECT_EQ(*sink.playing(), BEEP);
    ASSERT_EQ(player.played().size(), 3u);
    EXPECT_FALSE(player.played()[1].used_default);
    EXPECT_FALSE(player.played()[1].audible);
    EXPECT_FALSE(player.played()[1].problem.empty());
    EXPECT_EQ(player.played()[2], (PlayedCue{"", {}, false, false, ""}));
}

TEST_F(CuePlayerTest, AFailingSinkNeverReachesTheGauge) {
    struct ThrowingSink : FakeAudioSink {
        void start(std::shared_ptr<const PcmSound>) override { throw std::runtime_error("device lost"); }
    } broken;
    CuePlayer player(base, broken, false);
    player.play("sound\\click.wav");  // noexcept: a throw here would end the test program
    EXPECT_EQ(player.requested(), 1u);
}

TEST_F(CuePlayerTest, KeepsTheLatestCuesAndCountsThemAll) {
    CuePlayer player(base, sink, true);
    for (size_t i = 0; i < CuePlayer::HISTORY + 5; ++i) player.play(i == 5 ? "sound\\beep2.wav" : "sound\\click.wav");
    EXPECT_EQ(player.played().size(), CuePlayer::HISTORY);
    EXPECT_EQ(player.requested(), CuePlayer::HISTORY + 5);
    EXPECT_EQ(player.played().front().requested, "sound\\beep2.wav");
}

TEST(DefaultCue, IsAShortAudibleBeepWithSoftEdges) {
    const PcmSound beep = panel::sound::default_cue_sound();
    EXPECT_EQ(beep.channels, 1);
    EXPECT_GT(beep.frames(), static_cast<size_t>(beep.sample_rate) / 20);
    EXPECT_LT(beep.frames(), static_cast<size_t>(beep.sample_rate) / 4);
    int peak = 0;
    for (int16_t s : beep.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_GT(peak, 4000);
    EXPECT_EQ(beep.samples.front(), 0);
    EXPECT_EQ(beep.samples.back(), 0);
}
