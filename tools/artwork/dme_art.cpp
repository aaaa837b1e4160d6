// The DME radio's pictures: the face, the selector and switch positions, the lit unit labels,
// dashes and lamp, and the pulled-out knob. Coordinates are face pixels unless said otherwise.
#include <cmath>
#include <string>

#include "artwork.h"
#include "paint.h"

namespace artwork {

namespace {

constexpr int FACE_W = 450, FACE_H = 91;
constexpr int WINDOW_X = 28, WINDOW_Y = 5, WINDOW_W = 225, WINDOW_H = 45;

constexpr Rgb LABEL_LETTER{255, 71, 7};
constexpr Rgb LABEL_BOX{50, 13, 0};
constexpr Rgb LAMP_GREEN{0, 185, 0};

// Selector slot 289..334 x 25..41; the slider stops over the RMT, FREQ and GS/T areas.
constexpr double SELECTOR_STOPS[] = {296.0, 309.0, 325.0};
constexpr int SELECTOR_X = 289, SELECTOR_Y = 25, SELECTOR_W = 45, SELECTOR_H = 16;
// Power switch 287..324 x 56..74: slider left for off, right for on.
constexpr double SWITCH_STOPS[] = {297.5, 315.5};
constexpr int SWITCH_X = 287, SWITCH_Y = 56, SWITCH_W = 37, SWITCH_H = 18;
// Concentric knob over its mouse areas: rings 373..436 and 387..422, centre 399..410.
constexpr double KNOB_CX = 404.5, KNOB_CY = 44.5, KNOB_OUTER = 30.0, KNOB_INNER = 17.0;
constexpr double KNOB_CAP = 6.5;
constexpr int KNOB_ICON_X = 381, KNOB_ICON_Y = 20, KNOB_ICON_W = 46, KNOB_ICON_H = 48;
constexpr int LAMP_X = 264, LAMP_Y = 21, LAMP_SIDE = 12;

struct FaceState {
    int mode = 0;
    bool power_on = false;
    bool knob_pulled = false;
    bool lamp_lit = false;
};

// A slot with a ridged slider cap centred at `stop`.
void slide_switch(cairo_t* cr, double x, double y, double w, double h, double stop, double cap_w) {
    rounded_rect(cr, x + 1, y + h / 2 - 3, w - 2, 6, 3);
    set_colour(cr, Rgb{8, 8, 9});
    cairo_fill(cr);
    cairo_set_line_width(cr, 1);
    set_colour(cr, Rgb{80, 82, 87});
    cairo_move_to(cr, x + 3, y + h / 2 + 3.5);
    cairo_line_to(cr, x + w - 3, y + h / 2 + 3.5);
    cairo_stroke(cr);
    // Cap with a drop shadow, light top edge and grip ridges.
    const double left = std::round(stop - cap_w / 2);
    rounded_rect(cr, left + 1, y + 2, cap_w, h - 2, 2);
    set_colour(cr, EDGE_DARK, 0.9);
    cairo_fill(cr);
    rounded_rect(cr, left, y + 1, cap_w, h - 2, 2);
    set_colour(cr, Rgb{16, 16, 18});
    cairo_fill(cr);
    fill_vertical_gradient(cr, left + 1, y + 2, cap_w - 2, h - 4, Rgb{150, 152, 157}, Rgb{62, 64, 68});
    for (double gx = left + 2.5; gx < left + cap_w - 2; gx += 2) {
        cairo_rectangle(cr, gx, y + 4, 1, h - 8);
        set_colour(cr, Rgb{44, 45, 49});
        cairo_fill(cr);
    }
}

Image draw_face(const Fonts& fonts, FaceState state) {
    Canvas canvas(FACE_W, FACE_H);
    cairo_t* cr = canvas.cr();

    bezel_with_window(cr, FACE_W, FACE_H, 5, WINDOW_X, WINDOW_Y, WINDOW_W, WINDOW_H);

    // Maker's plate under the window.
    rounded_rect(cr, 30, 60, 74, 15, 2);
    set_colour(cr, Rgb{16, 16, 18});
    cairo_fill(cr);
    fill_vertical_gradient(cr, 31, 61, 72, 13, Rgb{40, 41, 45}, Rgb{24, 25, 28});
    bevel(cr, 30, 60, 74, 15, 2, 1);
    draw_text(cr, fonts, {Font::PlateItalic, 9.5, Rgb{214, 216, 220}, 1.0}, 67, 71.5, "CORVANE", Align::Centre);
    draw_text(cr, fonts, {Font::NarrowBold, 8.0, LEGEND, 1.2}, 112, 71.5, "DME");

    const TextStyle legend{Font::NarrowBold, 7.5, LEGEND, 0.3};
    draw_text(cr, fonts, legend, FACE_W - 9, 12, "VER2", Align::Right);

    lamp(cr, LAMP_X, LAMP_Y, LAMP_SIDE, LAMP_SIDE, LAMP_GREEN, state.lamp_lit);

    // Mode selector: FREQ raised a row so the three legends stay apart.
    draw_text(cr, fonts, legend, SELECTOR_STOPS[0] - 2, 23, "RMT", Align::Centre);
    draw_text(cr, fonts, legend, SELECTOR_STOPS[1], 15, "FREQ", Align::Centre);
    draw_text(cr, fonts, legend, SELECTOR_STOPS[2] + 1.5, 23, "GS/T", Align::Centre);
    slide_switch(cr, SELECTOR_X, SELECTOR_Y, SELECTOR_W, SELECTOR_H, SELECTOR_STOPS[state.mode], 11);

    draw_text(cr, fonts, legend, SWITCH_X - 4, 68, "OFF", Align::Right);
    slide_switch(cr, SWITCH_X, SWITCH_Y, SWITCH_W, SWITCH_H, SWITCH_STOPS[state.power_on ? 1 : 0], 15);

    // Frequency knob: outer ring, inner ring, centre cap; pulled out it stands taller and
    // shows a bright band of its shaft.
    soft_shadow(cr, KNOB_CX, KNOB_CY, KNOB_OUTER, 2, 3);
    knob(cr, KNOB_CX, KNOB_CY, KNOB_OUTER, Rgb{54, 56, 60}, 44);
    if (state.knob_pulled) {
        soft_shadow(cr, KNOB_CX, KNOB_CY, KNOB_INNER + 2, 3, 4.5);
        cairo_arc(cr, KNOB_CX, KNOB_CY, KNOB_INNER + 2.5, 0, 2 * M_PI);
        set_colour(cr, Rgb{150, 153, 160});
        cairo_fill(cr);
        knob(cr, KNOB_CX - 0.5, KNOB_CY - 0.5, KNOB_INNER + 1.5, Rgb{84, 86, 92}, 28);
    } else {
        soft_shadow(cr, KNOB_CX, KNOB_CY, KNOB_INNER, 1.5, 2.5);
        knob(cr, KNOB_CX, KNOB_CY, KNOB_INNER, Rgb{74, 76, 81}, 28);
    }
    cairo_arc(cr, KNOB_CX, KNOB_CY, KNOB_CAP, 0, 2 * M_PI);
    set_colour(cr, Rgb{20, 20, 22});
    cairo_fill(cr);
    knob(cr, KNOB_CX, KNOB_CY, KNOB_CAP - 1, Rgb{96, 98, 104}, 0);

    return canvas.opaque();
}

// 5 x 7 letters of the lit unit labels, one row per byte, bit 4 leftmost.
struct Glyph {
    char letter;
    int width;
    uint8_t rows[7];
};
constexpr Glyph LETTERS[] = {
    {'N', 5, {0x11, 0x19, 0x19, 0x15, 0x13, 0x13, 0x11}}, {'M', 5, {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'H', 5, {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'Z', 5, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'K', 5, {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'T', 5, {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'I', 3, {0x07, 0x02, 0x02, 0x02, 0x02, 0x02, 0x07}},
};

// An opaque lit label: orange-red letters centred on a dark red-brown box, letter tops on the
// box's second row.
Image lit_label(int width, int height, std::string_view text) {
    Image label(width, height, LABEL_BOX);
    int text_width = -1;
    for (char c : text)
        for (const Glyph& g : LETTERS)
            if (g.letter == c) text_width += g.width + 1;
    int pen = (width - text_width) / 2;
    for (char c : text) {
        for (const Glyph& g : LETTERS) {
            if (g.letter != c) continue;
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < g.width; ++col)
                    if (g.rows[row] >> (g.width - 1 - col) & 1) label.at(pen + col, 1 + row) = LABEL_LETTER;
            pen += g.width + 1;
        }
    }
    return label;
}

// Dashes six pixels long and two high, three apart, on the middle rows.
Image dashes(int width, int count) {
    Image image(width, 4);
    const int used = count * 6 + (count - 1) * 3;
    int left = (width - used) / 2;
    for (int d = 0; d < count; ++d, left += 9)
        for (int y = 1; y < 3; ++y)
            for (int x = left; x < left + 6; ++x) image.at(x, y) = LABEL_LETTER;
    return image;
}

}  // namespace

std::vector<Bitmap> dme_bitmaps(const Fonts& fonts) {
    const Image face = draw_face(fonts, {});
    std::vector<Bitmap> out;
    auto add = [&](int id, Depth depth, Image image, std::string caption) {
        out.push_back({id, depth, std::move(image), std::move(caption)});
    };
    add(9472, Depth::Palette8, face, "face");
    const char* modes[] = {"RMT", "FREQ", "GS/T"};
    for (int mode = 0; mode < 3; ++mode)
        add(4352 + mode, Depth::Palette8,
            crop(draw_face(fonts, {.mode = mode}), SELECTOR_X, SELECTOR_Y, SELECTOR_W, SELECTOR_H),
            std::string("selector ") + modes[mode]);
    for (int on = 0; on < 2; ++on)
        add(4608 + on, Depth::Palette8,
            crop(draw_face(fonts, {.power_on = on == 1}), SWITCH_X, SWITCH_Y, SWITCH_W, SWITCH_H),
            on ? "switch on" : "switch off");
    add(4864, Depth::Palette8, Image(17, 10), "blank");
    add(4865, Depth::Palette8, lit_label(17, 10, "NM"), "NM");
    add(5120, Depth::Palette8, Image(25, 10), "blank");
    add(5121, Depth::Rgb24, lit_label(25, 10, "MHZ"), "MHZ");
    add(5376, Depth::Palette8, Image(17, 11), "blank");
    add(5377, Depth::Rgb24, lit_label(17, 11, "KT"), "KT");
    add(5632, Depth::Palette8, Image(21, 10), "blank");
    add(5633, Depth::Rgb24, lit_label(21, 10, "MIN"), "MIN");
    add(6144, Depth::Palette8, Image(33, 4), "blank");
    add(6145, Depth::Palette8, dashes(33, 4), "four dashes");
    add(6400, Depth::Palette8, Image(25, 4), "blank");
    add(6401, Depth::Palette8, dashes(25, 3), "three dashes");
    add(8192, Depth::Palette8, Image(17, 4), "blank");
    add(8193, Depth::Palette8, dashes(17, 2), "two dashes");
    add(8704, Depth::Palette8, Image(LAMP_SIDE, LAMP_SIDE), "blank");
    add(8705, Depth::Palette8,
        difference(crop(face, LAMP_X, LAMP_Y, LAMP_SIDE, LAMP_SIDE),
                   crop(draw_face(fonts, {.lamp_lit = true}), LAMP_X, LAMP_Y, LAMP_SIDE, LAMP_SIDE)),
        "lamp lit");
    add(9216, Depth::Palette8, Image(KNOB_ICON_W, KNOB_ICON_H), "blank");
    const double icon_cx = KNOB_CX - KNOB_ICON_X, icon_cy = KNOB_CY - KNOB_ICON_Y;
    add(9217, Depth::Palette8,
        keep_where(crop(draw_face(fonts, {.knob_pulled = true}), KNOB_ICON_X, KNOB_ICON_Y, KNOB_ICON_W, KNOB_ICON_H),
                   [&](int x, int y) { return inside_circle(x, y, icon_cx + 1, icon_cy + 1.5, 23); }),
        "knob pulled");
    return out;
}

}  // namespace artwork
