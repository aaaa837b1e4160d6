// The committed bitmaps against the rules the host and the modules rely on: sizes and depths,
// pure black only where a picture is meant to be transparent, the lamp and label colours,
// and controls drawn where their mouse areas are.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "dib_reader.h"

using panel::DibImage;
using panel::RgbPixel;
namespace fs = std::filesystem;

namespace {

const RgbPixel BLACK{0, 0, 0};
const RgbPixel LAMP_GREEN{0, 185, 0};
const RgbPixel LABEL_LETTER{255, 71, 7};
const RgbPixel LABEL_BOX{50, 13, 0};

struct Expected {
    const char* module;
    int id, width, height, bits;
};

const Expected BITMAPS[] = {
    {"gps", 4096, 485, 154, 8}, {"gps", 6144, 485, 154, 8}, {"gps", 4352, 320, 77, 24}, {"gps", 4353, 320, 77, 8},
    {"gps", 4354, 320, 77, 8},  {"gps", 4355, 320, 78, 8},  {"gps", 5888, 319, 77, 8},  {"gps", 5889, 319, 77, 8},
    {"gps", 5890, 319, 77, 8},  {"gps", 5891, 319, 77, 8},  {"gps", 5120, 52, 52, 8},   {"gps", 5121, 52, 52, 8},
    {"gps", 5376, 30, 20, 8},   {"gps", 5377, 30, 20, 8},   {"gps", 4608, 145, 18, 8},  {"gps", 4864, 145, 18, 8},
    {"gps", 5632, 5, 15, 8},    {"gps", 6400, 109, 70, 8},  {"gps", 6401, 109, 70, 8},  {"gps", 8192, 85, 43, 8},
    {"gps", 8193, 85, 43, 8},   {"gps", 8448, 115, 70, 8},  {"gps", 8449, 115, 70, 8},  {"gps", 8450, 115, 70, 8},
    {"gps", 8451, 115, 70, 8},  {"dme", 9472, 450, 91, 8},  {"dme", 4352, 45, 16, 8},   {"dme", 4353, 45, 16, 8},
    {"dme", 4354, 45, 16, 8},   {"dme", 4608, 37, 18, 8},   {"dme", 4609, 37, 18, 8},   {"dme", 4864, 17, 10, 8},
    {"dme", 4865, 17, 10, 8},   {"dme", 5120, 25, 10, 8},   {"dme", 5121, 25, 10, 24},  {"dme", 5376, 17, 11, 8},
    {"dme", 5377, 17, 11, 24},  {"dme", 5632, 21, 10, 8},   {"dme", 5633, 21, 10, 24},  {"dme", 6144, 33, 4, 8},
    {"dme", 6145, 33, 4, 8},    {"dme", 6400, 25, 4, 8},    {"dme", 6401, 25, 4, 8},    {"dme", 8192, 17, 4, 8},
    {"dme", 8193, 17, 4, 8},    {"dme", 8704, 12, 12, 8},   {"dme", 8705, 12, 12, 8},   {"dme", 9216, 46, 48, 8},
    {"dme", 9217, 46, 48, 8},
};

fs::path resources() {
    return fs::path(SOURCE_ROOT) / "resources";
}

const DibImage& load(const std::string& module, int id) {
    static std::map<std::string, DibImage> cache;
    const std::string key = module + "/" + std::to_string(id);
    auto found = cache.find(key);
    if (found == cache.end())
        found = cache.emplace(key, panel::read_bmp_file(resources() / module / (std::to_string(id) + ".bmp"))).first;
    return found->second;
}

const DibImage& gps(int id) {
    return load("gps", id);
}
const DibImage& dme(int id) {
    return load("dme", id);
}

size_t count_of(const DibImage& image, RgbPixel colour, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) {
    if (x1 < 0) x1 = image.width;
    if (y1 < 0) y1 = image.height;
    size_t n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += image.at(x, y) == colour;
    return n;
}

size_t black_in_disc(const DibImage& image, double cx, double cy, double r) {
    size_t n = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            n += dx * dx + dy * dy <= r * r && image.at(x, y) == BLACK;
        }
    return n;
}

