// Talks to cairo and FreeType; the picture code only sees Canvas, Fonts and the helpers.
#include "canvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <stdexcept>

namespace artwork {

namespace {

struct FontFile {
    const char* path;
    const char* package;
};

constexpr std::array<FontFile, FONT_COUNT> FONT_FILES = {{
    {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "fonts-dejavu-core"},
    {"/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", "fonts-dejavu-core"},
    {"/usr/share/fonts/truetype/liberation/LiberationSansNarrow-Bold.ttf", "fonts-liberation"},
    {"/usr/share/fonts/truetype/liberation/LiberationSans-BoldItalic.ttf", "fonts-liberation"},
    {"/usr/share/fonts/truetype/dseg/DSEG14Classic-Regular.ttf", "fonts-dseg"},
    {"/usr/share/fonts/truetype/dseg/DSEG7Classic-Bold.ttf", "fonts-dseg"},
}};

void select_font(cairo_t* cr, const Fonts& fonts, const TextStyle& style) {
    cairo_set_font_face(cr, fonts.face(style.font));
    cairo_set_font_size(cr, style.size);
    // Fixed options: the output must not follow the machine's font configuration.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_subpixel_order(options, CAIRO_SUBPIXEL_ORDER_DEFAULT);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

uint8_t blend(uint32_t premultiplied, uint32_t alpha, uint8_t backdrop) {
    return static_cast<uint8_t>(premultiplied + (backdrop * (255 - alpha) + 127) / 255);
}

}  // namespace

Fonts::Fonts() {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) throw std::runtime_error("FreeType did not start");
    library_ = library;
    for (size_t i = 0; i < FONT_COUNT; ++i) {
        FT_Face face = nullptr;
        if (FT_New_Face(library, FONT_FILES[i].path, 0, &face) != 0)
            throw std::runtime_error(std::string("cannot load ") + FONT_FILES[i].path + " (Debian package " +
                                     FONT_FILES[i].package + ")");
        ft_faces_[i] = face;
        faces_[i] = cairo_ft_font_face_create_for_ft_face(face, 0);
    }
}

Fonts::~Fonts() {
    for (cairo_font_face_t* face : faces_)
        if (face) cairo_font_face_destroy(face);
    // cairo may keep scaled fonts cached until it is reset; reset it before the faces go.
    cairo_debug_reset_static_data();
    for (void* face : ft_faces_)
        if (face) FT_Done_Face(static_cast<FT_Face>(face));
    if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GRAY);
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

namespace {

template <typename Fn>
void each_pixel(cairo_surface_t* surface, int width, int height, Fn fn) {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x) fn(x, y, row[x]);
    }
}

}  // namespace

Image Canvas::opaque() const {
    Image out(width_, height_);
    each_pixel(surface_, width_, height_, [&](int x, int y, uint32_t p) {
        Rgb c{static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p)};
        out.at(x, y) = c == TRANSPARENT ? NEAR_BLACK : c;
    });
    return out;
}

Image Canvas::overlay(Rgb backdrop) const {
    Image out(width_, height_);
    each_pixel(surface_, width_, height_, [&](int x, int y, uint32_t p) {
        const uint32_t a = p >> 24;
        if (a == 0) return;
        Rgb c{blend((p >> 16) & 0xFF, a, backdrop.r), blend((p >> 8) & 0xFF, a, backdrop.g),
              blend(p & 0xFF, a, backdrop.b)};
        out.at(x, y) = c == TRANSPARENT ? NEAR_BLACK : c;
    });
    return out;
}

Image Canvas::masked(const Canvas& mask) const {
    Image out = opaque();
    each_pixel(mask.surface_, width_, height_, [&](int x, int y, uint32_t p) {
        if ((p >> 24) == 0) out.at(x, y) = TRANSPARENT;
    });
    return out;
}

void Canvas::draw_image(const Image& image, int x, int y, bool skip_transparent) {
    cairo_surface_flush(surface_);
    unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    for (int row = 0; row < image.height; ++row) {
        for (int col = 0; col < image.width; ++col) {
            const int tx = x + col, ty = y + row;
            if (tx < 0 || ty < 0 || tx >= width_ || ty >= height_) continue;
            const Rgb& p = image.at(col, row);
            if (skip_transparent && p == TRANSPARENT) continue;
            reinterpret_cast<uint32_t*>(data + ty * stride)[tx] =
                0xFF000000u | static_cast<uint32_t>(p.r) << 16 | p.g << 8 | p.b;
        }
    }
    cairo_surface_mark_dirty(surface_);
}

void Canvas::write_png(const std::string& path) const {
    if (cairo_surface_write_to_png(surface_, path.c_str()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + path);
}

void set_colour(cairo_t* cr, Rgb colour, double alpha) {
    cairo_set_source_rgba(cr, colour.r / 255.0, colour.g / 255.0, colour.b / 255.0, alpha);
}

void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

namespace {

// Calls `visit` with each whole UTF-8 sequence of `text` and its advance, one character at a
// time, so that tracking can be applied between characters.
template <typename Visit>
void for_each_character(cairo_t* cr, std::string_view text, Visit visit) {
    for (size_t i = 0; i < text.size();) {
        size_t n = 1;
        while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
        const std::string one(text.substr(i, n));
        cairo_text_extents_t extents;
        cairo_text_extents(cr, one.c_str(), &extents);
        visit(one, extents.x_advance);
        i += n;
    }
}

}  // namespace

double text_width(cairo_t* cr, const Fonts& fonts, const TextStyle& style, std::string_view text) {
    select_font(cr, fonts, style);
    double width = 0.0;
    bool first = true;
    for_each_character(cr, text, [&](const std::string&, double advance) {
        if (!first) width += style.tracking;
        width += advance;
        first = false;
    });
    return width;
}

void draw_text(cairo_t* cr, const Fonts& fonts, const TextStyle& style, double x, double baseline,
               std::string_view text, Align align) {
    const double width = text_width(cr, fonts, style, text);
    double pen = align == Align::Left ? x : align == Align::Centre ? x - width / 2 : x - width;
    pen = std::round(pen);
    set_colour(cr, style.colour);
    for_each_character(cr, text, [&](const std::string& one, double advance) {
        cairo_move_to(cr, pen, baseline);
        cairo_show_text(cr, one.c_str());
        pen += advance + style.tracking;
    });
}

double cap_height(cairo_t* cr, const Fonts& fonts, const TextStyle& style) {
    select_font(cr, fonts, style);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, "H", &extents);
    return -extents.y_bearing;
}

}  // namespace artwork
