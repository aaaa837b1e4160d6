#include "window_front_end.h"

#include <cairo.h>

namespace panel::window {
namespace {

WindowSettings saved(const WindowPlace& place) {
    return place.settings ? load_window_settings(*place.settings) : WindowSettings{};
}

}  // namespace

WindowFrontEnd::WindowFrontEnd(SdlEventPump& events, const std::string& title, int width, int height,
                               const WindowPlace& place)
    : events_(events), settings_(place.settings), window_(title, width, height, saved(place), place.display) {
    listening_ = events_.listen([this](const SDL_Event& event) { window_.translate(event, pending_, this); });
}

WindowFrontEnd::~WindowFrontEnd() {
    events_.forget(listening_);
    if (settings_) save_window_settings(*settings_, window_.settings());
}

frontend::Capabilities WindowFrontEnd::capabilities() const {
    return {.pictures = true, .cursors = true, .wheel = true, .keys = true, .full_screen = true};
}

void WindowFrontEnd::show(const frontend::FinishedFrame& frame) {
    if (!frame.picture.pixels) return;
    // The picture is only read: cairo wraps it for the upload without copying.
    cairo_surface_t* picture =
        cairo_image_surface_create_for_data(const_cast<unsigned char*>(frame.picture.pixels), CAIRO_FORMAT_ARGB32,
                                            frame.picture.width, frame.picture.height, frame.picture.stride);
    window_.present(picture);
    cairo_surface_destroy(picture);
}

void WindowFrontEnd::poll(frontend::InputQueue& input) {
    events_.pump();
    pending_.take(taken_);
    for (frontend::InputEvent& event : taken_) input.push(std::move(event));
}

}  // namespace panel::window
