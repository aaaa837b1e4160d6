#include "real_time_flight.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <thread>

#include "scenario_runner.h"
#include "screenshot.h"
#include "simulator_catalogue.h"
#include "status_overlay.h"

namespace panel::app {
namespace {

using frontend::InputEvent;
using frontend::KeyAction;

// The largest side of a picture drawn again at a higher density.
constexpr int largest_redrawn_side = 8192;

}  // namespace

RealTimeFlight::RealTimeFlight(const RealTimeOptions& options, Panel& panel, VariableStore& variables,
                               FlightSource& source)
    : options_(options),
      panel_(panel),
      picture_(panel),
      controls_(panel_controls(panel)),
      flight_(panel, variables, source),
      hub_(panel, flight_, picture_, controls_),
      pacer_(options.rate),
      frame_height_(picture_.height() + render::status_height),
      frame_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture_.width(), frame_height_)),
      cues_(options.sounds, options.mute),
      night_(options.night) {
    // Names, places and element lists stay put for the flight: made once, not every frame.
    for (size_t i = 0; i < panel_.size(); ++i) {
        const render::Placement& place = picture_.placement(i);
        gauge_frames_.push_back({controls_.gauges().unique_label(i), place.x, place.y, place.width, place.height,
                                 &panel_.at(i).gauge->elements()});
    }
    panel_.add_observer(*this);
    flight_.on_frame_end([this](uint64_t) { after_frame(); });
    // What the source says (a connection lost, an event it cannot carry out) goes where the
    // last event is shown, and to standard error.
    flight_.on_source_note([this](const std::string& line) {
        last_event_ = fresh_note_ = line;
        last_cue_.clear();
        std::fprintf(stderr, "%s\n", line.c_str());
    });
}

RealTimeFlight::~RealTimeFlight() {
    panel_.remove_observer(*this);
}

std::string RealTimeFlight::title() const {
    std::string names;
    for (size_t i = 0; i < panel_.size(); ++i) names += (i ? ", " : "") + panel_.at(i).alias;
    return "panelhost - " + names;
}

int RealTimeFlight::run(const std::optional<scenario::Script>& script, const std::string& script_name) {
    int status = 0;
    if (script) {
        scenario::ScenarioRunner runner(flight_, script_name);
        runner.stop_when([this] { return closed_; });
        scenario::Summary summary;
        try {
            summary = runner.run(*script);
        } catch (const scenario::RunError& error) {
            throw std::runtime_error(error.what());
        }
        // Closed before the script's end: the pilot ended the flight and expectations still open
        // are not judged, but those that had already failed still count.
        for (const scenario::Outcome& failure : summary.failed) std::fprintf(stderr, "%s\n", failure.message.c_str());
        status = summary.failed.empty() ? 0 : 1;
    }
    while (!closed_) flight_.advance_frame();
    return status;
}

// Between two updates: show the frame, answer the front ends, and keep to real time.
void RealTimeFlight::after_frame() {
    show_frame();
    fresh_note_.clear();
    // The wait before the input, so that what came during it works on the very next update.
    pacer_.wait();
    handle(hub_.take_input());
    while (paused_ && !closed_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        handle(hub_.take_input());
        show_frame();
    }
}

std::string RealTimeFlight::state_line() {
    std::string line = flight_.source().status();
    if (paused_) line += "  PAUSED";
    if (time_rate_ != 1.0) {
        char rate[16];
        std::snprintf(rate, sizeof rate, time_rate_ < 1.0 ? "%.2g" : "%.0f", time_rate_);
        line += std::string("  x") + rate;
    }
    return line;
}

void RealTimeFlight::show_frame() {
    frontend::FinishedFrame frame;
    frame.number = flight_.frames();
    frame.simulated_seconds = flight_.simulated_seconds();
    frame.status = state_line();
    frame.paused = paused_;
    frame.panel_height = picture_.height();
    frame.gauges = gauge_frames_;
    frame.night = night_;
    frame_drawn_ = hub_.wants_pictures() && hub_.wants_frame_picture();
    if (hub_.wants_pictures()) {
        if (frame_drawn_) {
            compose(frame_.get(), night_, picture_);
            frame.picture = {cairo_image_surface_get_data(frame_.get()), picture_.width(), frame_height_,
                             cairo_image_surface_get_stride(frame_.get())};
        }
        frame.redraw = [this](frontend::PictureRequest request) { return redraw(request); };
    }
    hub_.show(frame);
}

