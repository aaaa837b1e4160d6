// The bitmap reader: both depths, both row orders, row padding, files and packed resources,
// and a clear refusal of everything malformed.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "dib_reader.h"
#include "le_bytes.h"

using panel::DibError;
using panel::DibImage;
using panel::RgbPixel;

namespace {

using le_bytes::put16;
using le_bytes::put32;
using le_bytes::set32;

// A packed DIB: info header, palette, rows as given (already padded, in storage order).
std::vector<uint8_t> packed(int32_t width, int32_t height, uint16_t bits, uint32_t colours_used,
                            const std::vector<RgbPixel>& palette, const std::vector<uint8_t>& rows) {
    std::vector<uint8_t> b;
    put32(b, 40);
    put32(b, static_cast<uint32_t>(width));
    put32(b, static_cast<uint32_t>(height));
    put16(b, 1);
    put16(b, bits);
    put32(b, 0);
    put32(b, static_cast<uint32_t>(rows.size()));
    put32(b, 2835);
    put32(b, 2835);
    put32(b, colours_used);
    put32(b, 0);
    for (const RgbPixel& p : palette) {
        b.push_back(p.b);
        b.push_back(p.g);
        b.push_back(p.r);
        b.push_back(0);
    }
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

std::vector<uint8_t> as_file(const std::vector<uint8_t>& dib, uint32_t palette_bytes) {
    std::vector<uint8_t> b = {'B', 'M'};
    put32(b, static_cast<uint32_t>(14 + dib.size()));
    put32(b, 0);
    put32(b, 14 + 40 + palette_bytes);
    b.insert(b.end(), dib.begin(), dib.end());
    return b;
}

const RgbPixel RED{255, 0, 0}, GREEN{0, 255, 0}, BLUE{0, 0, 255}, GREY{7, 7, 8};

// 3 x 2, 8-bit, four palette entries, bottom row first; each row padded to 4 bytes.
std::vector<uint8_t> small_8bit() {
    return packed(3, 2, 8, 4, {RED, GREEN, BLUE, GREY}, {3, 2, 1, 0xEE, 0, 1, 2, 0xEE});
}

std::string error_of(const std::vector<uint8_t>& bytes, bool file) {
    try {
        file ? panel::parse_bmp_file(bytes) : panel::parse_packed_dib(bytes);
    } catch (const DibError& error) {
        return error.what();
    }
    return "";
}

}  // namespace

TEST(DibReader, ReadsPaletteBitmapsBottomUpWithPadding) {
    const DibImage image = panel::parse_packed_dib(small_8bit());
    ASSERT_EQ(image.width, 3);
    ASSERT_EQ(image.height, 2);
    EXPECT_EQ(image.bits_per_pixel, 8);
    EXPECT_EQ(image.at(0, 0), RED);  // the second stored row is the top one
    EXPECT_EQ(image.at(2, 0), BLUE);
    EXPECT_EQ(image.at(0, 1), GREY);
    EXPECT_EQ(image.at(2, 1), GREEN);
}

TEST(DibReader, ReadsTopDownTrueColourAndFullPalettes) {
    // 24-bit, 2 x 2, negative height: first stored row is the top; 6 bytes padded to 8.
    const DibImage rgb =
        panel::parse_packed_dib(packed(2, -2, 24, 0, {}, {0, 0, 255, 0, 255, 0, 0, 0, /* */ 255, 0, 0, 8, 7, 7, 0, 0}));
    EXPECT_EQ(rgb.at(0, 0), RED);
    EXPECT_EQ(rgb.at(1, 0), GREEN);
    EXPECT_EQ(rgb.at(0, 1), BLUE);
    EXPECT_EQ(rgb.at(1, 1), GREY);

    // Colours-used 0 means the full 256-entry palette.
    std::vector<RgbPixel> palette(256);
    palette[255] = GREEN;
    const DibImage full = panel::parse_packed_dib(packed(1, 1, 8, 0, palette, {255, 0, 0, 0}));
    EXPECT_EQ(full.at(0, 0), GREEN);
}

TEST(DibReader, FilesFindTheirPixelsThroughTheHeaderOffset) {
    const DibImage image = panel::parse_bmp_file(as_file(small_8bit(), 16));
    EXPECT_EQ(image.at(2, 0), BLUE);

    // A gap between palette and pixels, as some writers leave.
    std::vector<uint8_t> dib = small_8bit();
    dib.insert(dib.begin() + 40 + 16, {0xAA, 0xBB, 0xCC, 0xDD});
    std::vector<uint8_t> file = as_file(dib, 16);
    set32(file, 10, 14 + 40 + 16 + 4);
    EXPECT_EQ(panel::parse_bmp_file(file).at(0, 1), GREY);
}

TEST(DibReader, RefusesMalformedHeadersWithAReason) {
    EXPECT_NE(error_of({}, false).find("truncated"), std::string::npos);
    EXPECT_NE(error_of({'B', 'M', 0}, true).find("truncated"), std::string::npos);
    std::vector<uint8_t> not_bm = as_file(small_8bit(), 16);
    not_bm[0] = 'X';
    EXPECT_NE(error_of(not_bm, true).find("BM"), std::string::npos);

    auto with = [](size_t at, uint32_t value, int size = 32) {
        std::vector<uint8_t> b = small_8bit();
        if (size == 16) {
            b[at] = static_cast<uint8_t>(value);
            b[at + 1] = static_cast<uint8_t>(value >> 8);
        } else {
            set32(b, at, value);
        }
        return b;
    };
    EXPECT_NE(error_of(with(0, 12), false).find("header size"), std::string::npos);
    EXPECT_NE(error_of(with(4, 0), false).find("width"), std::string::npos);
    EXPECT_NE(error_of(with(4, 0x80000000u), false).find("width"), std::string::npos);
    EXPECT_NE(error_of(with(4, 100000), false).find("width"), std::string::npos);
    EXPECT_NE(error_of(with(8, 0), false).find("height"), std::string::npos);
    EXPECT_NE(error_of(with(8, 0x80000000u), false).find("height"), std::string::npos);
    EXPECT_NE(error_of(with(12, 2, 16), false).find("plane"), std::string::npos);
    EXPECT_NE(error_of(with(14, 4, 16), false).find("bits per pixel"), std::string::npos);
    EXPECT_NE(error_of(with(14, 32, 16), false).find("bits per pixel"), std::string::npos);
    EXPECT_NE(error_of(with(16, 1), false).find("compressed"), std::string::npos);
    EXPECT_NE(error_of(with(32, 300), false).find("palette"), std::string::npos);
}

TEST(DibReader, RefusesPixelsThatAreMissingOrPointOutsideThePalette) {
    // Index 3 with only three palette entries.
    EXPECT_NE(error_of(packed(1, 1, 8, 3, {RED, GREEN, BLUE}, {3, 0, 0, 0}), false).find("palette index 3"),
              std::string::npos);
    std::vector<uint8_t> file = as_file(small_8bit(), 16);
    set32(file, 10, static_cast<uint32_t>(file.size() + 1));
    EXPECT_NE(error_of(file, true).find("offset"), std::string::npos);
    set32(file, 10, 20);  // inside the headers
    EXPECT_NE(error_of(file, true).find("offset"), std::string::npos);
}

TEST(DibReader, EveryTruncationIsRefusedNeverRead) {
    const std::vector<uint8_t> whole = as_file(small_8bit(), 16);
    for (size_t length = 0; length < whole.size(); ++length) {
        const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(length));
        EXPECT_THROW(panel::parse_bmp_file(cut), DibError) << "length " << length;
        if (length >= 14) {
            const std::vector<uint8_t> dib(cut.begin() + 14, cut.end());
            EXPECT_THROW(panel::parse_packed_dib(dib), DibError) << "packed length " << length;
        }
    }
}