int luminance(RgbPixel p) {
    return (p.r * 3 + p.g * 6 + p.b) / 10;
}

// Mean x and y of the pixels brighter than `threshold` inside a rectangle.
std::pair<double, double> bright_centre(const DibImage& image, int threshold, int x0, int y0, int x1, int y1) {
    double sx = 0, sy = 0, n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (luminance(image.at(x, y)) > threshold) sx += x, sy += y, n += 1;
    return n == 0 ? std::pair{-1.0, -1.0} : std::pair{sx / n, sy / n};
}

std::string read_text(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(ArtworkFiles, EveryBitmapHasItsSizeAndDepthAndNothingElseIsThere) {
    std::map<std::string, std::set<std::string>> expected_names;
    for (const Expected& e : BITMAPS) {
        SCOPED_TRACE(std::string(e.module) + " " + std::to_string(e.id));
        const DibImage& image = load(e.module, e.id);
        EXPECT_EQ(image.width, e.width);
        EXPECT_EQ(image.height, e.height);
        EXPECT_EQ(image.bits_per_pixel, e.bits);
        expected_names[e.module].insert(std::to_string(e.id) + ".bmp");
    }
    for (const auto& [module, names] : expected_names) {
        std::set<std::string> found;
        for (const auto& entry : fs::directory_iterator(resources() / module))
            if (entry.path().extension() == ".bmp") found.insert(entry.path().filename().string());
        EXPECT_EQ(found, names) << module;
    }
}

TEST(ArtworkFiles, ResourceScriptsListEveryBitmapInUsEnglish) {
    for (const char* module : {"gps", "dme"}) {
        SCOPED_TRACE(module);
        const std::string rc = read_text(resources() / module / (std::string(module) + "_resources.rc"));
        const size_t language = rc.find("LANGUAGE 9, 1");
        ASSERT_NE(language, std::string::npos);
        std::set<int> listed;
        const std::regex line(R"((\d+) BITMAP "(\d+)\.bmp")");
        for (std::sregex_iterator it(rc.begin(), rc.end(), line), end; it != end; ++it) {
            EXPECT_GT(static_cast<size_t>(it->position()), language);
            EXPECT_EQ((*it)[1], (*it)[2]);
            listed.insert(std::stoi((*it)[1]));
        }
        std::set<int> expected;
        for (const Expected& e : BITMAPS)
            if (std::string(e.module) == module) expected.insert(e.id);
        EXPECT_EQ(listed, expected);
    }
}

TEST(ArtworkFiles, BackgroundsAreOpaqueAndBlankFramesTransparent) {
    EXPECT_EQ(count_of(gps(4096), BLACK), 0u);
    EXPECT_EQ(count_of(dme(9472), BLACK), 0u);
    for (int id : {4352, 4355, 5121}) {
        const DibImage& image = gps(id);
        EXPECT_EQ(count_of(image, BLACK), image.pixels.size()) << "gps " << id;
    }
    for (int id : {4864, 5120, 5376, 5632, 6144, 6400, 8192, 8704, 9216}) {
        const DibImage& image = dme(id);
        EXPECT_EQ(count_of(image, BLACK), image.pixels.size()) << "dme " << id;
    }
}

TEST(ArtworkFiles, DisplayWindowsStayDarkWhereReadoutsAreDrawn) {
    // Readouts are drawn in red over the windows: nothing on the glass may compete with them.
    auto dark = [](const DibImage& image, int x0, int y0, int x1, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const RgbPixel p = image.at(x, y);
                if (std::max({p.r, p.g, p.b}) > 12) return false;
            }
        return true;
    };
    EXPECT_TRUE(dark(gps(4096), 77, 21, 397, 99));
    EXPECT_TRUE(dark(dme(9472), 30, 7, 250, 48));
}

