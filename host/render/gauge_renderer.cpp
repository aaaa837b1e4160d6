#include "gauge_renderer.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "render_error.h"
#include "text_escape.h"

namespace panel::render {
namespace {

// Frame ids of one icon run from a multiple of 256 to the next.
constexpr uint32_t max_frames = 256;

// A slider's displacement along one axis: a result that is not a number, or whose product
// is not, leaves the slider at rest; any other is kept within the gauge.
int slider_offset(double value, double scale, int extent) {
    const double offset = value * scale;
    if (!std::isfinite(offset)) return 0;
    return static_cast<int>(std::lround(std::clamp(offset, -static_cast<double>(extent), static_cast<double>(extent))));
}

// The frame an icon's result asks for, or -1 when it names none.
int frame_of(double value, uint32_t frame_count) {
    if (!(value >= 0.0 && value < static_cast<double>(frame_count)) || value != std::floor(value)) return -1;
    return static_cast<int>(value);
}

// The picture `scale` times larger, smoothly, whole pixels on each side.
SurfacePtr enlarged(cairo_surface_t* picture, double scale) {
    const int width = static_cast<int>(std::ceil(cairo_image_surface_get_width(picture) * scale));
    const int height = static_cast<int>(std::ceil(cairo_image_surface_get_height(picture) * scale));
    SurfacePtr larger(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    CairoPtr cr(cairo_create(larger.get()));
    cairo_scale(cr.get(), scale, scale);
    cairo_set_source_surface(cr.get(), picture, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr.get()), CAIRO_FILTER_GOOD);
    // The edge pixels carry on outwards, so an opaque picture gets no faded rim.
    cairo_pattern_set_extend(cairo_get_source(cr.get()), CAIRO_EXTEND_PAD);
    cairo_paint(cr.get());
    cairo_surface_flush(larger.get());
    return larger;
}

}  // namespace

// A string element: its layout, and the text it last drew as a picture cut to the ink inside
// the box, so that an unchanged text costs one paint.
struct GaugeRenderer::Text {
    const TextFace* face = nullptr;
    LayoutPtr layout;
    int box_width = 0, box_height = 0;
    double red = 0, green = 0, blue = 0;
    std::array<char, GAUGE_TEXT_CAPACITY> laid_out{};
    bool ready = false;
    SurfacePtr picture;  // null: nothing to draw
    int dx = 0, dy = 0;  // where the picture stands from the element's x, y
};

GaugeRenderer::GaugeRenderer(const GaugeRecords& records, BitmapSource& bitmaps, FontBook& fonts, double scale)
    : module_(records.module.empty() ? records.name : records.module), fonts_(&fonts), scale_(scale) {
    if (!(scale >= 1.0 && scale <= max_scale))
        throw RenderError(module_ + ": a face cannot be drawn at scale " + format_double(scale));
    if (records.elements.empty()) throw RenderError(module_ + ": the gauge has no elements to draw");
    for (size_t i = 0; i < records.elements.size(); ++i) {
        const ElementRecord& record = records.elements[i];
        const std::string which = module_ + ": element " + std::to_string(i + 1) + ": ";
        auto required = [&](uint32_t id) {
            const Sprite* found = sprite(bitmaps, id);
            if (found == nullptr) throw RenderError(which + "bitmap " + hex_text(id) + " is missing");
            return found;
        };
        Item item;
        item.kind = record.kind;
        item.x = record.x;
        item.y = record.y;
        switch (record.kind) {
            case ELEMENT_STATIC_IMAGE:
            case ELEMENT_SLIDER:
                item.frames.push_back(required(record.resource_id));
                item.x_scale = record.x_scale;
                item.y_scale = record.y_scale;
                break;
            case ELEMENT_ICON:
                if (record.frame_count > max_frames)
                    throw RenderError(which + std::to_string(record.frame_count) + " frames, more than an icon has (" +
                                      std::to_string(max_frames) + ")");
                item.frame_count = record.frame_count;
                for (uint32_t k = 0; k < record.frame_count; ++k) {
                    // Three GPS icons count two frames but have one bitmap; the missing frame draws nothing.
                    const bool fits = record.resource_id <= UINT32_MAX - k;
                    item.frames.push_back(k == 0 ? required(record.resource_id)
                                          : fits ? sprite(bitmaps, record.resource_id + k)
                                                 : nullptr);
                }
                break;
            case ELEMENT_STRING: {
                auto text = std::make_unique<Text>();
                const TextFace& face = fonts.face(record.font_name, record.font_weight, scale);
                text->face = &face;
                text->layout = fonts.layout(face);
                text->box_width = static_cast<int>(scaled(std::max(record.box_width, 0)));
                text->box_height = static_cast<int>(scaled(std::max(record.box_height, 0)));
                text->red = (record.text_color & 0xFF) / 255.0;
                text->green = (record.text_color >> 8 & 0xFF) / 255.0;
                text->blue = (record.text_color >> 16 & 0xFF) / 255.0;
                item.text = std::move(text);
                break;
            }
            default: throw RenderError(which + "kind " + std::to_string(record.kind) + " cannot be drawn");
        }
        items_.push_back(std::move(item));
    }
    const Item& background = items_.front();
    if (background.frames.empty()) throw RenderError(module_ + ": element 1 is not a picture, so the face has no size");
    face_width_ = background.frames.front()->width;
    face_height_ = background.frames.front()->height;
    width_ = static_cast<int>(scaled(face_width_));
    height_ = static_cast<int>(scaled(face_height_));
}

GaugeRenderer::~GaugeRenderer() = default;

// Paints `surface` with its top-left corner at (x, y); a darkened one is then dimmed through
// its own shape, so its transparent pixels stay untouched.
void GaugeRenderer::paint(cairo_t* cr, cairo_surface_t* surface, double x, double y, bool darken) {
    cairo_set_source_surface(cr, surface, x, y);
    cairo_paint(cr);
    if (darken) {
        cairo_set_source_rgba(cr, 0.0, 0.0, 0.0, 1.0 - NIGHT_BRIGHTNESS);
        cairo_mask_surface(cr, surface, x, y);
    }
    ++pictures_painted_;
}

void GaugeRenderer::paint(cairo_t* cr, const Sprite* sprite, double x, double y, bool darken) {
    if (sprite != nullptr && sprite->surface)
        paint(cr, sprite->surface.get(), scaled(x + sprite->dx), scaled(y + sprite->dy), darken);
}

const Sprite* GaugeRenderer::sprite(BitmapSource& bitmaps, uint32_t id) {
    if (auto known = sprites_.find(id); known != sprites_.end()) return &known->second;
    const DibImage* image = bitmaps.find(id);
    if (image == nullptr) return nullptr;
    Sprite sprite = sprite_from_dib(*image);
    if (scale_ != 1.0 && sprite.surface) sprite.surface = enlarged(sprite.surface.get(), scale_);
    return &sprites_.emplace(id, std::move(sprite)).first->second;
}

void GaugeRenderer::draw(cairo_t* cr, const std::vector<ElementState>& states, DrawOptions options) {
    if (states.size() != items_.size())
        throw RenderError(module_ + ": " + std::to_string(states.size()) + " element states for " +
                          std::to_string(items_.size()) + " elements");
    pictures_painted_ = 0;
    for (size_t i = 0; i < items_.size(); ++i) {
        Item& item = items_[i];
        const ElementState& state = states[i];
        if (state.hidden()) continue;
        const bool darken = options.night && !state.lit();
        switch (item.kind) {
            case ELEMENT_STATIC_IMAGE: paint(cr, item.frames.front(), item.x, item.y, darken); break;
            case ELEMENT_ICON:
                if (const int frame = frame_of(state.value, item.frame_count); frame >= 0)
                    paint(cr, item.frames[static_cast<size_t>(frame)], item.x, item.y, darken);
                break;
            case ELEMENT_SLIDER:
                paint(cr, item.frames.front(),
                      static_cast<double>(item.x) + slider_offset(state.value, item.x_scale, width_),
                      static_cast<double>(item.y) + slider_offset(state.y_value, item.y_scale, height_), darken);
                break;
            case ELEMENT_STRING: draw_text(cr, item, state, darken); break;
        }
    }
}

void GaugeRenderer::draw_text(cairo_t* cr, Item& item, const ElementState& state, bool darken) {
    Text& text = *item.text;
    if (!text.ready || std::strncmp(text.laid_out.data(), state.text.data(), text.laid_out.size()) != 0)
        lay_out(text, state.text.data());
    if (text.picture) paint(cr, text.picture.get(), scaled(item.x) + text.dx, scaled(item.y) + text.dy, darken);
}

void GaugeRenderer::lay_out(Text& text, const char* bytes) {
    std::strncpy(text.laid_out.data(), bytes, text.laid_out.size() - 1);
    text.laid_out.back() = '\0';
    text.ready = true;
    fonts_->set_text(text.layout.get(), *text.face, text.laid_out.data());

    // The ink, with a pixel for the antialiased edge, in element coordinates, cut to the box.
    PangoRectangle ink;
    pango_layout_get_pixel_extents(text.layout.get(), &ink, nullptr);
    const int origin_y = text.face->baseline - PANGO_PIXELS(pango_layout_get_baseline(text.layout.get()));
    const int left = std::max(ink.x - 1, 0), top = std::max(origin_y + ink.y - 1, 0);
    const int right = std::min(ink.x + ink.width + 1, text.box_width);
    const int bottom = std::min(origin_y + ink.y + ink.height + 1, text.box_height);
    if (ink.width <= 0 || right <= left || bottom <= top) {
        text.picture.reset();
        return;
    }
    const int width = right - left, height = bottom - top;
    if (!text.picture || cairo_image_surface_get_width(text.picture.get()) != width ||
        cairo_image_surface_get_height(text.picture.get()) != height) {
        text.picture.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    }
    CairoPtr cr(cairo_create(text.picture.get()));
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr.get());
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_OVER);
    cairo_set_source_rgb(cr.get(), text.red, text.green, text.blue);
    cairo_move_to(cr.get(), -left, origin_y - top);
    pango_cairo_show_layout(cr.get(), text.layout.get());
    text.dx = left;
    text.dy = top;
}

}  // namespace panel::render
