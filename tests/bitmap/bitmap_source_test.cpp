// Bitmaps by resource id: from a folder of .bmp files, and from the resource section of a
// hand-made Windows DLL, whole, cut short at every length and damaged byte by byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "bitmap_images.h"
#include "bitmap_source.h"
#include "le_bytes.h"
#include "windows_build.h"

using namespace bitmap_test;
using panel::BitmapError;
using panel::FolderBitmaps;
using panel::PeBitmaps;

namespace {

using le_bytes::set32;

void write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> one_bitmap_dll() {
    DibImage picture = solid(3, 2, GREEN);
    picture.pixels[0] = RED;
    return tiny_dll({{0x1000, {{1033, picture}}}});
}

TEST(PeBitmaps, ReadsABitmapResourceById) {
    const ScratchFolder scratch("pe");
    write_file(scratch.path() / "tiny.gau", one_bitmap_dll());
    PeBitmaps bitmaps(scratch.path() / "tiny.gau");
    EXPECT_EQ(bitmaps.ids(), std::vector<uint32_t>{0x1000});
    const DibImage* image = bitmaps.find(0x1000);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->at(0, 0), RED);
    EXPECT_EQ(image->at(2, 1), GREEN);
    EXPECT_EQ(bitmaps.find(0x1000), image);  // decoded once
    EXPECT_EQ(bitmaps.find(0x1001), nullptr);
}

TEST(PeBitmaps, PrefersUsEnglishAndOtherwiseTakesTheFirstLanguage) {
    PeBitmaps both("both",
                   tiny_dll({{7, {{1031, solid(1, 1, RED)}, {1033, solid(1, 1, GREEN)}, {1036, solid(1, 1, BLUE)}}},
                             {8, {{1031, solid(1, 1, RED)}, {1036, solid(1, 1, BLUE)}}}}));
    EXPECT_EQ(both.ids(), (std::vector<uint32_t>{7, 8}));
    EXPECT_EQ(both.find(7)->at(0, 0), GREEN);
    EXPECT_EQ(both.find(8)->at(0, 0), RED);
}

// Whatever the bytes, the answer is a bitmap, no bitmap, or a BitmapError naming them.
void expect_answered(const std::vector<uint8_t>& bytes, const std::string& what) {
    try {
        PeBitmaps bitmaps("damaged.gau", bytes);
        for (uint32_t id : bitmaps.ids()) {
            try {
                bitmaps.find(id);
            } catch (const BitmapError& error) {
                EXPECT_EQ(std::string(error.what()).rfind("damaged.gau: ", 0), 0u) << what << ": " << error.what();
            }
        }
    } catch (const BitmapError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("damaged.gau: ", 0), 0u) << what << ": " << error.what();
    }
}

TEST(PeBitmaps, AFileCutShortAtAnyLengthIsRefusedCleanly) {
    const std::vector<uint8_t> whole = one_bitmap_dll();
    for (size_t length = 0; length < whole.size(); ++length) {
        const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(length));
        expect_answered(cut, "length " + std::to_string(length));
        // The picture comes last, so every cut loses some of it.
        EXPECT_THROW(PeBitmaps("damaged.gau", cut), BitmapError) << length;
    }
}

TEST(PeBitmaps, ADamagedByteAnywhereIsAnsweredCleanly) {
    const std::vector<uint8_t> whole = one_bitmap_dll();
    for (size_t at = 0; at < whole.size(); ++at)
        for (uint8_t value : {uint8_t{0x00}, uint8_t{0x7F}, uint8_t{0x80}, uint8_t{0xFF}}) {
            std::vector<uint8_t> damaged = whole;
            damaged[at] = value;
            expect_answered(damaged, "byte " + std::to_string(at) + " = " + std::to_string(value));
        }
}

TEST(PeBitmaps, ADirectoryThatLoopsBackIsRefused) {
    std::vector<uint8_t> looping = one_bitmap_dll();
    // The root's bitmap entry points back at the root itself.
    set32(looping, 0x200 + 20, 0x80000000u);
    EXPECT_THROW(PeBitmaps("looping.gau", looping), BitmapError);
}

