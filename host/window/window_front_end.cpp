#include "window_front_end.h"

#include <SDL2/SDL.h>
#include <cairo.h>

#include <algorithm>

namespace panel::window {
namespace {

WindowSettings saved(const WindowPlace& place) {
    return place.settings ? load_window_settings(*place.settings) : WindowSettings{};
}

}  // namespace

WindowFrontEnd::WindowFrontEnd(SdlEventPump& events, const std::string& title, int width, int height,
                               const WindowPlace& place)
    : WindowFrontEnd(events, width, height, {WindowPart{title, std::nullopt, place}}) {}

WindowFrontEnd::WindowFrontEnd(SdlEventPump& events, int width, int height, const std::vector<WindowPart>& parts)
    : events_(events) {
    for (const WindowPart& part : parts) {
        WindowSettings settings = saved(part.place);
        std::optional<int> display = part.place.display;
        if (!settings.placed && !windows_.empty()) {
            // Not placed before: under the window before it, not hidden behind it, unless its
            // file names a screen of its own.
            const WindowSettings before = windows_.back().window->settings();
            if (before.placed && before.display == display.value_or(settings.display)) {
                settings = {
                    .x = before.x, .y = before.y + before.height + 32, .display = before.display, .placed = true};
                display.reset();
            }
        }
        windows_.push_back({std::make_unique<PanelWindow>(part.title, width, height, settings, display, part.crop),
                            part.place.settings});
    }
    listening_ = events_.listen([this](const SDL_Event& event) { take(event); });
}

WindowFrontEnd::~WindowFrontEnd() {
    events_.forget(listening_);
    for (const Open& open : windows_) {
        if (open.settings) save_window_settings(*open.settings, open.window->settings());
    }
}

frontend::Capabilities WindowFrontEnd::capabilities() const {
    return {.pictures = true,
            .cursors = true,
            .wheel = true,
            .keys = true,
            .full_screen = true,
            .several_windows = windows_.size() > 1};
}

void WindowFrontEnd::take(const SDL_Event& event) {
    for (size_t i = 0; i < windows_.size(); ++i) {
        Open& open = windows_[i];
        const uint32_t id = open.window->id();
        if (event.type == SDL_KEYDOWN && event.key.windowID == id) focused_ = i;
        // One of several closed: hidden, and the flight ends with the last.
        if (windows_.size() > 1 && event.type == SDL_WINDOWEVENT && event.window.windowID == id &&
            event.window.event == SDL_WINDOWEVENT_CLOSE) {
            open.closed = true;
            open.window->hide();
            if (std::all_of(windows_.begin(), windows_.end(), [](const Open& each) { return each.closed; }))
                pending_.push(frontend::InputEvent::closed(this));
            continue;
        }
        open.window->translate(event, pending_, this);
        if (event.type == SDL_QUIT) break;  // once, not once a window
    }
}

void WindowFrontEnd::show(const frontend::FinishedFrame& frame) {
    if (!frame.picture.pixels) return;
    // The picture is only read: cairo wraps it for the upload without copying.
    cairo_surface_t* picture =
        cairo_image_surface_create_for_data(const_cast<unsigned char*>(frame.picture.pixels), CAIRO_FORMAT_ARGB32,
                                            frame.picture.width, frame.picture.height, frame.picture.stride);
    for (Open& open : windows_) {
        if (!open.closed) open.window->present(picture);
    }
    cairo_surface_destroy(picture);
}

void WindowFrontEnd::poll(frontend::InputQueue& input) {
    events_.pump();
    pending_.take(taken_);
    for (frontend::InputEvent& event : taken_) input.push(std::move(event));
}

void WindowFrontEnd::set_cursor(frontend::CursorShape shape) {
    for (Open& open : windows_) open.window->set_cursor(shape);
}

}  // namespace panel::window
