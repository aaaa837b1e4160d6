// The window `panelhost fly` shows the panel in. Talks to SDL2: the window, its scaled picture,
// the mouse cursors, the keyboard and the screens. Nothing else in the host does.
//
// Done: a resizable window that keeps the picture's proportions with smooth scaling, full
// screen, a chosen display, the cursor over each kind of mouse area, the keys of the cockpit.
#pragma once

#include <cairo.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "window_settings.h"

namespace panel::app {

class WindowError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the keys of the cockpit do.
enum class Action {
    heading_left, heading_right, climb, descend, faster_aircraft, slower_aircraft,
    pause, faster_time, slower_time, supply, night, screenshot, full_screen, help, quit,
};

struct KeyHelp {
    std::string keys;
    std::string meaning;
};
// Every key the window knows, for --help and the help overlay.
std::vector<KeyHelp> key_help();

// The shapes a mouse area's cursor code turns into.
enum class CursorShape { arrow, turn_right, turn_left, push };

struct WindowEvent {
    enum class Kind { quit, action, click, wheel, motion } kind = Kind::quit;
    Action action = Action::quit;
    double x = 0.0, y = 0.0;  // click, wheel, motion: in the picture's pixels
    int notches = 0;          // wheel: up positive
};

class PanelWindow {
public:
    // A window for a picture of `width` x `height`, placed as `settings` says (or centred on
    // `display`). Throws WindowError with one line when no window can be opened.
    PanelWindow(const std::string& title, int width, int height, const WindowSettings& settings,
                std::optional<int> display);
    ~PanelWindow();
    PanelWindow(const PanelWindow&) = delete;
    PanelWindow& operator=(const PanelWindow&) = delete;

    // Shows `picture` (an image surface of the window's picture size), scaled to the window.
    void present(cairo_surface_t* picture);
    // Everything that happened since the last call; points mapped to picture pixels, and only
    // those inside the picture reported.
    std::vector<WindowEvent> poll();
    void set_cursor(CursorShape shape);
    void toggle_full_screen();
    // Where the window stands now, to be saved.
    WindowSettings settings() const;

private:
    struct Sdl;
    std::optional<std::pair<double, double>> to_picture(int x, int y) const;

    std::unique_ptr<Sdl> sdl_;
    int width_, height_;
    bool full_screen_ = false;
    CursorShape cursor_ = CursorShape::arrow;
};

}  // namespace panel::app
