// Draws one gauge's face as the panel host draws it, from nothing but the gauge's records and
// its element states, so a gauge running in another process is drawn by the same code.
// Talks to cairo.
//
// Done: static images, icon frames by the callback's result, slider offsets, hidden elements
// left out, pure black transparent, strings in their box in their colour and face, night
// lighting (unlit elements darkened). Not done: the records' second and third colours
// (color_b, color_c), which no face depends on.
#pragma once

#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bitmap_source.h"
#include "cairo_handles.h"
#include "dib_surface.h"
#include "fonts.h"
#include "gauge_instance.h"

namespace panel::render {

struct DrawOptions {
    bool night = false;  // unlit elements darkened, lit ones (bit 0x4) at full brightness
};

// The largest pixel density a face is drawn at.
inline constexpr double max_scale = 4.0;

// What night lighting leaves of an unlit element's brightness.
inline constexpr double NIGHT_BRIGHTNESS = 0.3;

class GaugeRenderer {
public:
    // Converts every bitmap the records name once. Throws RenderError
    // "MODULE: element N: bitmap 0x1234 is missing" for a missing picture (an icon's frames
    // above the first may be missing: they draw nothing), and for an element it cannot draw; a
    // bitmap that cannot be read passes on the source's BitmapError. `fonts` must outlive the
    // renderer. At a `scale` above 1 (a screen's pixel density) the face is drawn that much
    // larger: its bitmaps enlarged smoothly once, its texts laid out anew at the larger size, so
    // that they are as sharp as the screen allows.
    GaugeRenderer(const GaugeRecords& records, BitmapSource& bitmaps, FontBook& fonts, double scale = 1.0);
    ~GaugeRenderer();
    GaugeRenderer(const GaugeRenderer&) = delete;
    GaugeRenderer& operator=(const GaugeRenderer&) = delete;

    // The background's (element 1's) size, at the scale.
    int width() const { return width_; }
    int height() const { return height_; }
    double scale() const { return scale_; }
    // The background's size in its own pixels, whatever the scale.
    int face_width() const { return face_width_; }
    int face_height() const { return face_height_; }

    // Draws the face at the origin of `cr`, element after element in chain order. `states` has
    // one state per element of the records; a different count throws RenderError.
    void draw(cairo_t* cr, const std::vector<ElementState>& states, DrawOptions options = {});
    // How many pictures (bitmaps and texts) the last draw painted. Once a face's texts are laid
    // out the renderer allocates nothing per frame; cairo's image compositor still allocates
    // two short-lived objects for each picture it paints.
    int pictures_painted() const { return pictures_painted_; }

private:
    struct Text;
    struct Item {
        uint32_t kind = 0;
        int x = 0, y = 0;
        uint32_t frame_count = 0;
        std::vector<const Sprite*> frames;  // nullptr: a frame without a bitmap
        double x_scale = 0.0, y_scale = 0.0;
        std::unique_ptr<Text> text;
    };

    const Sprite* sprite(BitmapSource& bitmaps, uint32_t id);
    // A face coordinate at the scale: whole pixels, so enlarged pictures are not resampled again.
    double scaled(double position) const { return scale_ == 1.0 ? position : std::round(position * scale_); }
    // Positions are doubles: a record's coordinates plus an offset may pass the range of int.
    void paint(cairo_t* cr, cairo_surface_t* surface, double x, double y, bool darken);
    void paint(cairo_t* cr, const Sprite* sprite, double x, double y, bool darken);
    void draw_text(cairo_t* cr, Item& item, const ElementState& state, bool darken);
    void lay_out(Text& text, const char* bytes);

    std::string module_;
    FontBook* fonts_;
    double scale_;
    std::map<uint32_t, Sprite> sprites_;
    std::vector<Item> items_;
    int width_ = 0, height_ = 0;
    int face_width_ = 0, face_height_ = 0;
    int pictures_painted_ = 0;
};

}  // namespace panel::render