TEST(ArtworkFiles, GpsLitFaceLightsOnlyLabelsButtonsAndTheLamp) {
    const DibImage& lit = gps(6144);
    EXPECT_GT(count_of(lit, LAMP_GREEN, 54, 22, 68, 38), 40u);
    EXPECT_EQ(count_of(lit, LAMP_GREEN), count_of(lit, LAMP_GREEN, 54, 22, 68, 38));
    // Nothing over the display window, the knobs or the face's edges.
    EXPECT_EQ(count_of(lit, BLACK, 77, 21, 397, 99), 320u * 78);
    EXPECT_EQ(count_of(lit, BLACK, 36, 103, 71, 140), 35u * 37);
    EXPECT_EQ(count_of(lit, BLACK, 401, 72, 481, 133), 80u * 61);
    EXPECT_EQ(count_of(lit, BLACK, 0, 0, 485, 2), 485u * 2);
    // Lit legends on every button, bright against the black around them.
    for (auto [x, y, w, h] :
         {std::array{183, 129, 30, 19}, {272, 129, 30, 18}, {424, 34, 31, 17}, {362, 130, 29, 16}, {93, 129, 30, 18}}) {
        EXPECT_NE(bright_centre(lit, 200, x, y, x + w, y + h).first, -1.0) << x << "," << y;
    }
}

TEST(ArtworkFiles, GpsButtonsAndKnobsSitOnTheirMouseAreas) {
    const DibImage& face = gps(4096);
    // Each button legend is centred on its area (within 4 pixels).
    for (auto [x, y, w, h] :
         {std::array{272, 129, 30, 18}, {424, 34, 31, 17}, {362, 130, 29, 16}, {183, 129, 30, 19}}) {
        const auto [cx, cy] = bright_centre(face, 150, x, y, x + w, y + h);
        EXPECT_NEAR(cx, x + w / 2.0, 4.0) << x << "," << y;
        EXPECT_NEAR(cy, y + h / 2.0, 4.0) << x << "," << y;
    }
    // The OFF picture is an opaque knob over the middle of its two areas (36..71, 103..140);
    // its pointer leans to the OFF side, the face's own to the ON side.
    const DibImage& off = gps(5120);
    EXPECT_EQ(black_in_disc(off, 53.5 - 25, 121.5 - 101, 16), 0u);
    EXPECT_EQ(off.at(0, 0), BLACK);
    EXPECT_EQ(off.at(51, 51), BLACK);
    const double off_pointer = bright_centre(off, 200, 36 - 25, 103 - 101, 71 - 25, 140 - 101).first + 25;
    const double on_pointer = bright_centre(face, 200, 36, 103, 71, 140).first;
    EXPECT_LT(off_pointer, 53);
    EXPECT_GT(on_pointer, 53);
    // The big knob fills its four areas.
    EXPECT_GT(luminance(face.at(441, 103)), 40);
    EXPECT_NE(face.at(410, 103), face.at(300, 10));
}

TEST(ArtworkFiles, GpsScreenPicturesAreRedOnTransparentBlack) {
    for (int id : {4353, 4354, 5888, 5889, 5890, 5891, 5376, 5377, 4608, 4864, 5632, 6400, 6401, 8192, 8193, 8448, 8449,
                   8450, 8451}) {
        const DibImage& image = gps(id);
        size_t drawn = 0;
        for (const RgbPixel& p : image.pixels) {
            if (p == BLACK) continue;
            ++drawn;
            ASSERT_TRUE(p.r >= p.g && p.r >= p.b) << "gps " << id;
        }
        EXPECT_GT(drawn, 0u) << "gps " << id;
        EXPECT_EQ(image.at(0, image.height - 1), BLACK) << "gps " << id;
    }
    // The page separator: picture column 92, face rows 25 to 91.
    for (int id : {5888, 5889, 5890, 5891})
        for (int y = 25 - 21; y <= 91 - 21; ++y) EXPECT_NE(gps(id).at(92, y), BLACK) << id;
    // The needle is a bar with black either side; frames that differ do differ.
    for (int y = 0; y < 15; ++y) {
        EXPECT_EQ(gps(5632).at(0, y), BLACK);
        EXPECT_EQ(gps(5632).at(4, y), BLACK);
        EXPECT_NE(gps(5632).at(2, y), BLACK);
    }
    // clang-format off
    for (auto [a, b] : {std::pair{5376, 5377}, {4608, 4864}, {6400, 6401}, {8192, 8193},
                        {8448, 8449}, {8448, 8450}, {8449, 8451}, {5888, 5889}})
        // clang-format on
        EXPECT_NE(gps(a).pixels, gps(b).pixels) << a << " " << b;
}

