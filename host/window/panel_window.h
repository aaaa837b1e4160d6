// One SDL2 window showing the panel, or one window of it with the status lines: the window, its
// scaled picture, the mouse cursors, the keyboard and the screens, and SDL's events for it
// turned into the front ends' plain input.
//
// Done: a resizable window that keeps the picture's proportions with smooth scaling, full
// screen, a chosen display, the cursor over each kind of mouse area, the keys of the cockpit.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "front_end.h"
#include "input_queue.h"
#include "window_settings.h"

union SDL_Event;

namespace panel::window {

class WindowError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct KeyHelp {
    std::string keys;
    std::string meaning;
};
// Every key the window knows, for --help and the help overlay.
std::vector<KeyHelp> key_help();

using frontend::CursorShape;

// The part of the picture a window shows: one window of the panel.cfg, with the status lines
// under it.
struct Crop {
    int x = 0, y = 0, width = 0, height = 0;  // the panel window's area
    int status_y = 0, status_height = 0;      // the status lines' rows
};

class PanelWindow {
public:
    // A window for a picture of `width` x `height` (or the part `crop` of it), placed as
    // place_window() decides from `settings` and the displays (centred on `display` when one is
    // asked for). Throws WindowError with one line when no window can be opened.
    PanelWindow(const std::string& title, int width, int height, const WindowSettings& settings,
                std::optional<int> display, std::optional<Crop> crop = std::nullopt);
    ~PanelWindow();
    PanelWindow(const PanelWindow&) = delete;
    PanelWindow& operator=(const PanelWindow&) = delete;

    // Shows `picture` (an image surface of the window's picture size), scaled to the window.
    void present(cairo_surface_t* picture);
    // What an event of this window means, reported as from `from`: points mapped to picture
    // pixels, and only those inside the picture reported. Events of other windows are left.
    void translate(const SDL_Event& event, frontend::InputQueue& input, frontend::FrontEnd* from);
    void set_cursor(CursorShape shape);
    void toggle_full_screen();
    void hide();
    // SDL's number for the window, which its events carry.
    uint32_t id() const;
    // Where the window stands now, to be saved.
    WindowSettings settings() const;

private:
    struct Sdl;
    std::optional<std::pair<double, double>> to_picture(int x, int y) const;

    std::unique_ptr<Sdl> sdl_;
    int width_, height_;
    Crop crop_;
    int shown_width_, shown_height_;  // of the picture's rows it shows
    bool full_screen_ = false;
    CursorShape cursor_ = CursorShape::arrow;
};

}  // namespace panel::window
