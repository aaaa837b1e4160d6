// The real modules drawn: their bitmaps found beside them, a frame run and drawn to a PNG, and
// what the picture shows.
#include <cairo.h>

#include <cstdlib>

#include "fonts.h"
#include "gauge_renderer.h"
#include "gauge_session.h"
#include "panel_renderer.h"
#include "render_error.h"
#include "render_support.h"

using namespace render_test;
using panel::render::DrawOptions;
using panel::render::GaugeRenderer;
using panel::render::PanelRenderer;

namespace {

constexpr uint32_t SUPPLY = 773, TICK = 1, SECONDS = 604, DISTANCE = 835;

std::string module(const char* name) {
    return std::string(PANEL_MODULE_DIR) + "/" + name + ".so";
}

// The pixel of a PNG file, 0xAARRGGBB.
uint32_t png_pixel(const std::filesystem::path& file, int x, int y) {
    cairo_surface_t* image = cairo_image_surface_create_from_png(file.c_str());
    EXPECT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS) << file;
    uint32_t pixel = 0;
    if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS) {
        const unsigned char* row = cairo_image_surface_get_data(image) + y * cairo_image_surface_get_stride(image);
        pixel = reinterpret_cast<const uint32_t*>(row)[x];
    }
    cairo_surface_destroy(image);
    return pixel;
}

class RealFaces : public ::testing::Test {
protected:
    panel::render::FontBook fonts;
    ScratchFolder scratch{"real_faces"};
};

TEST_F(RealFaces, TheGpsDrawnToAPngShowsItsBackgroundAndItsReadouts) {
    panel::GaugeSession gps(module("GPS_Corvane_PX40"));
    auto bitmaps = panel::bitmaps_for_module(module("GPS_Corvane_PX40"), gps.records().name);
    GaugeRenderer renderer(gps.records(), *bitmaps, fonts);
    ASSERT_EQ(renderer.width(), 485);
    ASSERT_EQ(renderer.height(), 154);
    const DibImage& background = *bitmaps->find(0x1000);

    // Switched off: the face as painted, the knob at OFF over it.
    gps.run_frame();
    PanelRenderer panel(renderer.width(), renderer.height());
    panel.add(renderer, {});
    panel.clear();
    panel.draw(0, gps.gauge().elements());
    const std::filesystem::path off = scratch.path() / "gps_off.png";
    panel::render::write_png(panel.surface(), off);
    for (auto [x, y] : {std::pair{3, 3}, {240, 120}, {470, 20}, {100, 50}})
        EXPECT_EQ(png_pixel(off, x, y), opaque(background.at(x, y))) << x << "," << y;

    // Running on page 1: red readout lettering in the distance box.
    gps.variables().set_number(SUPPLY, 1.0);
    gps.variables().set_number(TICK, 100.0);
    gps.variables().set_number(SECONDS, 1000.0);
    gps.variables().set_number(DISTANCE, 22224.0);
    gps.run_frame();
    gps.click(62, 121);  // the knob to ON
    gps.run_frame();
    gps.variables().set_number(TICK, 154.0);
    gps.run_frame();
    gps.click(376, 138);  // ENT: start-up confirmed
    gps.run_frame();
    ASSERT_STRNE(gps.text(18), "");
    panel.clear();
    panel.draw(0, gps.gauge().elements());
    const std::filesystem::path running = scratch.path() / "gps_page1.png";
    panel::render::write_png(panel.surface(), running);
    int red = 0;
    for (int y = 19; y < 19 + 26; ++y)
        for (int x = 95; x < 169; ++x) {
            const uint32_t p = png_pixel(running, x, y);
            red += (p >> 16 & 0xFF) > 150 && (p >> 8 & 0xFF) < 80;
        }
    EXPECT_GT(red, 40) << "distance " << gps.text(18);
}

TEST_F(RealFaces, TheDmeDrawsScaledOnAPanelAtNight) {
    panel::GaugeSession dme(module("VER2_Corvane_VX_RD22"));
    auto bitmaps = panel::bitmaps_for_module(module("VER2_Corvane_VX_RD22"), dme.records().name);
    GaugeRenderer renderer(dme.records(), *bitmaps, fonts);
    ASSERT_EQ(renderer.width(), 450);
    ASSERT_EQ(renderer.height(), 91);
    dme.run_frame();
    PanelRenderer panel(500, 200, 0x102030);
    panel.add(renderer, {.x = 10, .y = 20, .width = 225, .height = 46});
    panel.clear();
    panel.draw(0, dme.gauge().elements());
    EXPECT_EQ(cairo_image_surface_get_width(panel.surface()), 500);
    Target copy(500, 200);
    cairo_set_source_surface(copy.cr(), panel.surface(), 0, 0);
    cairo_paint(copy.cr());
    EXPECT_EQ(copy.at(5, 5), 0xFF102030u);      // the panel
    EXPECT_EQ(copy.at(400, 100), 0xFF102030u);  // beyond the half-size gauge
    EXPECT_NE(copy.at(100, 40), 0xFF102030u);   // the gauge
    const uint32_t by_day = copy.at(30, 30);

    panel.clear(DrawOptions{.night = true});
    panel.draw(0, dme.gauge().elements(), DrawOptions{.night = true});
    cairo_set_source_surface(copy.cr(), panel.surface(), 0, 0);
    cairo_paint(copy.cr());
    EXPECT_LT(copy.at(30, 30) >> 16 & 0xFF, by_day >> 16 & 0xFF);  // the unlit face darkened
    panel::render::write_png(panel.surface(), scratch.path() / "dme_night.png");
}