TEST(ArtworkFiles, DmeLitLabelsAreOrangeRedOnRedBrown) {
    for (int id : {4865, 5121, 5377, 5633}) {
        const DibImage& label = dme(id);
        const size_t letters = count_of(label, LABEL_LETTER), box = count_of(label, LABEL_BOX);
        EXPECT_GT(letters, 10u) << id;
        EXPECT_GT(box, letters) << id;
        EXPECT_EQ(letters + box, label.pixels.size()) << id;  // opaque, two colours
    }
}

TEST(ArtworkFiles, DmeDashesAndLampLightOnlyThemselves) {
    for (auto [id, dashes] : {std::pair{6145, 4}, {6401, 3}, {8193, 2}}) {
        const DibImage& image = dme(id);
        int runs = 0;
        bool in_run = false;
        for (int x = 0; x < image.width; ++x) {
            const bool lit = image.at(x, 1) != BLACK;
            runs += lit && !in_run;
            in_run = lit;
        }
        EXPECT_EQ(runs, dashes) << id;
        EXPECT_EQ(count_of(image, BLACK) + count_of(image, LABEL_LETTER), image.pixels.size()) << id;
        EXPECT_EQ(image.at(0, 0), BLACK) << id;
        EXPECT_EQ(image.at(image.width - 1, 3), BLACK) << id;
    }
    const DibImage& lamp = dme(8705);
    EXPECT_GT(count_of(lamp, LAMP_GREEN), 30u);
}

TEST(ArtworkFiles, DmeControlsCoverTheFaceAndStandOnTheirAreas) {
    // Selector and switch frames are whole pictures: nothing of the face shows through.
    for (int id : {4352, 4353, 4354, 4608, 4609}) EXPECT_EQ(count_of(dme(id), BLACK), 0u) << id;
    // The slider cap, the brightest part, stands over the area of its position.
    const int selector_areas[3][2] = {{286, 301}, {301, 316}, {317, 333}};
    for (int mode = 0; mode < 3; ++mode) {
        const double x = bright_centre(dme(4352 + mode), 110, 0, 0, 45, 16).first + 289;
        EXPECT_GT(x, selector_areas[mode][0]) << mode;
        EXPECT_LT(x, selector_areas[mode][1]) << mode;
    }
    const int switch_areas[2][2] = {{288, 307}, {308, 325}};
    for (int on = 0; on < 2; ++on) {
        const double x = bright_centre(dme(4608 + on), 110, 0, 0, 37, 18).first + 287;
        EXPECT_GT(x, switch_areas[on][0]) << on;
        EXPECT_LT(x, switch_areas[on][1]) << on;
    }
    // The pulled knob is opaque over the inner ring (387..422, 30..60), transparent at its corners.
    const DibImage& knob = dme(9217);
    EXPECT_EQ(black_in_disc(knob, 404.5 - 381, 45 - 20, 18), 0u);
    EXPECT_EQ(knob.at(0, 0), BLACK);
    EXPECT_EQ(knob.at(45, 0), BLACK);
    EXPECT_EQ(knob.at(0, 47), BLACK);
}
