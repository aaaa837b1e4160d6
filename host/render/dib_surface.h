// A gauge bitmap as a cairo image surface, pure black (0, 0, 0) made fully transparent, the
// host's rule for every element picture. Talks to cairo.
#pragma once

#include "cairo_handles.h"
#include "dib_reader.h"

namespace panel::render {

// The whole bitmap as an ARGB32 surface.
SurfacePtr surface_from_dib(const DibImage& image);

// The bitmap cut down to the rectangle around its drawn (not pure black) pixels, which stands
// at (dx, dy) within the bitmap: overlays that are mostly transparent cost only what they draw.
// A bitmap with nothing drawn has no surface.
struct Sprite {
    SurfacePtr surface;
    int dx = 0, dy = 0;
    int width = 0, height = 0;  // of the whole bitmap
};
Sprite sprite_from_dib(const DibImage& image);

}  // namespace panel::render
