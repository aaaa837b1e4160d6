// A flight in real time with front ends attached, as `panelhost fly` and `live` fly: the panel
// updated at its rate on the wall clock (faster, slower or paused from the keys), each finished
// frame drawn once and shown to every front end, what they report worked on the panel between
// updates, the status lines (the source's state, the last thing a gauge asked for), the help,
// screenshots and the cues aloud. An optional scenario drives the flight as `panelhost run`
// would; the flight flies on after it until a front end closes.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "autopilot_keys.h"
#include "cue_sounds.h"
#include "flight.h"
#include "frame_pacer.h"
#include "front_end.h"
#include "front_end_hub.h"
#include "panel_controls.h"
#include "panel_picture.h"
#include "scenario_script.h"
#include "status_overlay.h"

namespace panel::app {

struct RealTimeOptions {
    double rate = 18.0;  // panel updates per second of real time
    bool night = false;
    bool mute = false;
    std::optional<std::filesystem::path> sounds;  // the folder cue paths are relative to
    std::filesystem::path screenshots = "out";    // where F12 saves its pictures
    std::vector<render::HelpLine> keys;           // what the help shows: the keys of the front ends
};

class RealTimeFlight : private PanelObserver {
public:
    // `panel` must be driven by `variables`; all three outlive the flight.
    RealTimeFlight(const RealTimeOptions& options, Panel& panel, VariableStore& variables, FlightSource& source);
    ~RealTimeFlight() override;

    // The size of the pictures shown: the panel with its status lines under it.
    int width() const { return picture_.width(); }
    int height() const { return frame_height_; }
    // The panel's rows of the pictures (the status lines are under them), and where each window
    // of the panel.cfg lies in them.
    int panel_height() const { return picture_.height(); }
    const std::vector<render::Placement>& window_areas() const { return picture_.window_areas(); }
    std::string title() const;
    Flight& flight() { return flight_; }
    const PanelPicture& picture() const { return picture_; }
    const controls::PanelControls& controls() const { return controls_; }

    void attach(frontend::FrontEnd& front_end) { hub_.attach(front_end); }
    void detach(frontend::FrontEnd& front_end) { hub_.detach(front_end); }
    // Where a front end with a thread of its own reports, at any time.
    frontend::InputQueue& input() { return hub_.input(); }

    // Flies `script` (if any), then on until a front end closes. Returns 0, or 1 when the
    // script's expectations were not all met. Throws std::runtime_error for a script that
    // cannot run.
    int run(const std::optional<scenario::Script>& script, const std::string& script_name);

private:
    void after_frame();
    void show_frame();
    // `picture` lit so, with the status lines under it, into `into` (as large as the picture
    // and its status lines at its scale).
    void compose(cairo_surface_t* into, bool night, PanelPicture& picture);
    // The frame drawn again as a front end asks.
    frontend::PictureView redraw(frontend::PictureRequest request);
    std::string state_line();
    void handle(const std::vector<frontend::InputEvent>& events);
    void act(frontend::KeyAction key, frontend::FrontEnd* from);
    void phase_done(size_t gauge, Phase, const EventLog& log) override;

    RealTimeOptions options_;
    Panel& panel_;
    PanelPicture picture_;
    controls::PanelControls controls_;
    Flight flight_;
    FrontEndHub hub_;
    FramePacer pacer_;
    int frame_height_;
    render::SurfacePtr frame_;
    bool frame_drawn_ = false;  // by the last frame shown
    // The panel at the pixel densities front ends asked for, made on the first request, and the
    // frames drawn again for them, by density and lighting.
    std::map<double, std::unique_ptr<PanelPicture>> denser_;
    std::map<std::pair<double, bool>, render::SurfacePtr> redrawn_;
    std::vector<frontend::GaugeFrame> gauge_frames_;
    CueSounds cues_;
    AutopilotKeys autopilot_;
    double time_rate_ = 1.0;
    bool paused_ = false;
    bool night_;
    bool help_ = false;
    bool closed_ = false;
    std::string last_event_;
    std::string fresh_note_;
    std::string last_cue_;
    std::string message_;
};

}  // namespace panel::app
