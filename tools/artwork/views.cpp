// The faces as the host would show them in a few typical states, with stand-in readout texts,
// so that pictures and readouts can be judged together.
#include <cmath>
#include <stdexcept>

#include "artwork.h"
#include "paint.h"

namespace artwork {

const Bitmap& find_bitmap(const std::vector<Bitmap>& bitmaps, int id) {
    for (const Bitmap& b : bitmaps)
        if (b.id == id) return b;
    throw std::runtime_error("no bitmap " + std::to_string(id));
}

namespace {

constexpr Rgb DME_ORANGE{222, 58, 3};

class Composer {
public:
    Composer(const std::vector<Bitmap>& bitmaps, const Fonts& fonts, int background)
        : bitmaps_(bitmaps),
          fonts_(fonts),
          canvas_(find_bitmap(bitmaps, background).image.width, find_bitmap(bitmaps, background).image.height) {
        canvas_.draw_image(find_bitmap(bitmaps, background).image, 0, 0, false);
    }
    Composer& put(int id, int x, int y) {
        canvas_.draw_image(find_bitmap(bitmaps_, id).image, x, y, true);
        return *this;
    }
    // GPS readouts: segment lettering on the readout line.
    Composer& glass(int x, int y, std::string_view text) {
        const double size = segment_size(canvas_.cr(), fonts_, READOUT_CAP);
        draw_text(canvas_.cr(), fonts_, {Font::Segment, size, READOUT_RED, 1.0}, x, y + READOUT_BASELINE, text);
        return *this;
    }
    // DME readouts: tall seven-segment figures.
    Composer& quartz(int x, int y, std::string_view text, Rgb colour = READOUT_RED) {
        const TextStyle probe{Font::SegmentBold, 100, colour, 0};
        const double size = 100 * 20 / cap_height(canvas_.cr(), fonts_, probe);
        draw_text(canvas_.cr(), fonts_, {Font::SegmentBold, size, colour, 1.0}, x, y + 26, text);
        return *this;
    }
    Image image() const { return canvas_.opaque(); }

private:
    const std::vector<Bitmap>& bitmaps_;
    const Fonts& fonts_;
    Canvas canvas_;
};

}  // namespace

std::vector<FaceView> gps_views(const std::vector<Bitmap>& bitmaps, const Fonts& fonts) {
    std::vector<FaceView> views;
    // Background, lit face and knob; then, once running, the blank start-up frame and a page.
    auto base = [&](Composer& c, bool powered) -> Composer& {
        if (powered) c.put(6144, 0, 0);
        return c.put(powered ? 5121 : 5120, 25, 101);
    };
    auto running = [&](Composer& c, int page_frame) -> Composer& {
        return base(c, true).put(4355, 77, 21).put(5888 + page_frame, 77, 21);
    };
    auto common = [](Composer& c, const char* page) {
        c.glass(95, 19, "12.3nm").glass(110, 36, "142kt").put(8192, 80, 58).glass(131, 73, page);
    };
    {
        Composer c(bitmaps, fonts, 4096);
        views.push_back({"off", base(c, false).put(4352, 77, 21).image()});
    }
    {
        Composer c(bitmaps, fonts, 4096);
        views.push_back({"self-test", base(c, true).put(4353, 77, 21).image()});
    }
    {
        Composer c(bitmaps, fonts, 4096);
        base(c, true);
        c.put(4354, 77, 21).glass(123, 38, "1013mb").glass(303, 38, "3500ft");
        c.glass(123, 54, "045\xC2\xB0").glass(303, 54, "274\xC2\xB0");
        views.push_back({"start-up check", c.image()});
    }
    {
        Composer c(bitmaps, fonts, 4096);
        running(c, 0);
        c.put(5377, 292, 24).glass(325, 20, "KSEA").put(4608, 230, 43);
        c.put(5632, 301 - 6, 45).glass(183, 38, ">");
        common(c, "1");
        c.glass(183, 56, "DTK 274\xC2\xB0").glass(322, 56, "TK 271\xC2\xB0");
        c.glass(183, 73, ">275\xC2\xB0To").glass(332, 73, " 0:").glass(358, 73, "05");
        views.push_back({"page 1", c.image()});
    }
    {
        Composer c(bitmaps, fonts, 4096);
        running(c, 0);
        c.put(5376, 292, 24).glass(325, 20, "KSEA").glass(183, 38, ">").put(6401, 174, 25);
        c.glass(335, 38, "0.4nm");
        common(c, "1");
        c.glass(183, 56, "DTK 274\xC2\xB0").glass(322, 56, "TK 271\xC2\xB0");
        c.glass(183, 73,
                ">095\xC2\xB0"
                "Fr")
            .glass(332, 73, " 0:")
            .glass(358, 73, "05");
        views.push_back({"page 1, fly right", c.image()});
    }
    {
        Composer c(bitmaps, fonts, 4096);
        running(c, 0);
        common(c, "2");
        c.put(8449, 203, 27).glass(228, 55, "47\xC2\xB0").glass(263, 55, "27.15'");
        c.glass(218, 71, "122\xC2\xB0").glass(263, 71, "18.42'");
        views.push_back({"page 2", c.image()});
    }
    {
        Composer c(bitmaps, fonts, 4096);
        running(c, 1);
        common(c, "3");
        c.glass(314, 20, "14").glass(338, 20, "32").glass(316, 36, "13").glass(338, 36, "50");
        c.glass(226, 52, "KSEA").glass(316, 53, "00").glass(338, 53, "05");
        c.glass(316, 70, "00:").glass(340, 70, "42");
        views.push_back({"page 3", c.image()});
    }
    {
        Composer c(bitmaps, fonts, 4096);
        running(c, 2);
        common(c, "4");
        c.glass(304, 20, "1013.2mb").glass(314, 53, " 2450ft");
        views.push_back({"page 4", c.image()});
    }
    {
        Composer c(bitmaps, fonts, 4096);
        running(c, 3);
        common(c, "5");
        c.glass(194, 36, "03500 to").glass(304, 36, "04500").glass(183, 52, "KSEA");
        c.glass(303, 52, "014.0nm").glass(215, 69, "142").glass(302, 69, "0500fpm");
        views.push_back({"page 5", c.image()});
    }
    return views;
}

std::vector<FaceView> dme_views(const std::vector<Bitmap>& bitmaps, const Fonts& fonts) {
    std::vector<FaceView> views;
    auto face = [&](Composer& c, int mode, bool on) {
        c.put(4352 + mode, 289, 25).put(4608 + (on ? 1 : 0), 287, 56);
        c.put(4864 + (on ? 1 : 0), 37, 35);
        c.put(5120 + (on && mode == 1 ? 1 : 0), 144, 35);
        if (on) c.put(5376 + (mode != 1 ? 1 : 0), 116, 35).put(5632 + (mode != 1 ? 1 : 0), 180, 35);
    };
    auto finish = [&](Composer& c, int mode, bool on, bool pulled) {
        c.put(8704 + (on && mode == 0 ? 1 : 0), 264, 21);
        c.put(9216 + (pulled ? 1 : 0), 381, 20);
    };
    {
        Composer c(bitmaps, fonts, 9472);
        face(c, 0, false);
        finish(c, 0, false, false);
        views.push_back({"off", c.image()});
    }
    {
        Composer c(bitmaps, fonts, 9472);
        face(c, 0, true);
        c.quartz(40, 9, "12.3").quartz(119, 9, "141").quartz(180, 9, "  5");
        finish(c, 0, true, false);
        views.push_back({"RMT", c.image()});
    }
    {
        Composer c(bitmaps, fonts, 9472);
        face(c, 1, true);
        c.quartz(40, 9, "12.3").quartz(141, 9, "113.45", DME_ORANGE);
        finish(c, 1, true, true);
        views.push_back({"FREQ, knob pulled", c.image()});
    }
    {
        Composer c(bitmaps, fonts, 9472);
        face(c, 2, true);
        c.put(6145, 51, 23).put(6401, 124, 23).put(8193, 182, 23);
        finish(c, 2, true, false);
        views.push_back({"GS/T, no reception", c.image()});
    }
    return views;
}

}  // namespace artwork