frontend::PictureView RealTimeFlight::redraw(frontend::PictureRequest request) {
    // Halves from 1 up, lowered until the picture stays within what can be drawn.
    double density = frontend::density_in_halves(request.density, render::max_scale);
    while (density > 1.0 && std::max(picture_.width(), frame_height_) * density > largest_redrawn_side) density -= 0.5;

    PanelPicture* picture = &picture_;
    if (density != 1.0) {
        std::unique_ptr<PanelPicture>& denser = denser_[density];
        if (!denser) denser = std::make_unique<PanelPicture>(panel_, density);
        picture = denser.get();
    }
    render::SurfacePtr& surface = redrawn_[{density, request.night}];
    const int height = picture->height() + static_cast<int>(std::lround(render::status_height * density));
    if (!surface) surface.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture->width(), height));
    compose(surface.get(), request.night, *picture);
    return {cairo_image_surface_get_data(surface.get()), picture->width(), height,
            cairo_image_surface_get_stride(surface.get())};
}

void RealTimeFlight::compose(cairo_surface_t* into, bool night, PanelPicture& picture) {
    picture.draw({.night = night});
    cairo_t* cr = cairo_create(into);
    cairo_set_source_surface(cr, picture.surface(), 0, 0);
    cairo_paint(cr);
    // The host's words are drawn in the pixels of scale 1, larger by the picture's scale.
    cairo_scale(cr, picture.scale(), picture.scale());
    std::string latest = message_;
    if (latest.empty()) latest = last_event_ + (last_event_.empty() || last_cue_.empty() ? "" : "   ") + last_cue_;
    render::draw_status(cr, picture_.fonts(), {state_line(), latest, "F1: keys"}, picture_.width(), picture_.height());
    if (help_) {
        render::draw_help(cr, picture_.fonts(), "Keys (F1 or ? again to close)", options_.keys,
                          "Mouse: click a control; the wheel turns a knob.", picture_.width(), picture_.height());
    }
    cairo_destroy(cr);
    cairo_surface_flush(into);
}

void RealTimeFlight::handle(const std::vector<InputEvent>& events) {
    if (std::string problem = hub_.take_problem(); !problem.empty()) message_ = std::move(problem);
    for (const InputEvent& event : events) {
        if (event.kind == InputEvent::Kind::close) closed_ = true;
        else if (event.kind == InputEvent::Kind::key) act(event.key, event.from);
    }
}

void RealTimeFlight::act(KeyAction key, frontend::FrontEnd* from) {
    message_.clear();
    if (AutopilotKeys::flies_the_aircraft(key)) {
        message_ = autopilot_.act(key, flight_);
        return;
    }
    switch (key) {
        case KeyAction::pause: paused_ = !paused_; break;
        // clang-format off
        case KeyAction::faster_time: time_rate_ = std::min(time_rate_ * 2.0, 16.0); pacer_.set_rate(options_.rate * time_rate_); break;
        case KeyAction::slower_time: time_rate_ = std::max(time_rate_ / 2.0, 0.25); pacer_.set_rate(options_.rate * time_rate_); break;
        // clang-format on
        case KeyAction::night: night_ = !night_; break;
        case KeyAction::screenshot:
            // With no window (browsers or knobs alone) the frame was not drawn: draw it now.
            if (!frame_drawn_) compose(frame_.get(), night_, picture_);
            message_ = save_screenshot(frame_.get(), options_.screenshots);
            break;
        case KeyAction::full_screen:
            if (from) from->toggle_full_screen();
            break;
        case KeyAction::help: help_ = !help_; break;
        case KeyAction::quit: closed_ = true; break;
        default: break;
    }
}

// Cues are played as the gauges ask; the last key event sent goes on the status line.
void RealTimeFlight::phase_done(size_t gauge, Phase, const EventLog& log) {
    for (const KeyEvent& event : log.events()) {
        last_event_ = panel_.at(gauge).alias + " sent " + describe_event(simulator_catalogue(), event.id);
    }
    // The source's word on the event, given just before this.
    if (!log.events().empty() && !fresh_note_.empty()) last_event_ += ": " + fresh_note_;
    for (const CueRequest& cue : log.cues()) {
        cues_.play(cue);
        last_cue_ = panel_.at(gauge).alias + " played " + cue.path;
    }
}

}  // namespace panel::app
