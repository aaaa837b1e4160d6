// The WAV reader: both depths and channel counts, chunks it must step over, a clear refusal of
// everything malformed, every cut-short copy of a real cue, and the committed cues themselves.
#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "wav_bytes.h"
#include "wav_reader.h"

namespace fs = std::filesystem;
using panel::sound::parse_wav;
using panel::sound::PcmSound;
using panel::sound::WavError;
using namespace wav_bytes;

namespace {

std::string error_of(const std::vector<uint8_t>& bytes) {
    try {
        parse_wav(bytes);
    } catch (const WavError& error) {
        return error.what();
    }
    return "";
}

const char* const CUE_FILES[] = {"click.wav", "soft_click.wav", "beep2.wav", "beep3.wav", "beep4.wav"};

}  // namespace

TEST(WavReader, ReadsBothDepthsAndBothChannelCounts) {
    const PcmSound stereo = parse_wav(wav({.channels = 2, .rate = 44100}, samples16({1, -1, 32767, -32768})));
    EXPECT_EQ(stereo, (PcmSound{44100, 2, {1, -1, 32767, -32768}}));
    EXPECT_EQ(stereo.frames(), 2u);

    // 8-bit samples are unsigned around 128, widened to 16 bits.
    const PcmSound bytes = parse_wav(wav({.rate = 8000, .bits = 8}, {0, 128, 255}));
    EXPECT_EQ(bytes, (PcmSound{8000, 1, {-32768, 0, 32512}}));

    // The longest cue there may be.
    EXPECT_EQ(parse_wav(wav({.channels = 2, .rate = 1000}, std::vector<uint8_t>(40000))).frames(), 10000u);
}

TEST(WavReader, StepsOverOtherChunksPaddingAndTrailingBytes) {
    // An odd-sized chunk before fmt (with its pad byte) and one between fmt and data.
    std::vector<uint8_t> file = riff({chunk("LIST", {1, 2, 3}), chunk("fmt ", fmt_body({})),
                                      chunk("fact", {0, 0, 0, 0}), chunk("data", samples16({5, 6}))});
    EXPECT_EQ(parse_wav(file).samples, (std::vector<int16_t>{5, 6}));

    // Bytes past the RIFF chunk belong to no one.
    file.insert(file.end(), {'j', 'u', 'n', 'k'});
    EXPECT_EQ(parse_wav(file).samples, (std::vector<int16_t>{5, 6}));

    // A trailing partial frame is left out; a larger fmt chunk (an extension) is accepted.
    std::vector<uint8_t> fmt = fmt_body({.channels = 2});
    fmt.insert(fmt.end(), {0, 0});
    EXPECT_EQ(parse_wav(riff({chunk("fmt ", fmt), chunk("data", samples16({1, 2, 3}))})).samples,
              (std::vector<int16_t>{1, 2}));
}

TEST(WavReader, RefusesWhatItCannotPlayWithTheReason) {
    const std::vector<uint8_t> good = mono16({1, 2, 3});
    ASSERT_EQ(error_of(good), "");
    const auto spoiled = [&](const std::function<void(std::vector<uint8_t>&)>& spoil) {
        std::vector<uint8_t> b = good;
        spoil(b);
        return b;
    };
    struct Case {
        std::string name;
        std::vector<uint8_t> bytes;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"empty", {}, "shorter than a RIFF header"},
        {"not riff", spoiled([](auto& b) { b[0] = 'X'; }), "not a RIFF file"},
        {"not wave", spoiled([](auto& b) { b[8] = 'A'; }), "of form AAVE, not WAVE"},
        {"riff too small for its form", spoiled([](auto& b) { set32(b, 4, 2); }), "cannot hold its form"},
        {"riff larger than the file", spoiled([](auto& b) { set32(b, 4, 0xFFFFFFF0u); }), "truncated"},
        {"float samples", wav({.tag = 3, .bits = 32}, {0, 0, 0, 0}), "format tag 3 unsupported"},
        {"extensible", wav({.tag = 0xFFFE}, {0, 0}), "format tag 65534"},
        {"three channels", wav({.channels = 3}, {0, 0, 0, 0, 0, 0}), "3 channels"},
        {"24 bits", wav({.bits = 24}, {0, 0, 0}), "24 bits per sample"},
        {"zero rate", wav({.rate = 0}, {0, 0}), "sample rate 0 Hz"},
        {"wrong block align", wav({.block_align = 4}, {0, 0, 0, 0}), "block align 4"},
        {"short fmt", riff({chunk("fmt ", {1, 0, 1, 0}), chunk("data", {0, 0})}), "fmt chunk of 4 bytes"},
        {"two fmt", riff({chunk("fmt ", fmt_body({})), chunk("fmt ", fmt_body({})), chunk("data", {0, 0})}),
         "second fmt chunk"},
        {"data first", riff({chunk("data", {0, 0}), chunk("fmt ", fmt_body({}))}), "data chunk before the fmt"},
        {"no fmt", riff({chunk("LIST", {})}), "no fmt chunk"},
        {"no data", riff({chunk("fmt ", fmt_body({}))}), "no data chunk"},
        {"empty data", wav({}, {}), "no whole frame"},
        {"data shorter than a frame", wav({.channels = 2}, {0, 0}), "no whole frame"},
        // The chunk claims more than the RIFF holds, though the file itself has the bytes.
        {"chunk past the riff", spoiled([](auto& b) {
             set32(b, 40, 8);
             b.insert(b.end(), {9, 9});
         }),
         "chunk data of 8 bytes runs past the end"},
        {"huge chunk", spoiled([](auto& b) { set32(b, 16, 0xFFFFFFFFu); }), "runs past the end"},
        // A valid file far longer than a cue: converting it for the device stalled the panel.
        {"longer than a cue", wav({.rate = 1000, .bits = 8}, std::vector<uint8_t>(10001, 128)),
         "10.0 s of sound at 1000 Hz, longer than a cue may last (10 s)"},
    };
    for (const Case& c : cases) {
        const std::string error = error_of(c.bytes);
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.name << ": " << error;
        EXPECT_EQ(error.rfind("wav: ", 0), 0u) << c.name << ": " << error;
    }
}

