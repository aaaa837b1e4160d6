#include "window_placement.h"

#include <algorithm>

namespace panel::window {
namespace {

// Enough of a window to see it and take hold of it.
constexpr int MIN_SHOWN_WIDTH = 64, MIN_SHOWN_HEIGHT = 32;

bool shows_on(const ScreenRect& screen, int x, int y, int width, int height) {
    // In 64 bits: a saved place far out plus a size must not wrap round onto a screen.
    const long long left = std::max<long long>(x, screen.x), top = std::max<long long>(y, screen.y);
    const long long right =
        std::min<long long>(static_cast<long long>(x) + width, static_cast<long long>(screen.x) + screen.width);
    const long long bottom =
        std::min<long long>(static_cast<long long>(y) + height, static_cast<long long>(screen.y) + screen.height);
    return right - left >= std::min(width, MIN_SHOWN_WIDTH) && bottom - top >= std::min(height, MIN_SHOWN_HEIGHT);
}

// `at` moved the least that puts [at, at + extent) inside [from, from + room); the start when it
// cannot fit.
int nearest_inside(int at, int extent, int from, int room) {
    if (extent >= room) return from;
    return std::clamp(at, from, from + room - extent);
}

}  // namespace

WindowPlacement place_window(const WindowSettings& saved, int width, int height, std::optional<int> asked,
                             std::span<const ScreenRect> displays) {
    WindowPlacement placement{.width = width, .height = height};
    if (asked) {
        placement.display = *asked;
        return placement;
    }
    const bool known = saved.display >= 0 && static_cast<size_t>(saved.display) < displays.size();
    if (known) placement.display = saved.display;
    if (displays.empty()) return placement;
    const ScreenRect& screen = displays[static_cast<size_t>(placement.display)];

    const int wanted_width = saved.width > 0 ? saved.width : width;
    const int wanted_height = saved.height > 0 ? saved.height : height;
    if (wanted_width <= std::min(screen.width, MAX_WINDOW_SIDE) &&
        wanted_height <= std::min(screen.height, MAX_WINDOW_SIDE)) {
        placement.width = wanted_width;
        placement.height = wanted_height;
    }
    if (!saved.placed || !known) return placement;

    placement.centred = false;
    const bool shows = std::any_of(displays.begin(), displays.end(), [&](const ScreenRect& any) {
        return shows_on(any, saved.x, saved.y, placement.width, placement.height);
    });
    placement.x = shows ? saved.x : nearest_inside(saved.x, placement.width, screen.x, screen.width);
    placement.y = shows ? saved.y : nearest_inside(saved.y, placement.height, screen.y, screen.height);
    return placement;
}

}  // namespace panel::window
