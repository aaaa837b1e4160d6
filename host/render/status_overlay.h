// What the host says over and under the panel in a window: two status lines under the picture
// (the source's state, then the last thing a gauge asked for or the host's own word) and the
// help over it, drawn in the host's own face from the font book.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

#include "fonts.h"

namespace panel::render {

// The height of the status lines, in picture pixels.
constexpr int status_height = 32;

struct StatusLines {
    std::string state;   // the first line
    std::string latest;  // the second
    std::string hint;    // at the second line's right end ("F1: keys")
};

struct HelpLine {
    std::string keys;
    std::string meaning;
};

// Draws the lines into the band of `width` from `top` down.
void draw_status(cairo_t* cr, FontBook& fonts, const StatusLines& lines, double width, double top);
// Draws the help box over a picture of `width` x `height`: a title, a line per key, a footer.
void draw_help(cairo_t* cr, FontBook& fonts, const std::string& title, const std::vector<HelpLine>& keys,
               const std::string& footer, double width, double height);

}  // namespace panel::render
