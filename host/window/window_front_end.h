// The panel in SDL2 windows: the picture scaled in proportion, cursors by area, wheel notches,
// the cockpit's keys, full screen, each window's place and size remembered between runs. One
// window shows the whole panel, or each window of the panel.cfg has one of its own.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "front_end.h"
#include "input_queue.h"
#include "panel_window.h"
#include "sdl_event_pump.h"

namespace panel::window {

struct WindowPlace {
    std::optional<int> display;                     // the screen asked for, over the place remembered
    std::optional<std::filesystem::path> settings;  // where the place is remembered, if anywhere
};

// One OS window: what it is called, the part of the picture it shows (all of it when none) and
// where it goes.
struct WindowPart {
    std::string title;
    std::optional<Crop> crop;
    WindowPlace place;
};

class WindowFrontEnd final : public frontend::FrontEnd {
public:
    // A window for pictures of `width` x `height`. Throws WindowError with one line when none
    // can be opened.
    WindowFrontEnd(SdlEventPump& events, const std::string& title, int width, int height, const WindowPlace& place);
    // A window for each part: closing one hides it, closing the last ends the flight.
    WindowFrontEnd(SdlEventPump& events, int width, int height, const std::vector<WindowPart>& parts);
    ~WindowFrontEnd() override;
    WindowFrontEnd(const WindowFrontEnd&) = delete;
    WindowFrontEnd& operator=(const WindowFrontEnd&) = delete;

    frontend::Capabilities capabilities() const override;
    void show(const frontend::FinishedFrame& frame) override;
    void poll(frontend::InputQueue& input) override;
    void set_cursor(frontend::CursorShape shape) override;
    // The window the last key came from.
    void toggle_full_screen() override { windows_.at(focused_).window->toggle_full_screen(); }
    uint32_t window_id(size_t window = 0) const { return windows_.at(window).window->id(); }
    size_t windows() const { return windows_.size(); }

private:
    struct Open {
        std::unique_ptr<PanelWindow> window;
        std::optional<std::filesystem::path> settings;
        bool closed = false;
    };
    void take(const SDL_Event& event);

    SdlEventPump& events_;
    std::vector<Open> windows_;
    size_t focused_ = 0;
    // What the pump brought for these windows, whoever's poll pumped it.
    frontend::InputQueue pending_;
    std::vector<frontend::InputEvent> taken_;
    int listening_ = 0;
};

}  // namespace panel::window
