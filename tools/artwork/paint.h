// The parts both faces are built from: bezel, screws, push buttons, knobs, lamps, recesses,
// and the ways a drawn face becomes overlay bitmaps.
#pragma once

#include <functional>

#include "canvas.h"

namespace artwork {

// The palette of the hardware.
constexpr Rgb BEZEL_TOP{54, 55, 59};
constexpr Rgb BEZEL_BOTTOM{33, 34, 37};
constexpr Rgb EDGE_LIGHT{96, 98, 104};
constexpr Rgb EDGE_DARK{12, 12, 14};
constexpr Rgb LEGEND{196, 197, 193};
constexpr Rgb LEGEND_LIT{255, 250, 232};
constexpr Rgb WINDOW{6, 6, 7};  // the display glass: near-black, never transparent
constexpr Rgb READOUT_RED{223, 40, 43};

// Readout glyphs are taken to stand with their baseline this far below the element's y and
// to be about READOUT_CAP pixels tall; the painted screen lettering lines up with them.
constexpr double READOUT_BASELINE = 16.0;
constexpr double READOUT_CAP = 11.0;

void fill_vertical_gradient(cairo_t* cr, double x, double y, double w, double h, Rgb top, Rgb bottom);
// A raised panel edge: light top-left, dark bottom-right.
void bevel(cairo_t* cr, double x, double y, double w, double h, double r, double width);
// A recess cut into the panel (the display windows): dark top-left lip, light bottom-right.
void recess(cairo_t* cr, double x, double y, double w, double h, double lip);
// A whole face's bezel (rounded by `corner`, graded, bevelled) with its recessed display
// window of near-black glass.
void bezel_with_window(cairo_t* cr, double w, double h, double corner, double window_x, double window_y,
                       double window_w, double window_h);
void screw(cairo_t* cr, double cx, double cy, double r, double slot_angle);
// A rubber push button; the legend is drawn by the caller so that it can be lit.
void button_body(cairo_t* cr, double x, double y, double w, double h);
void button_legend(cairo_t* cr, const Fonts& fonts, double x, double y, double w, double h, std::string_view legend,
                   bool lit, double size = 9.0);
// A knurled knob seen from the front, light from the top left.
void knob(cairo_t* cr, double cx, double cy, double r, Rgb body, int ridges);
// A pointer line on a knob at `angle` radians (0 to the right, counter-clockwise up).
void knob_pointer(cairo_t* cr, double cx, double cy, double inner, double outer, double angle, Rgb colour,
                  double width);
void soft_shadow(cairo_t* cr, double cx, double cy, double r, double dx, double dy);
// A round-cornered lamp lens; lit lenses glow in `lit_colour`, dark ones show a dim tint.
void lamp(cairo_t* cr, double x, double y, double w, double h, Rgb lit_colour, bool lit);

// Pixels of `top` that differ from `base` stay, every other one becomes transparent.
Image difference(const Image& base, const Image& top);
// Pixels for which `keep` is false become transparent.
Image keep_where(Image image, const std::function<bool(int, int)>& keep);
bool inside_circle(int x, int y, double cx, double cy, double r);

// Font size that gives the readout cap height in the display lettering.
double segment_size(cairo_t* cr, const Fonts& fonts, double cap);

}  // namespace artwork
