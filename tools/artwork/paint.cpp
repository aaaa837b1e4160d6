#include "paint.h"

#include <cmath>

namespace artwork {

namespace {

Rgb mix(Rgb a, Rgb b, double t) {
    auto m = [t](uint8_t x, uint8_t y) { return static_cast<uint8_t>(std::lround(x + (y - x) * t)); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

void add_stop(cairo_pattern_t* p, double at, Rgb c, double alpha = 1.0) {
    cairo_pattern_add_color_stop_rgba(p, at, c.r / 255.0, c.g / 255.0, c.b / 255.0, alpha);
}

}  // namespace

void fill_vertical_gradient(cairo_t* cr, double x, double y, double w, double h, Rgb top, Rgb bottom) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
    add_stop(p, 0, top);
    add_stop(p, 1, bottom);
    cairo_rectangle(cr, x, y, w, h);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void bevel(cairo_t* cr, double x, double y, double w, double h, double r, double width) {
    cairo_save(cr);
    cairo_set_line_width(cr, width);
    const double half = width / 2;
    cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x + w * 0.25, y + h);
    add_stop(p, 0, EDGE_LIGHT);
    add_stop(p, 0.5, mix(EDGE_LIGHT, EDGE_DARK, 0.5));
    add_stop(p, 1, EDGE_DARK);
    rounded_rect(cr, x + half, y + half, w - width, h - width, r);
    cairo_set_source(cr, p);
    cairo_stroke(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

void recess(cairo_t* cr, double x, double y, double w, double h, double lip) {
    cairo_save(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(x, y - lip, x + w * 0.15, y + h + lip);
    add_stop(p, 0, EDGE_DARK);
    add_stop(p, 0.7, mix(EDGE_DARK, EDGE_LIGHT, 0.25));
    add_stop(p, 1, EDGE_LIGHT);
    rounded_rect(cr, x - lip, y - lip, w + 2 * lip, h + 2 * lip, lip + 1);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

void bezel_with_window(cairo_t* cr, double w, double h, double corner, double window_x, double window_y,
                       double window_w, double window_h) {
    cairo_rectangle(cr, 0, 0, w, h);
    set_colour(cr, EDGE_DARK);
    cairo_fill(cr);
    rounded_rect(cr, 0, 0, w, h, corner);
    cairo_clip(cr);
    fill_vertical_gradient(cr, 0, 0, w, h, BEZEL_TOP, BEZEL_BOTTOM);
    cairo_reset_clip(cr);
    bevel(cr, 0, 0, w, h, corner, 2);

    recess(cr, window_x, window_y, window_w, window_h, 3);
    cairo_rectangle(cr, window_x, window_y, window_w, window_h);
    set_colour(cr, WINDOW);
    cairo_fill(cr);
}

void screw(cairo_t* cr, double cx, double cy, double r, double slot_angle) {
    cairo_save(cr);
    cairo_arc(cr, cx + 0.5, cy + 0.8, r + 0.6, 0, 2 * M_PI);
    set_colour(cr, EDGE_DARK, 0.8);
    cairo_fill(cr);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.4, cy - r * 0.4, r * 0.1, cx, cy, r);
    add_stop(p, 0, Rgb{170, 172, 176});
    add_stop(p, 1, Rgb{62, 63, 67});
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_set_line_width(cr, std::max(1.0, r * 0.35));
    set_colour(cr, Rgb{22, 22, 24});
    const double dx = std::cos(slot_angle) * r * 0.8, dy = std::sin(slot_angle) * r * 0.8;
    cairo_move_to(cr, cx - dx, cy - dy);
    cairo_line_to(cr, cx + dx, cy + dy);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void button_body(cairo_t* cr, double x, double y, double w, double h) {
    cairo_save(cr);
    // Shadow below, then the cap with a lighter top rim.
    rounded_rect(cr, x + 0.5, y + 1.5, w, h, 3);
    set_colour(cr, EDGE_DARK, 0.9);
    cairo_fill(cr);
    rounded_rect(cr, x, y, w, h, 3);
    set_colour(cr, Rgb{14, 14, 16});
    cairo_fill(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y + 1, 0, y + h - 1);
    add_stop(p, 0, Rgb{84, 86, 91});
    add_stop(p, 0.18, Rgb{60, 62, 66});
    add_stop(p, 1, Rgb{30, 31, 34});
    rounded_rect(cr, x + 1, y + 1, w - 2, h - 2, 2.2);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

void button_legend(cairo_t* cr, const Fonts& fonts, double x, double y, double w, double h, std::string_view legend,
                   bool lit, double size) {
    TextStyle style{Font::NarrowBold, size, lit ? LEGEND_LIT : LEGEND, 0.4};
    const double cap = cap_height(cr, fonts, style);
    draw_text(cr, fonts, style, x + w / 2, std::round(y + (h + cap) / 2), legend, Align::Centre);
}

void soft_shadow(cairo_t* cr, double cx, double cy, double r, double dx, double dy) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx + dx, cy + dy, r * 0.8, cx + dx, cy + dy, r + 3.5);
    add_stop(p, 0, EDGE_DARK, 0.85);
    add_stop(p, 1, EDGE_DARK, 0.0);
    cairo_arc(cr, cx + dx, cy + dy, r + 3.5, 0, 2 * M_PI);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void knob(cairo_t* cr, double cx, double cy, double r, Rgb body, int ridges) {
    cairo_save(cr);
    const Rgb light = mix(body, Rgb{235, 236, 240}, 0.45);
    const Rgb dark = mix(body, Rgb{0, 0, 0}, 0.65);
    // Skirt: knurled rim, alternating light and dark ridges, shaded by the light direction.
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    set_colour(cr, dark);
    cairo_fill(cr);
    for (int i = 0; i < ridges; ++i) {
        const double a0 = 2 * M_PI * i / ridges, a1 = a0 + M_PI / ridges;
        const double facing = 0.5 + 0.5 * std::cos(a0 + M_PI * 0.75);  // lit from top-left
        cairo_move_to(cr, cx, cy);
        cairo_arc(cr, cx, cy, r - 0.3, a0, a1);
        cairo_close_path(cr);
        set_colour(cr, mix(dark, light, 0.25 + 0.6 * facing));
        cairo_fill(cr);
    }
    // Face: a slightly domed cap inside the rim.
    const double face = r * 0.8;
    cairo_arc(cr, cx, cy, face + 0.8, 0, 2 * M_PI);
    set_colour(cr, mix(dark, Rgb{0, 0, 0}, 0.3));
    cairo_fill(cr);
    cairo_pattern_t* p =
        cairo_pattern_create_radial(cx - face * 0.45, cy - face * 0.5, face * 0.1, cx, cy, face * 1.05);
    add_stop(p, 0, mix(body, light, 0.55));
    add_stop(p, 0.6, body);
    add_stop(p, 1, mix(body, dark, 0.6));
    cairo_arc(cr, cx, cy, face, 0, 2 * M_PI);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

void knob_pointer(cairo_t* cr, double cx, double cy, double inner, double outer, double angle, Rgb colour,
                  double width) {
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, width);
    const double ux = std::cos(angle), uy = -std::sin(angle);
    cairo_move_to(cr, cx + ux * inner, cy + uy * inner);
    cairo_line_to(cr, cx + ux * outer, cy + uy * outer);
    set_colour(cr, colour);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void lamp(cairo_t* cr, double x, double y, double w, double h, Rgb lit_colour, bool lit) {
    cairo_save(cr);
    rounded_rect(cr, x, y, w, h, 3);
    set_colour(cr, Rgb{10, 10, 11});
    cairo_fill(cr);
    const Rgb core = lit ? lit_colour : mix(lit_colour, Rgb{20, 22, 20}, 0.85);
    rounded_rect(cr, x + 1.5, y + 1.5, w - 3, h - 3, 2);
    set_colour(cr, core);
    cairo_fill(cr);
    // A small glint on the lens, lit or not.
    cairo_pattern_t* p = cairo_pattern_create_radial(x + w * 0.35, y + h * 0.3, 0, x + w * 0.35, y + h * 0.3, w * 0.3);
    add_stop(p, 0, Rgb{255, 255, 255}, lit ? 0.55 : 0.25);
    add_stop(p, 1, Rgb{255, 255, 255}, 0.0);
    cairo_arc(cr, x + w * 0.35, y + h * 0.3, w * 0.3, 0, 2 * M_PI);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

Image difference(const Image& base, const Image& top) {
    Image out(top.width, top.height);
    for (size_t i = 0; i < top.pixels.size(); ++i)
        if (!(top.pixels[i] == base.pixels[i])) out.pixels[i] = top.pixels[i];
    return out;
}

Image keep_where(Image image, const std::function<bool(int, int)>& keep) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (!keep(x, y)) image.at(x, y) = TRANSPARENT;
    return image;
}

bool inside_circle(int x, int y, double cx, double cy, double r) {
    const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
    return dx * dx + dy * dy <= r * r;
}

double segment_size(cairo_t* cr, const Fonts& fonts, double cap) {
    const TextStyle probe{Font::Segment, 100.0, READOUT_RED, 0};
    return 100.0 * cap / cap_height(cr, fonts, probe);
}

}  // namespace artwork
