// Owning handles for the cairo and Pango objects the renderer keeps (cairo, Pango, GLib).
#pragma once

#include <cairo.h>
#include <glib-object.h>
#include <pango/pango.h>

#include <memory>

namespace panel::render {

struct SurfaceRelease {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextRelease {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
struct GObjectRelease {
    void operator()(void* object) const { g_object_unref(object); }
};
struct FontDescriptionRelease {
    void operator()(PangoFontDescription* description) const { pango_font_description_free(description); }
};

using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceRelease>;
using CairoPtr = std::unique_ptr<cairo_t, ContextRelease>;
using LayoutPtr = std::unique_ptr<PangoLayout, GObjectRelease>;
using FontMapPtr = std::unique_ptr<PangoFontMap, GObjectRelease>;
using PangoContextPtr = std::unique_ptr<PangoContext, GObjectRelease>;
using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, FontDescriptionRelease>;

}  // namespace panel::render
