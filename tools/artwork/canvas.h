// Drawing with cairo, lettering with FreeType faces loaded from the Debian font packages by
// path, so the pictures never depend on what else the machine has installed.
#pragma once

#include <cairo.h>

#include <array>
#include <string>
#include <string_view>

#include "image.h"

namespace artwork {

enum class Font {
    Sans,         // DejaVu Sans
    SansBold,     // DejaVu Sans Bold
    NarrowBold,   // Liberation Sans Narrow Bold: painted legends
    PlateItalic,  // Liberation Sans Bold Italic: name plates
    Segment,      // DSEG14 Classic: the red display lettering
    SegmentBold,  // DSEG7 Classic Bold: the sample figures of the confirmation screen
};
constexpr size_t FONT_COUNT = 6;

class Fonts {
public:
    Fonts();  // throws std::runtime_error naming a missing font file and its package
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    cairo_font_face_t* face(Font font) const { return faces_[static_cast<size_t>(font)]; }

private:
    void* library_ = nullptr;  // FT_Library
    std::array<void*, FONT_COUNT> ft_faces_{};
    std::array<cairo_font_face_t*, FONT_COUNT> faces_{};
};

enum class Align { Left, Centre, Right };

struct TextStyle {
    Font font = Font::SansBold;
    double size = 8.0;  // pixels per em
    Rgb colour{220, 220, 220};
    double tracking = 0.0;  // extra pixels between letters
};

// A drawing surface, transparent at the start.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Every pixel as drawn, taken as opaque; pure black becomes near-black (4, 4, 4) so that
    // nothing of the picture reads as transparent.
    Image opaque() const;
    // Undrawn pixels become pure black (transparent); drawn ones are blended over `backdrop`,
    // the colour they will stand on, and never come out pure black.
    Image overlay(Rgb backdrop) const;
    // Only the pixels inside `mask` (anything drawn on it) are kept, the rest is transparent.
    Image masked(const Canvas& mask) const;
    void draw_image(const Image& image, int x, int y, bool skip_transparent);
    void write_png(const std::string& path) const;

private:
    int width_, height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

constexpr Rgb NEAR_BLACK{4, 4, 4};

void set_colour(cairo_t* cr, Rgb colour, double alpha = 1.0);
void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r);
double text_width(cairo_t* cr, const Fonts& fonts, const TextStyle& style, std::string_view text);
// Draws `text` with its baseline at `baseline`; `x` is its left edge, centre or right edge.
void draw_text(cairo_t* cr, const Fonts& fonts, const TextStyle& style, double x, double baseline,
               std::string_view text, Align align = Align::Left);
// Height of a capital letter above the baseline.
double cap_height(cairo_t* cr, const Fonts& fonts, const TextStyle& style);

}  // namespace artwork
