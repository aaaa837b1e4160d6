// The drawing rules on hand-made records and bitmaps: what is drawn where, what is left out,
// what shows through, how text stands in its box, and night lighting.
#include <cmath>
#include <limits>

#include "fonts.h"
#include "gauge_renderer.h"
#include "render_error.h"
#include "render_support.h"

using namespace render_test;
using panel::ElementState;
using panel::GaugeRecords;
using panel::render::DrawOptions;
using panel::render::GaugeRenderer;
using panel::render::RenderError;

namespace {

constexpr uint32_t BACKGROUND_ID = 0x1000, ICON_ID = 0x1100, SLIDER_ID = 0x1200;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr uint32_t LIT = ELEMENT_FLAGS_AT_LOAD | ELEMENT_LIT, HIDDEN = ELEMENT_FLAGS_AT_LOAD | ELEMENT_HIDDEN;

panel::render::FontBook& fonts() {
    static panel::render::FontBook book;
    return book;
}

// A 40 x 30 grey face, and whatever the test puts on it.
class RendererTest : public ::testing::Test {
protected:
    RendererTest() {
        records.module = "test.gau";
        records.elements.push_back(picture(ELEMENT_STATIC_IMAGE, BACKGROUND_ID, 0, 0));
        bitmaps.add(BACKGROUND_ID, solid(40, 30, GREY));
    }

    // Draws with one state per element: the background's, then `rest`.
    void draw(std::vector<ElementState> rest, DrawOptions options = {}) {
        if (!renderer) renderer = std::make_unique<GaugeRenderer>(records, bitmaps, fonts());
        rest.insert(rest.begin(), state());
        target.clear();
        renderer->draw(target.cr(), rest, options);
    }
    // Pixels of the face that differ from the grey background.
    int changed_pixels() const {
        int count = 0;
        for (int y = 0; y < target.height(); ++y)
            for (int x = 0; x < target.width(); ++x) count += target.at(x, y) != opaque(GREY);
        return count;
    }