TEST(WavReader, EveryCutShortCopyOfARealCueIsRefused) {
    const std::vector<uint8_t> whole = read(fs::path(SOURCE_ROOT) / "sound" / "click.wav");
    ASSERT_GT(whole.size(), 44u);
    for (size_t length = 0; length < whole.size(); ++length) {
        // A buffer of exactly the cut length, so that a sanitizer build sees any read past it.
        const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(length));
        EXPECT_NE(error_of(cut), "") << "cut to " << length;
        if (length >= 12) {
            // With the RIFF size mended to fit, the chunks inside are still found short.
            std::vector<uint8_t> mended = cut;
            set32(mended, 4, static_cast<uint32_t>(length - 8));
            EXPECT_NE(error_of(mended), "") << "cut to " << length << ", RIFF size mended";
        }
    }
}

TEST(WavReader, FileErrorsNameTheFile) {
    const fs::path dir = fs::temp_directory_path() / ("wav_reader_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const auto error_reading = [](const fs::path& path) -> std::string {
        try {
            panel::sound::read_wav_file(path);
        } catch (const WavError& error) {
            return error.what();
        }
        return "";
    };
    EXPECT_EQ(error_reading(dir / "absent.wav"), (dir / "absent.wav").string() + ": no such file");
    EXPECT_EQ(error_reading(dir), dir.string() + ": not a regular file");

    write(dir / "bad.wav", {'R', 'I', 'F', 'F'});
    EXPECT_EQ(error_reading(dir / "bad.wav"), (dir / "bad.wav").string() + ": wav: shorter than a RIFF header");

    // Too large to be a cue: refused by its size, before a byte is read.
    { std::ofstream(dir / "huge.wav").put('R'); }
    fs::resize_file(dir / "huge.wav", panel::sound::MAX_WAV_FILE_BYTES + 1);
    EXPECT_NE(error_reading(dir / "huge.wav").find("more than a cue may have"), std::string::npos);

    write(dir / "good.wav", mono16({7}));
    EXPECT_EQ(panel::sound::read_wav_file(dir / "good.wav").samples, (std::vector<int16_t>{7}));
    fs::remove_all(dir);
}

TEST(WavReader, TheCommittedCuesAreShortDistinctMonoSounds) {
    std::set<std::vector<int16_t>> seen;
    for (const char* name : CUE_FILES) {
        SCOPED_TRACE(name);
        const PcmSound cue = panel::sound::read_wav_file(fs::path(SOURCE_ROOT) / "sound" / name);
        EXPECT_EQ(cue.sample_rate, 22050);
        EXPECT_EQ(cue.channels, 1);
        EXPECT_GT(cue.frames(), 22050u / 100);
        EXPECT_LT(cue.frames(), 22050u);
        int peak = 0;
        for (int16_t s : cue.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
        EXPECT_GT(peak, 4000) << "too quiet to hear";
        EXPECT_LT(peak, 32767) << "clipped";
        // Ends near silence, so that it does not stop on a click.
        EXPECT_LT(std::abs(static_cast<int>(cue.samples.back())), 600);
        seen.insert(cue.samples);
    }
    EXPECT_EQ(seen.size(), std::size(CUE_FILES));
}
