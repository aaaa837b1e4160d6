// The panel in an SDL2 window. Done: the picture scaled in proportion, cursors by area, wheel
// notches, the cockpit's keys, full screen, the place and size remembered between runs. Not
// yet: one window per window of the panel.cfg (the panel's windows are stacked in one).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "front_end.h"
#include "input_queue.h"
#include "panel_window.h"
#include "sdl_event_pump.h"

namespace panel::window {

struct WindowPlace {
    std::optional<int> display;                     // the screen asked for, over the place remembered
    std::optional<std::filesystem::path> settings;  // where the place is remembered, if anywhere
};

class WindowFrontEnd final : public frontend::FrontEnd {
public:
    // A window for pictures of `width` x `height`. Throws WindowError with one line when none
    // can be opened.
    WindowFrontEnd(SdlEventPump& events, const std::string& title, int width, int height, const WindowPlace& place);
    ~WindowFrontEnd() override;
    WindowFrontEnd(const WindowFrontEnd&) = delete;
    WindowFrontEnd& operator=(const WindowFrontEnd&) = delete;

    frontend::Capabilities capabilities() const override;
    void show(const frontend::FinishedFrame& frame) override;
    void poll(frontend::InputQueue& input) override;
    void set_cursor(frontend::CursorShape shape) override { window_.set_cursor(shape); }
    void toggle_full_screen() override { window_.toggle_full_screen(); }
    uint32_t window_id() const { return window_.id(); }

private:
    SdlEventPump& events_;
    std::optional<std::filesystem::path> settings_;
    PanelWindow window_;
    // What the pump brought for this window, whoever's poll pumped it.
    frontend::InputQueue pending_;
    std::vector<frontend::InputEvent> taken_;
    int listening_ = 0;
};

}  // namespace panel::window
