// The time-lapse: frames sampled on a clock, changed rectangles only, and a size budget kept by
// dropping frames evenly; read back with giflib's own decoder.
#include "gif_recorder.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

namespace {

using panel::app::GifError;
using panel::app::GifRecorder;

constexpr int width = 40, height = 30;

// An opaque picture of one colour with a lighter square at (x, y).
std::vector<uint32_t> picture(int x, int y) {
    std::vector<uint32_t> pixels(width * height, 0xFF204060u);
    for (int dy = 0; dy < 5; ++dy)
        for (int dx = 0; dx < 5; ++dx) pixels[(y + dy) * width + x + dx] = 0xFFE0C0A0u;
    return pixels;
}

void add(GifRecorder& gif, double seconds, const std::vector<uint32_t>& pixels) {
    gif.add(seconds, reinterpret_cast<const uint8_t*>(pixels.data()), width * 4);
}

struct Decoded {
    int frames = 0;
    std::vector<GifImageDesc> rectangles;
    int top_left_red = -1;  // of the first frame
};

Decoded decode(const std::filesystem::path& file) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(file.c_str(), &error);
    Decoded decoded;
    if (gif == nullptr || DGifSlurp(gif) != GIF_OK) return decoded;
    decoded.frames = gif->ImageCount;
    for (int i = 0; i < gif->ImageCount; ++i) decoded.rectangles.push_back(gif->SavedImages[i].ImageDesc);
    const ColorMapObject* map = gif->SColorMap;
    decoded.top_left_red = map->Colors[gif->SavedImages[0].RasterBits[0]].Red;
    DGifCloseFile(gif, &error);
    return decoded;
}

class GifRecorderTest : public ::testing::Test {
protected:
    std::filesystem::path file = std::filesystem::temp_directory_path() /
                                 ("gif_recorder_" + std::to_string(getpid()) + "_" +
                                  ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".gif");
    ~GifRecorderTest() override { std::filesystem::remove(file); }
};

TEST_F(GifRecorderTest, LaterFramesAreTheRectangleThatChanged) {
    GifRecorder gif(width, height);
    add(gif, 0.0, picture(0, 0));
    add(gif, 1.0, picture(10, 10));
    add(gif, 2.0, picture(10, 10));  // no change: one pixel keeps the time
    gif.write(file, 1 << 20);
    const Decoded decoded = decode(file);
    ASSERT_EQ(decoded.frames, 3);
    EXPECT_EQ(decoded.rectangles[0].Width, width);
    EXPECT_EQ(decoded.rectangles[0].Height, height);
    // The square left (0..4) and arrived (10..14): the rectangle spans both.
    EXPECT_EQ(decoded.rectangles[1].Left, 0);
    EXPECT_EQ(decoded.rectangles[1].Top, 0);
    EXPECT_EQ(decoded.rectangles[1].Width, 15);
    EXPECT_EQ(decoded.rectangles[1].Height, 15);
    EXPECT_EQ(decoded.rectangles[2].Width, 1);
    EXPECT_NEAR(decoded.top_left_red, 0xE0, 8);  // the square's colour survived the palette
}

TEST_F(GifRecorderTest, SamplesOnItsClockAndSlowsDownWhenFull) {
    GifRecorder gif(width, height, 10, 4);
    EXPECT_TRUE(gif.due(0.0));
    add(gif, 0.0, picture(0, 0));
    EXPECT_FALSE(gif.due(0.5));
    EXPECT_TRUE(gif.due(1.0));
    for (int second = 1; second < 4; ++second) add(gif, second, picture(second, second));
    // Four kept reached the limit: every other one went, and frames now come every 2 s.
    EXPECT_EQ(gif.frames(), 2u);
    EXPECT_FALSE(gif.due(4.5));
    EXPECT_TRUE(gif.due(5.0));
}

TEST_F(GifRecorderTest, KeepsItsBudgetByDroppingFramesEvenly) {
    GifRecorder gif(width, height);
    for (int i = 0; i < 40; ++i) add(gif, i, picture(i % 30, (i * 7) % 25));
    const size_t whole = gif.write(file, 1 << 20);
    EXPECT_EQ(decode(file).frames, 40);
    const size_t kept = gif.write(file, whole / 3);
    EXPECT_LE(kept, whole / 3);
    const int frames = decode(file).frames;
    EXPECT_GT(frames, 5);
    EXPECT_LT(frames, 40);
    EXPECT_THROW(gif.write(file, 10), GifError);  // not even one frame fits
}

TEST_F(GifRecorderTest, AnUnwritableFileIsAnErrorNamingIt) {
    GifRecorder gif(width, height);
    add(gif, 0.0, picture(0, 0));
    try {
        gif.write("/nonexistent-folder/flight.gif", 1 << 20);
        ADD_FAILURE() << "wrote into a folder that does not exist";
    } catch (const GifError& error) {
        EXPECT_EQ(std::string(error.what()), "/nonexistent-folder/flight.gif: cannot write");
    }
    EXPECT_THROW(GifRecorder(width, height).write(file, 1 << 20), GifError);  // no frame at all
}

}  // namespace