// A file in the temp folder named after the running test and this process, so that parallel
// runs never share it, and removed when the test ends however it ends.
class ScratchFile {
public:
    explicit ScratchFile(const char* suffix) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                (std::string(test->test_suite_name()) + "." + test->name() + "." + std::to_string(::getpid()) + suffix);
    }
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

TEST(DibReader, FileErrorsNameTheFile) {
    const ScratchFile scratch(".bmp");
    const auto& path = scratch.path();
    {
        std::ofstream out(path, std::ios::binary);
        out << "BMnot really";
    }
    try {
        panel::read_bmp_file(path);
        FAIL() << "a broken file was read";
    } catch (const DibError& error) {
        EXPECT_NE(std::string(error.what()).find(path.string()), std::string::npos);
    }
    std::filesystem::remove(path);
    EXPECT_THROW(panel::read_bmp_file(path), DibError);
}

// A 24-bit resource may carry a colour table it does not need; its pixels start after it, so
// the table must never be read as the first pixels.
TEST(DibReader, SkipsTheColourTableOfATwentyFourBitPackedBitmap) {
    const std::vector<uint8_t> rows = {0, 0, 255, 0, 255, 0, 0, 0};  // red, green, padding
    const DibImage image = panel::parse_packed_dib(packed(2, 1, 24, 2, {BLUE, GREY}, rows));
    ASSERT_EQ(image.pixels.size(), 2u);
    EXPECT_EQ(image.at(0, 0), RED);
    EXPECT_EQ(image.at(1, 0), GREEN);
    EXPECT_NE(error_of(packed(2, 1, 24, 2, {BLUE}, rows), false).find("truncated"), std::string::npos);
}
