#include "status_overlay.h"

#include <pango/pangocairo.h>

#include <algorithm>

namespace panel::render {
namespace {

constexpr double text_pixels = 10.0;

void show_text(cairo_t* cr, FontBook& fonts, const std::string& text, double x, double y, double grey) {
    const LayoutPtr layout = fonts.host_text(text, text_pixels);
    cairo_set_source_rgb(cr, grey, grey, grey);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout.get());
}

}  // namespace

void draw_status(cairo_t* cr, FontBook& fonts, const StatusLines& lines, double width, double top) {
    cairo_set_source_rgb(cr, 0.08, 0.08, 0.09);
    cairo_rectangle(cr, 0, top, width, status_height);
    cairo_fill(cr);
    show_text(cr, fonts, lines.state, 6, top + 3, 0.78);
    show_text(cr, fonts, lines.latest, 6, top + 17, 0.6);
    if (!lines.hint.empty()) show_text(cr, fonts, lines.hint, width - 58, top + 17, 0.45);
}

void draw_help(cairo_t* cr, FontBook& fonts, const std::string& title, const std::vector<HelpLine>& keys,
               const std::string& footer, double width, double height) {
    // Lines closer together where the panel is too low for them all, so the footer stays inside.
    const double line = std::min(15.0, (height - 50.0) / (keys.size() + 2.0));
    const double box_height = 24 + line * (keys.size() + 3);
    const double box_width = std::min(width - 20.0, 420.0), left = (width - box_width) / 2;
    cairo_set_source_rgba(cr, 0.02, 0.02, 0.03, 0.9);
    cairo_rectangle(cr, left, 10, box_width, std::min(box_height, height - 20.0));
    cairo_fill(cr);
    double y = 18;
    show_text(cr, fonts, title, left + 12, y, 1.0);
    y += line * 1.5;
    for (const HelpLine& key : keys) {
        show_text(cr, fonts, key.keys, left + 12, y, 0.95);
        show_text(cr, fonts, key.meaning, left + 120, y, 0.8);
        y += line;
    }
    show_text(cr, fonts, footer, left + 12, y + line * 0.5, 0.8);
}

}  // namespace panel::render