    GaugeRecords records;
    MemoryBitmaps bitmaps;
    std::unique_ptr<GaugeRenderer> renderer;
    Target target{40, 30};
};

TEST_F(RendererTest, FaceTakesTheBackgroundsSizeAndPixels) {
    draw({});
    GaugeRenderer& r = *renderer;
    EXPECT_EQ(r.width(), 40);
    EXPECT_EQ(r.height(), 30);
    EXPECT_EQ(changed_pixels(), 0);
}

TEST_F(RendererTest, PureBlackIsTransparentAndNearBlackIsNot) {
    DibImage overlay = solid(4, 2, BLACK);
    overlay.pixels[1] = GREEN;
    overlay.pixels[2] = RgbPixel{1, 0, 0};
    bitmaps.add(ICON_ID, overlay);
    records.elements.push_back(picture(ELEMENT_ICON, ICON_ID, 10, 5, 1));
    draw({state(0.0)});
    EXPECT_EQ(target.at(10, 5), opaque(GREY));
    EXPECT_EQ(target.at(11, 5), opaque(GREEN));
    EXPECT_EQ(target.at(12, 5), opaque(RgbPixel{1, 0, 0}));
    EXPECT_EQ(target.at(13, 6), opaque(GREY));
    EXPECT_EQ(changed_pixels(), 2);
}

TEST_F(RendererTest, BackgroundBlackShowsWhatIsBelow) {
    DibImage background = solid(40, 30, GREY);
    background.pixels[0] = BLACK;
    bitmaps.add(BACKGROUND_ID, background);
    draw({});
    EXPECT_EQ(target.at(0, 0), 0u);  // the target's own transparent start
}

TEST_F(RendererTest, HiddenElementsAreLeftOut) {
    bitmaps.add(ICON_ID, solid(2, 2, GREEN));
    records.elements.push_back(picture(ELEMENT_ICON, ICON_ID, 1, 1, 1));
    records.elements.push_back(picture(ELEMENT_STATIC_IMAGE, ICON_ID, 5, 5));
    records.elements.push_back(text_box(10, 0, 30, 26, 0xFFFFFF));
    draw({state(0.0, HIDDEN), state(0.0, HIDDEN), state(0.0, HIDDEN, "888")});
    EXPECT_EQ(changed_pixels(), 0);
    draw({state(0.0), state(0.0), state(0.0, ELEMENT_FLAGS_AT_LOAD, "888")});
    EXPECT_EQ(target.at(1, 1), opaque(GREEN));
    EXPECT_EQ(target.at(5, 5), opaque(GREEN));
    EXPECT_GT(changed_pixels(), 8);
}

TEST_F(RendererTest, IconDrawsTheFrameItsResultNamesAndNothingForAnyOtherResult) {
    bitmaps.add(ICON_ID, solid(2, 2, RED)).add(ICON_ID + 1, solid(2, 2, GREEN)).add(ICON_ID + 2, solid(2, 2, BLUE));
    records.elements.push_back(picture(ELEMENT_ICON, ICON_ID, 3, 3, 3));
    const std::pair<double, uint32_t> drawn[] = {{0.0, opaque(RED)}, {1.0, opaque(GREEN)}, {2.0, opaque(BLUE)}};
    for (const auto& [value, colour] : drawn) {
        draw({state(value)});
        EXPECT_EQ(target.at(3, 3), colour) << value;
    }
    for (double value : {3.0, -1.0, 0.5, 1.0000001, NaN, std::numeric_limits<double>::infinity(), 1e300, -1e-300}) {
        draw({state(value)});
        EXPECT_EQ(changed_pixels(), 0) << value;
    }
}

TEST_F(RendererTest, AMissingFrameAboveTheFirstIsToleratedAndDrawsNothing) {
    bitmaps.add(ICON_ID, solid(2, 2, RED));
    records.elements.push_back(picture(ELEMENT_ICON, ICON_ID, 3, 3, 2));
    draw({state(1.0)});
    EXPECT_EQ(changed_pixels(), 0);
    draw({state(0.0)});
    EXPECT_EQ(target.at(3, 3), opaque(RED));
}

TEST_F(RendererTest, MissingPicturesAreNamedByModuleElementAndId) {
    records.elements.push_back(picture(ELEMENT_ICON, ICON_ID, 3, 3, 2));
    try {
        GaugeRenderer r(records, bitmaps, fonts());
        FAIL() << "a missing first frame was accepted";
    } catch (const RenderError& error) {
        EXPECT_STREQ(error.what(), "test.gau: element 2: bitmap 0x1100 is missing");
    }
    MemoryBitmaps none;
    try {
        GaugeRenderer r(records, none, fonts());
        FAIL() << "a missing background was accepted";
    } catch (const RenderError& error) {
        EXPECT_STREQ(error.what(), "test.gau: element 1: bitmap 0x1000 is missing");
    }
}

TEST_F(RendererTest, RecordsItCannotDrawAreRefusedAtConstruction) {
    records.elements.push_back(picture(7, ICON_ID, 0, 0));
    EXPECT_THROW(GaugeRenderer(records, bitmaps, fonts()), RenderError);
    records.elements.back() = picture(ELEMENT_ICON, BACKGROUND_ID, 0, 0, 0xFFFFFFFF);
    EXPECT_THROW(GaugeRenderer(records, bitmaps, fonts()), RenderError);
    records.elements = {text_box(0, 0, 10, 10, 0)};
    EXPECT_THROW(GaugeRenderer(records, bitmaps, fonts()), RenderError);  // no picture to size the face
    records.elements.clear();
    EXPECT_THROW(GaugeRenderer(records, bitmaps, fonts()), RenderError);
}

TEST_F(RendererTest, ElementsAtTheEndsOfTheCoordinateRangeDrawNothing) {
    DibImage inset = solid(4, 4, BLACK);
    inset.pixels[5] = GREEN;  // a trimmed picture stands one pixel in
    bitmaps.add(ICON_ID, inset).add(SLIDER_ID, inset);
    records.elements.push_back(picture(ELEMENT_ICON, ICON_ID, INT32_MAX, INT32_MIN, 1));
    panel::ElementRecord slider = picture(ELEMENT_SLIDER, SLIDER_ID, INT32_MAX, INT32_MAX);
    slider.x_scale = 1.0;
    records.elements.push_back(slider);
    records.elements.push_back(text_box(INT32_MAX, INT32_MIN, INT32_MAX, INT32_MAX, 0xFFFFFF));
    draw({state(0.0), state(40.0), state(0.0, LIT, "888")});
    EXPECT_EQ(changed_pixels(), 0);
}

TEST_F(RendererTest, StatesMustMatchTheElements) {
    draw({});
    EXPECT_THROW(renderer->draw(target.cr(), {}, {}), RenderError);
    EXPECT_THROW(renderer->draw(target.cr(), {state(), state()}, {}), RenderError);
}

TEST_F(RendererTest, SliderMovesByResultTimesScaleAndRestsOnWhatIsNotANumber) {
    bitmaps.add(SLIDER_ID, solid(1, 1, GREEN));
    panel::ElementRecord slider = picture(ELEMENT_SLIDER, SLIDER_ID, 10, 10);
    slider.x_scale = 5.1;
    slider.y_scale = 0.0;
    records.elements.push_back(slider);
    auto slider_at = [](double x, double y) {
        ElementState s = state(x);
        s.y_value = y;
        return s;
    };
    draw({slider_at(2.0, 7.0)});
    EXPECT_EQ(target.at(20, 10), opaque(GREEN));  // 10 + 2 x 5.1, rounded
    draw({slider_at(-1.0, 0.0)});
    EXPECT_EQ(target.at(5, 10), opaque(GREEN));
    for (double wild : {NaN, std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()}) {
        draw({slider_at(wild, wild)});
        EXPECT_EQ(target.at(10, 10), opaque(GREEN)) << wild;
        EXPECT_EQ(changed_pixels(), 1) << wild;
    }
    // A finite but huge offset is kept within reach of the face: drawn off it, harmlessly.
    draw({slider_at(1e300, 0.0)});
    EXPECT_EQ(changed_pixels(), 0);
    draw({slider_at(-1e300, 0.0)});
    EXPECT_EQ(changed_pixels(), 0);
}

// Bounds of the pixels that differ from grey.
struct Ink {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
};
Ink ink_of(const Target& target, uint32_t background) {
    Ink ink;
    for (int y = 0; y < target.height(); ++y)
        for (int x = 0; x < target.width(); ++x)
            if (target.at(x, y) != background) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

class TextTest : public RendererTest {
protected:
    TextTest() { target_wide_ = std::make_unique<Target>(200, 60); }
    void wide_background() { bitmaps.add(BACKGROUND_ID, solid(200, 60, GREY)); }
    void draw_wide(std::vector<ElementState> rest, DrawOptions options = {}) {
        if (!renderer) renderer = std::make_unique<GaugeRenderer>(records, bitmaps, fonts());
        rest.insert(rest.begin(), state());
        target_wide_->clear();
        renderer->draw(target_wide_->cr(), rest, options);
    }
    const Target& wide() const { return *target_wide_; }
    std::unique_ptr<Target> target_wide_;
};

TEST_F(TextTest, CapitalsStandElevenPixelsTallOnTheBaselineSixteenBelowTheElement) {
    wide_background();
    records.elements.push_back(text_box(20, 10, 100, 26, 0x002B28DF));
    draw_wide({state(0.0, LIT, "HH")});
    const Ink ink = ink_of(wide(), opaque(GREY));
    EXPECT_NEAR(ink.bottom, 10 + 16 - 1, 1);  // the segments stop just short of the baseline
    EXPECT_NEAR(ink.bottom - ink.top + 1, 11, 1);
    EXPECT_NEAR(ink.left, 20, 2);
}

TEST_F(TextTest, TextIsDrawnInItsColourref) {
    wide_background();
    records.elements.push_back(text_box(20, 10, 100, 26, 0x002B28DF));  // 0x00BBGGRR
    draw_wide({state(0.0, LIT, "888")});
    int solid_pixels = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x) {
            const uint32_t p = wide().at(x, y);
            if (p == opaque(GREY)) continue;
            solid_pixels += p == opaque(RgbPixel{223, 40, 43});
            // Antialiased edges lie between grey and the colour, never elsewhere.
            const int r = p >> 16 & 0xFF, b = p & 0xFF;
            EXPECT_GE(r, 90) << x << "," << y;
            EXPECT_LE(b, 90) << x << "," << y;
        }
    EXPECT_GT(solid_pixels, 20);
}

TEST_F(TextTest, TextIsClippedToItsBox) {
    wide_background();
    records.elements.push_back(text_box(20, 10, 30, 12, 0xFFFFFF));
    draw_wide({state(0.0, LIT, "8888888888888888")});
    const Ink ink = ink_of(wide(), opaque(GREY));
    EXPECT_GE(ink.left, 20);
    // The text runs on; the box stops it (its last column may fall between two letters).
    EXPECT_LE(ink.right, 20 + 30 - 1);
    EXPECT_GE(ink.right, 20 + 30 - 4);
    EXPECT_GE(ink.top, 10);
    EXPECT_EQ(ink.bottom, 10 + 12 - 1);
}

TEST_F(TextTest, NoPixelOutsideTheBoxChangesWhateverTheTextHolds) {
    wide_background();
    // A box smaller than the capitals, in every face, for texts as long as the buffer takes,
    // with glyphs that reach above, below and before their origin.
    for (const char* font : {"Glass", "Quartz", "Courier New"}) {
        records.elements = {records.elements.front(), text_box(60, 20, 40, 8, 0xFFFFFF, font)};
        renderer.reset();
        for (const std::string& text : {std::string(GAUGE_TEXT_CAPACITY - 1, 'W'),
                                        std::string("jgÅ\x80\xC9|_^{}") + std::string(GAUGE_TEXT_CAPACITY - 12, '@')}) {
            for (const bool night : {false, true}) {
                draw_wide({state(0.0, ELEMENT_FLAGS_AT_LOAD, text.c_str())}, DrawOptions{.night = night});
                int inside = 0;
                for (int y = 0; y < wide().height(); ++y)
                    for (int x = 0; x < wide().width(); ++x) {
                        const bool in_box = x >= 60 && x < 100 && y >= 20 && y < 28;
                        const uint32_t expected = opaque(night ? RgbPixel{27, 27, 27} : GREY);
                        if (in_box) inside += wide().at(x, y) != expected;
                        else ASSERT_EQ(wide().at(x, y), expected) << font << " " << x << "," << y;
                    }
                EXPECT_GT(inside, 0) << font << ": the text is drawn inside its box";
            }
        }
    }
}

TEST_F(TextTest, ANewTextIsDrawnAndAnEmptyOneDrawsNothing) {
    wide_background();
    records.elements.push_back(text_box(20, 10, 100, 26, 0xFFFFFF));
    draw_wide({state(0.0, LIT, "1")});
    const Ink one = ink_of(wide(), opaque(GREY));
    draw_wide({state(0.0, LIT, "1111")});
    const Ink four = ink_of(wide(), opaque(GREY));
    EXPECT_GT(four.right, one.right + 10);
    draw_wide({state(0.0, LIT, "")});
    EXPECT_EQ(ink_of(wide(), opaque(GREY)).right, -1);
    draw_wide({state(0.0, LIT, "1")});
    EXPECT_EQ(ink_of(wide(), opaque(GREY)).right, one.right);
}

TEST_F(TextTest, AGlyphTheFaceLacksIsDrawnNotBoxed) {
    // The seven-segment face has no '>'; the fallback's chevron has ink in its middle rows
    // only, where a missing-glyph box would fill its whole outline.
    wide_background();
    records.elements.push_back(text_box(20, 10, 100, 36, 0xFFFFFF, "Quartz"));
    draw_wide({state(0.0, LIT, ">")});
    const Ink ink = ink_of(wide(), opaque(GREY));
    ASSERT_GE(ink.right, ink.left);
    EXPECT_EQ(wide().at(ink.right, ink.top), opaque(GREY)) << "the top right corner of a box is inked";
    EXPECT_EQ(wide().at(ink.right, ink.bottom), opaque(GREY));
}

TEST_F(RendererTest, NightDarkensUnlitElementsOnly) {
    bitmaps.add(ICON_ID, solid(2, 2, RgbPixel{200, 100, 50}));
    records.elements.push_back(picture(ELEMENT_ICON, ICON_ID, 0, 0, 1));
    records.elements.push_back(picture(ELEMENT_ICON, ICON_ID, 10, 0, 1));
    draw({state(0.0, LIT), state(0.0)}, DrawOptions{.night = true});
    EXPECT_EQ(target.at(0, 0), opaque(RgbPixel{200, 100, 50}));
    auto near = [](uint32_t p, RgbPixel expected) {
        return std::abs(int(p >> 16 & 0xFF) - expected.r) <= 1 && std::abs(int(p >> 8 & 0xFF) - expected.g) <= 1 &&
               std::abs(int(p & 0xFF) - expected.b) <= 1 && (p >> 24) == 0xFF;
    };
    EXPECT_TRUE(near(target.at(10, 0), RgbPixel{60, 30, 15})) << std::hex << target.at(10, 0);
    EXPECT_TRUE(near(target.at(20, 20), RgbPixel{27, 27, 27})) << std::hex << target.at(20, 20);  // the background
    // By day nothing is darkened.
    draw({state(0.0, LIT), state(0.0)});
    EXPECT_EQ(target.at(10, 0), opaque(RgbPixel{200, 100, 50}));
    EXPECT_EQ(target.at(20, 20), opaque(GREY));
}

}  // namespace
