// The committed cue sounds are exactly what the generator makes: regenerating into a scratch
// folder gives the same files, byte for byte.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "wav_bytes.h"

namespace fs = std::filesystem;

namespace {

std::set<std::string> wav_names_in(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().extension() == ".wav") names.insert(entry.path().filename().string());
    return names;
}

}  // namespace

TEST(CueRegeneration, GeneratorReproducesTheCommittedSoundsExactly) {
    const fs::path kept = fs::path(SOURCE_ROOT) / "sound";
    const fs::path scratch = fs::temp_directory_path() / ("cue_check_" + std::to_string(getpid()));
    fs::remove_all(scratch);
    const std::string command = std::string("\"") + CUE_GENERATOR + "\" --out \"" + scratch.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    const std::set<std::string> expected = {"beep2.wav", "beep3.wav", "beep4.wav", "click.wav", "soft_click.wav"};
    ASSERT_EQ(wav_names_in(scratch), expected);
    ASSERT_EQ(wav_names_in(kept), expected);
    for (const std::string& name : expected)
        EXPECT_TRUE(wav_bytes::read(scratch / name) == wav_bytes::read(kept / name))
            << "sound/" << name << " differs from the generator's; run tools/regenerate-sounds.sh";
    fs::remove_all(scratch);
}

TEST(CueRegeneration, GeneratorRefusesABadCommandLine) {
    EXPECT_NE(std::system((std::string("\"") + CUE_GENERATOR + "\" --bogus x 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system((std::string("\"") + CUE_GENERATOR + "\" 2>/dev/null").c_str()), 0);
}
