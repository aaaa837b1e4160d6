// Where the fly window opens and how large, decided from what window.conf saved and the
// displays' usable bounds alone (no SDL here), so that a damaged or stale file can never open a
// window off every screen, or larger than a screen or SDL can take.
#pragma once

#include <optional>
#include <span>

#include "window_settings.h"

namespace panel::window {

// A rectangle in the desktop's coordinates, as SDL gives a display's usable bounds.
struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
};

struct WindowPlacement {
    int display = 0;
    bool centred = true;  // centred on `display`; otherwise at x, y
    int x = 0, y = 0;
    int width = 0, height = 0;
    bool operator==(const WindowPlacement&) const = default;
};

// SDL refuses a window wider or taller than this.
constexpr int MAX_WINDOW_SIDE = 16384;

// A window for a picture of `width` x `height`. A display asked for (`asked`, known to exist)
// wins over what was saved: centred there at the picture's size. Otherwise the saved size when
// the display it lands on can take it, else the picture's; the saved place when enough of the
// window shows on some display, else the nearest place on the saved display (display 0 when that
// one is gone). `displays` holds each display's usable bounds, in SDL's order.
WindowPlacement place_window(const WindowSettings& saved, int width, int height, std::optional<int> asked,
                             std::span<const ScreenRect> displays);

}  // namespace panel::window
