// The one place that says which installed font draws each face a gauge names, at what size,
// and where its text stands. Talks to Pango and, through it, fontconfig.
//
//   "Glass"        -> DSEG14 Classic    (fonts-dseg; the segment face the artwork previews use)
//   "Quartz"       -> DSEG7 Classic     (fonts-dseg; seven-segment figures, bold at weight 400)
//   "Courier New"  -> Liberation Mono   (fonts-liberation; metric-compatible)
//   any other name -> DejaVu Sans Mono  (fonts-dejavu-core), as the host's own words are drawn
//
// A character a face lacks ('>' in the seven-segment face, '#' or '[' in both segment faces) is
// drawn from DejaVu Sans Mono rather than shown as a box, and so is '>' in the fourteen-segment
// face, whose own sketch of it reads as '\'.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>

#include "cairo_handles.h"

namespace panel::render {

// How one face name of the gauges is drawn.
struct TextFace {
    std::string family;              // the installed family that draws it
    FontDescriptionPtr description;  // the family with its fallback, the weight, the pixel size
    int baseline = 16;               // pixels from the element's y down to the text's baseline
    double tracking = 0.0;           // extra pixels between letters
};

class FontBook {
public:
    // Throws RenderError naming a font that is not installed and its Debian package.
    FontBook();
    FontBook(const FontBook&) = delete;
    FontBook& operator=(const FontBook&) = delete;

    // The face for a record's font name and weight (400 normal, 100 thin), measured once; at a
    // `scale` above 1 its size, baseline and tracking are those of a face drawn that much larger.
    const TextFace& face(std::string_view name, uint32_t weight, double scale = 1.0);
    // A one-line layout in `face`. Layouts must not outlive the book.
    LayoutPtr layout(const TextFace& face) const;
    // Sets a gauge's text (Windows-1252 bytes) into a layout made for `face`.
    void set_text(PangoLayout* layout, const TextFace& face, std::string_view bytes) const;
    // A layout of the host's own words (status lines, help), UTF-8, `pixels` high, in the face
    // any other name gets.
    LayoutPtr host_text(std::string_view utf8, double pixels) const;

private:
    FontMapPtr font_map_;
    PangoContextPtr context_;
    std::map<std::tuple<std::string, uint32_t, double>, std::unique_ptr<TextFace>> faces_;
};

}  // namespace panel::render