TEST(PeBitmaps, OnlyWindowsDllsAreRead) {
    const ScratchFolder scratch("pe_kinds");
    EXPECT_THROW(PeBitmaps(scratch.path() / "absent.gau"), BitmapError);
    write_file(scratch.path() / "text.gau", {'h', 'e', 'l', 'l', 'o'});
    try {
        PeBitmaps bitmaps(scratch.path() / "text.gau");
        FAIL() << "a text file was read as a DLL";
    } catch (const BitmapError& error) {
        EXPECT_NE(std::string(error.what()).find("text.gau"), std::string::npos) << error.what();
    }
    EXPECT_THROW(PeBitmaps(std::string(PANEL_MODULE_DIR) + "/GPS_Corvane_PX40.so"), BitmapError);
}

TEST(FolderBitmaps, ReadsDecimalIdFilesWhenAskedAndKeepsThem) {
    const ScratchFolder scratch("folder");
    write_file(scratch.path() / "4096.bmp", bmp_file(solid(2, 2, BLUE)));
    write_file(scratch.path() / "4097.bmp", {'B', 'M', 1, 2, 3});
    FolderBitmaps bitmaps(scratch.path());
    const DibImage* image = bitmaps.find(4096);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->at(1, 1), BLUE);
    std::filesystem::remove(scratch.path() / "4096.bmp");
    EXPECT_EQ(bitmaps.find(4096), image);
    EXPECT_EQ(bitmaps.find(4098), nullptr);
    try {
        bitmaps.find(4097);
        FAIL() << "a damaged file was read";
    } catch (const BitmapError& error) {
        EXPECT_NE(std::string(error.what()).find("4097.bmp"), std::string::npos) << error.what();
    }
    EXPECT_THROW(FolderBitmaps(scratch.path() / "absent"), BitmapError);
}

TEST(BitmapsForModule, ANativeModuleReadsTheFolderBesideItAndAGauItsResources) {
    const ScratchFolder scratch("for_module");
    std::filesystem::create_directories(scratch.path() / "Gauge");
    write_file(scratch.path() / "Gauge" / "4096.bmp", bmp_file(solid(1, 1, RED)));
    write_file(scratch.path() / "Tiny.GAU", one_bitmap_dll());
    EXPECT_EQ(panel::bitmaps_for_module(scratch.path() / "Gauge.so", "g")->find(4096)->at(0, 0), RED);
    EXPECT_EQ(panel::bitmaps_for_module(scratch.path() / "Tiny.GAU", "g")->find(0x1000)->at(0, 0), RED);
    try {
        panel::bitmaps_for_module(scratch.path() / "Other.so", "Other_Gauge");
        FAIL() << "a module without its bitmap folder was accepted";
    } catch (const BitmapError& error) {
        EXPECT_NE(std::string(error.what()).find("Other"), std::string::npos) << error.what();
    }
}

// The .gau of a Windows build carries exactly the pictures the native build copies beside its
// module, pixel for pixel.
class WindowsModuleBitmaps : public ::testing::TestWithParam<const char*> {};

TEST_P(WindowsModuleBitmaps, EqualTheFolderBesideTheNativeModule) {
    const std::string windows_build = PANEL_WINDOWS_BUILD_DIR;
    const std::filesystem::path gau = windows_build + "/modules/" + GetParam() + ".gau";
    if (windows_build.empty() || !std::filesystem::exists(gau)) GTEST_SKIP() << no_windows_build;
    PeBitmaps resources(gau);
    const std::filesystem::path folder = std::string(PANEL_MODULE_DIR) + "/" + GetParam();
    FolderBitmaps files(folder);
    std::vector<uint32_t> folder_ids;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        folder_ids.push_back(static_cast<uint32_t>(std::stoul(entry.path().stem().string())));
    std::sort(folder_ids.begin(), folder_ids.end());
    EXPECT_EQ(resources.ids(), folder_ids);
    for (uint32_t id : folder_ids) {
        const DibImage* from_gau = resources.find(id);
        const DibImage* from_file = files.find(id);
        ASSERT_NE(from_gau, nullptr) << id;
        EXPECT_EQ(from_gau->width, from_file->width) << id;
        EXPECT_EQ(from_gau->height, from_file->height) << id;
        EXPECT_EQ(from_gau->bits_per_pixel, from_file->bits_per_pixel) << id;
        EXPECT_TRUE(from_gau->pixels == from_file->pixels) << id;
    }
}

INSTANTIATE_TEST_SUITE_P(BothModules, WindowsModuleBitmaps,
                         ::testing::Values("GPS_Corvane_PX40", "VER2_Corvane_VX_RD22"));

}  // namespace