// A face in a made-up state: every element hidden but those listed, with their frame or text.
struct Shown {
    size_t element;
    double frame;
    const char* text;
};
std::vector<panel::ElementState> only(size_t count, std::initializer_list<Shown> shown) {
    std::vector<panel::ElementState> states(count, state(0.0, ELEMENT_FLAGS_AT_LOAD | ELEMENT_HIDDEN));
    states[0] = state();
    for (const Shown& s : shown) states.at(s.element - 1) = state(s.frame, ELEMENT_FLAGS_AT_LOAD | ELEMENT_LIT, s.text);
    return states;
}

// A part of a face the comparison leaves out.
struct Box {
    int x, y, width, height;
    bool holds(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

// Pixels of the face that differ from the artwork generator's preview (drawn twice the size),
// outside the boxes given.
int differences(const Target& face, const std::filesystem::path& preview, std::initializer_list<Box> left_out = {}) {
    cairo_surface_t* view = cairo_image_surface_create_from_png(preview.c_str());
    EXPECT_EQ(cairo_surface_status(view), CAIRO_STATUS_SUCCESS) << preview;
    EXPECT_EQ(cairo_image_surface_get_width(view), face.width() * 2) << preview;
    if (cairo_surface_status(view) != CAIRO_STATUS_SUCCESS || cairo_image_surface_get_width(view) != face.width() * 2)
        return -1;
    int count = 0;
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x) {
            if (std::any_of(left_out.begin(), left_out.end(), [&](const Box& box) { return box.holds(x, y); }))
                continue;
            const unsigned char* row =
                cairo_image_surface_get_data(view) + 2 * y * cairo_image_surface_get_stride(view);
            const uint32_t expected = reinterpret_cast<const uint32_t*>(row)[2 * x], drawn = face.at(x, y);
            for (int shift : {0, 8, 16})
                if (std::abs(int(expected >> shift & 0xFF) - int(drawn >> shift & 0xFF)) > 2) {
                    ++count;
                    break;
                }
        }
    cairo_surface_destroy(view);
    return count;
}

// How many steps between neighbours along a row inside `box` are steep, the red changing by more
// than 150 at once: a crisp edge of the readout lettering. Enlarging a picture spreads each edge
// over two pixels; drawing the text anew at the larger size keeps it crisp.
int steep_edges(const Target& drawn, Box box) {
    int steep = 0;
    for (int y = box.y; y < box.y + box.height; ++y)
        for (int x = box.x; x + 1 < box.x + box.width; ++x)
            steep += std::abs(int(drawn.at(x, y) >> 16 & 0xFF) - int(drawn.at(x + 1, y) >> 16 & 0xFF)) > 150;
    return steep;
}

// The generator's previews put the same pictures and stand-in texts where the records say:
// drawn from records and states, the faces come out the same, texts included.
TEST_F(RealFaces, FacesAgreeWithTheArtworkPreviews) {
    const std::string command = std::string("\"") + ARTWORK_GENERATOR + "\" --resources \"" +
                                (scratch.path() / "resources").string() + "\" --views \"" +
                                (scratch.path() / "views").string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::filesystem::path views = scratch.path() / "views";

    panel::GaugeSession gps(module("GPS_Corvane_PX40"));
    auto gps_bitmaps = panel::bitmaps_for_module(module("GPS_Corvane_PX40"), gps.records().name);
    GaugeRenderer gps_face(gps.records(), *gps_bitmaps, fonts);
    Target gps_target(gps_face.width(), gps_face.height());
    // clang-format off
    gps_face.draw(gps_target.cr(),
                  only(50, {{2, 0, ""}, {3, 1, ""}, {4, 3, ""}, {5, 0, ""}, {10, 1, ""}, {11, 0, "KSEA"}, {12, 0, ""},
                            {13, -6 / 5.1, ""}, {14, 0, ">"}, {18, 0, "12.3nm"}, {19, 0, "142kt"}, {20, 0, ""},
                            {21, 0, "1"}, {22, 0, "DTK 274\xB0"}, {23, 0, "TK 271\xB0"}, {24, 0, ">275\xB0To"},
                            {26, 0, " 0:"}, {27, 0, "05"}}));
    // The previews sketch '>' in the segment face; the host draws a chevron a pilot reads,
    // whose own width moves the rest of the bearing's text: those two texts are left out.
    EXPECT_EQ(differences(gps_target, views / "GPS_page_1.png", {{183, 38, 13, 26}, {183, 73, 110, 26}}), 0);
    gps_face.draw(gps_target.cr(),
                  only(50, {{2, 0, ""}, {3, 1, ""}, {4, 3, ""}, {5, 0, ""}, {18, 0, "12.3nm"}, {19, 0, "142kt"},
                            {20, 0, ""}, {21, 0, "2"}, {28, 1, ""}, {29, 0, "47\xB0"}, {30, 0, "27.15'"},
                            {31, 0, "122\xB0"}, {32, 0, "18.42'"}}));
    // clang-format on
    EXPECT_EQ(differences(gps_target, views / "GPS_page_2.png"), 0);

    // At a density of 2 the texts are laid out anew at that size and stay crisp, where the
    // picture of scale 1 enlarged blurs them.
    GaugeRenderer gps_sharp(gps.records(), *gps_bitmaps, fonts, 2.0);
    ASSERT_EQ(gps_sharp.width(), 2 * gps_face.width());
    ASSERT_EQ(gps_sharp.height(), 2 * gps_face.height());
    Target sharp(gps_sharp.width(), gps_sharp.height()), enlarged(gps_sharp.width(), gps_sharp.height());
    gps_sharp.draw(sharp.cr(), only(50, {{2, 0, ""},
                                         {3, 1, ""},
                                         {4, 3, ""},
                                         {5, 0, ""},
                                         {18, 0, "12.3nm"},
                                         {19, 0, "142kt"},
                                         {20, 0, ""},
                                         {21, 0, "2"},
                                         {28, 1, ""},
                                         {29, 0, "47\xB0"},
                                         {30, 0, "27.15'"},
                                         {31, 0, "122\xB0"},
                                         {32, 0, "18.42'"}}));
    cairo_scale(enlarged.cr(), 2, 2);
    cairo_set_source_surface(enlarged.cr(), gps_target.surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(enlarged.cr()), CAIRO_FILTER_GOOD);
    cairo_paint(enlarged.cr());
    const Box readouts{2 * 95, 2 * 19, 2 * 230, 2 * 80};  // distance, speed, latitude, longitude
    const int sharp_edges = steep_edges(sharp, readouts), enlarged_edges = steep_edges(enlarged, readouts);
    EXPECT_GT(sharp_edges, 300);
    EXPECT_GT(sharp_edges, 4 * enlarged_edges) << "enlarged: " << enlarged_edges;

    panel::GaugeSession dme(module("VER2_Corvane_VX_RD22"));
    auto dme_bitmaps = panel::bitmaps_for_module(module("VER2_Corvane_VX_RD22"), dme.records().name);
    GaugeRenderer dme_face(dme.records(), *dme_bitmaps, fonts);
    Target dme_target(dme_face.width(), dme_face.height());
    // clang-format off
    dme_face.draw(dme_target.cr(), only(17, {{2, 0, ""}, {3, 1, ""}, {4, 1, ""}, {5, 0, ""}, {6, 1, ""}, {7, 1, ""},
                                             {8, 0, "12.3"}, {9, 0, "141"}, {10, 0, "  5"}, {16, 1, ""}, {17, 0, ""}}));
    EXPECT_EQ(differences(dme_target, views / "VER_RMT.png"), 0);
    dme_face.draw(dme_target.cr(), only(17, {{2, 1, ""}, {3, 1, ""}, {4, 1, ""}, {5, 1, ""}, {6, 0, ""}, {7, 0, ""},
                                             {8, 0, "12.3"}, {11, 0, "113.45"}, {16, 0, ""}, {17, 1, ""}}));
    // clang-format on
    EXPECT_EQ(differences(dme_target, views / "VER_FREQ__knob_pulled.png"), 0);
}

TEST_F(RealFaces, AnUnwritablePngIsAnErrorNamingTheFile) {
    PanelRenderer panel(10, 10);
    panel.clear();
    const std::filesystem::path nowhere = scratch.path() / "absent" / "panel.png";
    try {
        panel::render::write_png(panel.surface(), nowhere);
        FAIL() << "wrote into a folder that does not exist";
    } catch (const panel::render::RenderError& error) {
        EXPECT_NE(std::string(error.what()).find(nowhere.string()), std::string::npos) << error.what();
    }
}

}  // namespace
