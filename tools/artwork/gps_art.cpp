// The navigator's pictures: the face, its lit overlay, the power knob, and the screens and
// symbols drawn in the display window. Coordinates are face pixels unless said otherwise.
#include <cmath>
#include <string>

#include "artwork.h"
#include "paint.h"

namespace artwork {

namespace {

constexpr int FACE_W = 485, FACE_H = 154;
constexpr int WINDOW_X = 77, WINDOW_Y = 21, WINDOW_W = 320, WINDOW_H = 78;

// The OFF/ON knob under the two halves of its mouse areas (36..71, 103..140).
constexpr double POWER_CX = 53.5, POWER_CY = 122.0, POWER_R = 16.5;
constexpr double POWER_ON_ANGLE = M_PI / 3, POWER_OFF_ANGLE = 2 * M_PI / 3;
constexpr int POWER_ICON_X = 25, POWER_ICON_Y = 101, POWER_ICON_SIDE = 52;
// The large concentric knob: outer ring areas 401..481, inner knob areas 424..460.
constexpr double KNOB_CX = 441.5, KNOB_CY = 103.0, KNOB_OUTER = 38.0, KNOB_INNER = 19.0;

struct Place {
    double x, y, w, h;
    const char* legend;
};
// Seven buttons at a 44.8-pixel pitch; ALT, D-> and ENT sit on their mouse areas.
constexpr Place BUTTONS[] = {
    {93, 129, 30, 18, "MSG"}, {138, 129, 30, 18, "OBS"},  {183, 129, 30, 18, "ALT"}, {228, 129, 30, 18, "NRST"},
    {272, 129, 30, 18, "D"},  {317, 129, 30, 18, ">CLR"}, {362, 129, 30, 18, "ENT"},
};
constexpr Place CRSR_BUTTON{424, 34, 31, 17, "CRSR"};
constexpr const char* WINDOW_LABELS[] = {"APT", "VOR", "NDB", "INT", "USR", "ACT", "NAV", "FPL", "CAL", "SET", "OTH"};
constexpr double LAMP_X = 54, LAMP_Y = 22, LAMP_W = 14, LAMP_H = 16;
constexpr Rgb LAMP_GREEN{0, 185, 0};
constexpr Rgb PLATE_TEXT{214, 216, 220};

struct FaceState {
    bool knob_on = true;
    bool lit = false;
};

// "D" followed by an arrow, the direct-to legend.
void direct_to_legend(cairo_t* cr, const Fonts& fonts, const Place& b, bool lit) {
    TextStyle style{Font::NarrowBold, 9.5, lit ? LEGEND_LIT : LEGEND, 0};
    const double cap = cap_height(cr, fonts, style);
    const double baseline = std::round(b.y + (b.h + cap) / 2);
    const double left = b.x + 8;
    draw_text(cr, fonts, style, left, baseline, "D");
    const double mid = baseline - cap / 2, start = left + 7.5, end = b.x + b.w - 6;
    cairo_save(cr);
    set_colour(cr, style.colour);
    cairo_set_line_width(cr, 1.4);
    cairo_move_to(cr, start, mid);
    cairo_line_to(cr, end - 2, mid);
    cairo_stroke(cr);
    cairo_move_to(cr, end + 0.5, mid);
    cairo_line_to(cr, end - 3.5, mid - 3);
    cairo_line_to(cr, end - 3.5, mid + 3);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_restore(cr);
}

void name_plate(cairo_t* cr, const Fonts& fonts, double x, double y, double w, double h, std::string_view text) {
    rounded_rect(cr, x, y, w, h, 2);
    set_colour(cr, Rgb{16, 16, 18});
    cairo_fill(cr);
    fill_vertical_gradient(cr, x + 1, y + 1, w - 2, h - 2, Rgb{40, 41, 45}, Rgb{24, 25, 28});
    bevel(cr, x, y, w, h, 2, 1);
    TextStyle style{Font::PlateItalic, 9.0, PLATE_TEXT, 1.0};
    const double cap = cap_height(cr, fonts, style);
    draw_text(cr, fonts, style, x + w / 2, std::round(y + (h + cap) / 2), text, Align::Centre);
}

Image draw_face(const Fonts& fonts, FaceState state) {
    Canvas canvas(FACE_W, FACE_H);
    cairo_t* cr = canvas.cr();
    const Rgb legend = state.lit ? LEGEND_LIT : LEGEND;

    bezel_with_window(cr, FACE_W, FACE_H, 7, WINDOW_X, WINDOW_Y, WINDOW_W, WINDOW_H);

    name_plate(cr, fonts, 7, 4, 64, 13, "CORVANE");
    name_plate(cr, fonts, 407, 4, 70, 13, "PX40 GPS");

    lamp(cr, LAMP_X, LAMP_Y, LAMP_W, LAMP_H, LAMP_GREEN, state.lit);

    // Page group labels under the window.
    const TextStyle label{Font::NarrowBold, 8.0, legend, 0.3};
    const double pitch = WINDOW_W / 11.0;
    for (int i = 0; i < 11; ++i)
        draw_text(cr, fonts, label, WINDOW_X + pitch * (i + 0.5), 112, WINDOW_LABELS[i], Align::Centre);
    cairo_set_line_width(cr, 1);
    set_colour(cr, Rgb{88, 90, 95});
    cairo_move_to(cr, WINDOW_X + 4, 115.5);
    cairo_line_to(cr, WINDOW_X + WINDOW_W - 4, 115.5);
    cairo_stroke(cr);

    for (const Place& b : BUTTONS) {
        button_body(cr, b.x, b.y, b.w, b.h);
        if (std::string_view(b.legend) == "D") direct_to_legend(cr, fonts, b, state.lit);
        else button_legend(cr, fonts, b.x, b.y, b.w, b.h, b.legend, state.lit);
    }
    button_body(cr, CRSR_BUTTON.x, CRSR_BUTTON.y, CRSR_BUTTON.w, CRSR_BUTTON.h);
    button_legend(cr, fonts, CRSR_BUTTON.x, CRSR_BUTTON.y, CRSR_BUTTON.w, CRSR_BUTTON.h, CRSR_BUTTON.legend, state.lit);

    // OFF/ON knob with its two marks.
    const TextStyle mark{Font::NarrowBold, 7.5, legend, 0.3};
    draw_text(cr, fonts, mark, POWER_CX + std::cos(POWER_OFF_ANGLE) * 27, 101, "OFF", Align::Centre);
    draw_text(cr, fonts, mark, POWER_CX + std::cos(POWER_ON_ANGLE) * 27, 101, "ON", Align::Centre);
    soft_shadow(cr, POWER_CX, POWER_CY, POWER_R, 1.5, 2.5);
    knob(cr, POWER_CX, POWER_CY, POWER_R, Rgb{70, 72, 77}, 24);
    knob_pointer(cr, POWER_CX, POWER_CY, 4, POWER_R - 3, state.knob_on ? POWER_ON_ANGLE : POWER_OFF_ANGLE,
                 Rgb{236, 236, 232}, 2.2);

    // Large knob: knurled outer ring, inner knob with its legend.
    soft_shadow(cr, KNOB_CX, KNOB_CY, KNOB_OUTER, 2, 3);
    knob(cr, KNOB_CX, KNOB_CY, KNOB_OUTER, Rgb{56, 58, 62}, 48);
    soft_shadow(cr, KNOB_CX, KNOB_CY, KNOB_INNER, 1.5, 2.5);
    knob(cr, KNOB_CX, KNOB_CY, KNOB_INNER, Rgb{78, 80, 85}, 28);
    const TextStyle knob_text{Font::NarrowBold, 7.0, Rgb{226, 226, 222}, 0.4};
    draw_text(cr, fonts, knob_text, KNOB_CX, KNOB_CY - 1.5, "PULL", Align::Centre);
    draw_text(cr, fonts, knob_text, KNOB_CX, KNOB_CY + 7.5, "SCAN", Align::Centre);

    return canvas.opaque();
}

// A picture drawn in the display window, addressed in face coordinates.
class Screen {
public:
    Screen(const Fonts& fonts, int face_x, int face_y, int width, int height) : fonts_(fonts), canvas_(width, height) {
        cairo_translate(canvas_.cr(), -face_x, -face_y);
        size_ = segment_size(canvas_.cr(), fonts, READOUT_CAP);
    }
    cairo_t* cr() const { return canvas_.cr(); }
    // Lettering on the line of a readout whose element stands at `row_y`.
    void text(double x, double row_y, std::string_view s, Align align = Align::Left, double scale = 1.0) {
        const TextStyle style{Font::Segment, size_ * scale, READOUT_RED, 1.0};
        const double baseline = row_y + READOUT_BASELINE;
        if (!s.empty() && s.front() == '>' && align == Align::Left) {
            // The segment face's ">" is hard to read; a drawn chevron is not.
            const double cap = READOUT_CAP * scale, w = std::round(cap * 0.5);
            cairo_t* cr = canvas_.cr();
            cairo_save(cr);
            set_colour(cr, READOUT_RED);
            cairo_set_line_width(cr, 1.6);
            cairo_move_to(cr, x + 1, baseline - cap + 1);
            cairo_line_to(cr, x + 1 + w, baseline - cap / 2);
            cairo_line_to(cr, x + 1, baseline - 1);
            cairo_stroke(cr);
            cairo_restore(cr);
            x += w + 5;
            s.remove_prefix(1);
        }
        draw_text(canvas_.cr(), fonts_, style, x, baseline, s, align);
    }
    void rect(double x, double y, double w, double h) {
        cairo_rectangle(canvas_.cr(), x, y, w, h);
        set_colour(canvas_.cr(), READOUT_RED);
        cairo_fill(canvas_.cr());
    }
    Image image() const { return canvas_.overlay(WINDOW); }

private:
    const Fonts& fonts_;
    Canvas canvas_;
    double size_;
};

// Five + marks either side of the centre, 13 pixels apart, on the line at `mid_y`.
void scale_marks(Screen& s, double centre_x, double mid_y, double spacing, double keep_clear) {
    for (int side : {-1, 1})
        for (int k = 1; k <= 5; ++k) {
            const double x = centre_x + side * k * spacing;
            if (std::abs(x - centre_x) < keep_clear) continue;
            s.rect(x - 2, mid_y, 5, 1);
            s.rect(x, mid_y - 2, 1, 5);
        }
}

void to_triangle(cairo_t* cr, double cx, double top, double half_width, double height) {
    cairo_move_to(cr, cx + 0.5, top);
    cairo_line_to(cr, cx + 0.5 + half_width, top + height);
    cairo_line_to(cr, cx + 0.5 - half_width, top + height);
    cairo_close_path(cr);
    set_colour(cr, READOUT_RED);
    cairo_fill(cr);
}

// Deviation scale at 230, 43; its centre column is 303, the needle's middle at rest.
Image deviation_scale(const Fonts& fonts, bool flag) {
    Screen s(fonts, 230, 43, 145, 18);
    constexpr double centre = 303, mid = 52;
    scale_marks(s, centre, mid, 13, flag ? 30 : 0);
    if (flag) s.text(centre + 0.5, 43 - READOUT_BASELINE + 15, "FLAG", Align::Centre);
    else to_triangle(s.cr(), centre, 45, 4.5, 6);
    return s.image();
}

Image deviation_needle() {
    Image needle(5, 15);
    for (int y = 0; y < 15; ++y) {
        for (int x = 1; x <= 3; ++x) needle.at(x, y) = READOUT_RED;
        needle.at(2, y) = Rgb{255, 96, 84};
    }
    return needle;
}

void arrow(cairo_t* cr, double x0, double x1, double y, double head, double width) {
    cairo_save(cr);
    set_colour(cr, READOUT_RED);
    cairo_set_line_width(cr, width);
    cairo_move_to(cr, x0, y);
    cairo_line_to(cr, x1 - head * 0.8, y);
    cairo_stroke(cr);
    cairo_move_to(cr, x1, y);
    cairo_line_to(cr, x1 - head, y - head * 0.75);
    cairo_line_to(cr, x1 - head, y + head * 0.75);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_restore(cr);
}

// 30 x 20 at 292, 24: an arrow, or a D crossed by an arrow.
Image direct_to_symbol(const Fonts& fonts, bool with_d) {
    Screen s(fonts, 292, 24, 30, 20);
    cairo_t* cr = s.cr();
    if (with_d) {
        cairo_save(cr);
        set_colour(cr, READOUT_RED);
        cairo_set_line_width(cr, 2);
        cairo_move_to(cr, 302, 27);
        cairo_line_to(cr, 302, 41);
        cairo_line_to(cr, 306, 41);
        cairo_arc_negative(cr, 306, 34, 7, M_PI / 2, -M_PI / 2);
        cairo_close_path(cr);
        cairo_stroke(cr);
        cairo_restore(cr);
        arrow(cr, 294, 320, 34, 6, 2);
    } else {
        arrow(cr, 296, 318, 34, 7, 2.5);
    }
    return s.image();
}

Image self_test_screen(const Fonts& fonts) {
    Screen s(fonts, WINDOW_X, WINDOW_Y, 320, 77);
    const double middle = WINDOW_X + 160;
    s.text(middle, 19, "CORVANE PX40", Align::Centre);
    s.text(middle, 36, "Self-Test in Progress", Align::Centre);
    s.text(middle, 53, "Data Demo Set 04", Align::Centre, 0.8);
    s.text(middle, 70, "Not for Navigation", Align::Centre, 0.8);
    return s.image();
}

Image confirmation_screen(const Fonts& fonts) {
    Screen s(fonts, WINDOW_X, WINDOW_Y, 320, 77);
    s.text(95, 19, "34.5nm");
    // A small deviation scale with its needle centred.
    constexpr double centre = 330, mid = 29;
    for (int side : {-1, 1})
        for (int k = 1; k <= 5; ++k) {
            const double x = centre + side * k * 11;
            s.rect(x - 1, mid, 3, 1);
            s.rect(x, mid - 1, 1, 3);
        }
    s.rect(centre - 1, 22, 3, 15);
    // Labels end a little before the readouts that follow them.
    s.text(118, 38, "Baro:", Align::Right, 0.8);
    s.text(297, 38, "Alt", Align::Right, 0.8);
    s.text(118, 54, "RMI", Align::Right, 0.8);
    s.text(297, 54, "OBS", Align::Right, 0.8);
    s.text(95, 70, "ANNUN OFF");
    s.text(257, 70, "Pass OK?");
    return s.image();
}

// The page backgrounds: separator at face x 169 (picture column 92), labels per page.
Image page_picture(const Fonts& fonts, int page_frame) {
    Screen s(fonts, WINDOW_X, WINDOW_Y, 319, 77);
    s.rect(169, 25, 1, 67);
    switch (page_frame) {
        case 0: to_triangle(s.cr(), 282, 93, 3.5, 4); break;
        case 1:
            s.text(183, 20, "Time UTC");
            s.text(183, 36, "Depart");
            s.text(183, 53, "ETE");
            s.text(183, 70, "Flight");
            break;
        case 2:
            s.text(183, 20, "BARO:");
            s.text(183, 53, "MSA");
            break;
        case 3:
            s.text(183, 20, "Vnv Inactive");
            s.text(183, 69, "GS:");
            break;
    }
    return s.image();
}

Image fly_words(const Fonts& fonts, bool right) {
    Screen s(fonts, 174, 25, 109, 70);
    s.text(183, 38, right ? ">Fly R" : ">Fly L");
    return s.image();
}

Image leg_label(const Fonts& fonts, bool with_leg) {
    Screen s(fonts, 80, 58, 85, 43);
    if (with_leg) s.text(165, 55, "Leg", Align::Right);
    s.text(82, 73, "NAV");
    return s.image();
}

Image present_position(const Fonts& fonts, bool north, bool east) {
    Screen s(fonts, 203, 27, 115, 70);
    s.text(205, 31, ">Present Posn", Align::Left, 0.78);
    s.text(207, 55, north ? "N" : "S");
    s.text(205, 71, east ? "E" : "W");
    return s.image();
}

}  // namespace

std::vector<Bitmap> gps_bitmaps(const Fonts& fonts) {
    const Image face = draw_face(fonts, {true, false});
    const Image lit_face = draw_face(fonts, {true, true});
    const Image knob_off =
        crop(draw_face(fonts, {false, false}), POWER_ICON_X, POWER_ICON_Y, POWER_ICON_SIDE, POWER_ICON_SIDE);
    const double knob_cx = POWER_CX - POWER_ICON_X, knob_cy = POWER_CY - POWER_ICON_Y;

    std::vector<Bitmap> out;
    auto add = [&](int id, Depth depth, Image image, std::string caption) {
        out.push_back({id, depth, std::move(image), std::move(caption)});
    };
    add(4096, Depth::Palette8, face, "face");
    add(4352, Depth::Rgb24, Image(320, 77), "screen off");
    add(4353, Depth::Palette8, self_test_screen(fonts), "self-test");
    add(4354, Depth::Palette8, confirmation_screen(fonts), "start-up check");
    add(4355, Depth::Palette8, Image(320, 78), "screen blank");
    add(4608, Depth::Palette8, deviation_scale(fonts, false), "deviation scale");
    add(4864, Depth::Palette8, deviation_scale(fonts, true), "scale FLAG");
    add(5120, Depth::Palette8,
        keep_where(knob_off,
                   [&](int x, int y) { return inside_circle(x, y, knob_cx + 0.75, knob_cy + 1.25, POWER_R + 3.5); }),
        "knob at OFF");
    add(5121, Depth::Palette8, Image(52, 52), "knob blank");
    add(5376, Depth::Palette8, direct_to_symbol(fonts, false), "arrow");
    add(5377, Depth::Palette8, direct_to_symbol(fonts, true), "direct-to");
    add(5632, Depth::Palette8, deviation_needle(), "needle");
    for (int frame = 0; frame < 4; ++frame)
        add(5888 + frame, Depth::Palette8, page_picture(fonts, frame),
            frame == 0 ? "pages 1, 2" : "page " + std::to_string(frame + 2));
    add(6144, Depth::Palette8, difference(face, lit_face), "lit face");
    add(6400, Depth::Palette8, fly_words(fonts, false), ">Fly L");
    add(6401, Depth::Palette8, fly_words(fonts, true), ">Fly R");
    add(8192, Depth::Palette8, leg_label(fonts, true), "Leg NAV");
    add(8193, Depth::Palette8, leg_label(fonts, false), "NAV");
    add(8448, Depth::Palette8, present_position(fonts, true, true), "N E");
    add(8449, Depth::Palette8, present_position(fonts, true, false), "N W");
    add(8450, Depth::Palette8, present_position(fonts, false, true), "S E");
    add(8451, Depth::Palette8, present_position(fonts, false, false), "S W");
    return out;
}

}  // namespace artwork
