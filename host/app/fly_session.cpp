#include "fly_session.h"

#include <pango/pangocairo.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <thread>

#include "cue_playback.h"
#include "flight.h"
#include "frame_driver.h"
#include "frame_pacer.h"
#include "knob_wheel.h"
#include "panel_picture.h"
#include "panel_window.h"
#include "scenario_runner.h"
#include "sdl_audio_sink.h"
#include "simulator_catalogue.h"

namespace panel::app {
namespace {

namespace fs = std::filesystem;

// The height of the status lines under the panel, in picture pixels: the source's state, then
// what the gauges last asked for (or what the host has to say).
constexpr int status_height = 32;

// Thrown out of the frame loop when the window is closed: the flight simply ends there.
struct WindowClosed {};

// Where cue paths ("sound\click.wav") are resolved: the folder asked for, else the current one
// when it holds a sound folder, as the simulator plays them from its own folder, else the
// project's own cues.
fs::path sound_base(const std::optional<fs::path>& asked) {
    if (asked) return *asked;
    std::error_code error;
    if (fs::is_directory(fs::current_path(error) / "sound", error)) return fs::current_path(error);
    return PANEL_SOURCE_DIR;
}

std::unique_ptr<sound::AudioSink> audio_sink(bool mute) {
    if (mute) return std::make_unique<sound::SilentAudioSink>();
    auto sink = std::make_unique<sound::SdlAudioSink>();
    if (!sink->available()) std::fprintf(stderr, "no sound: %s\n", sink->problem().c_str());
    return sink;
}

std::string time_stamp() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &parts);
    return text;
}

class FlySession : private PanelObserver {
public:
    FlySession(const FlyOptions& options, Panel& panel, VariableStore& variables, FlightSource& source)
        : options_(options),
          panel_(panel),
          picture_(panel),
          flight_(panel, variables, source),
          pacer_(options.rate),
          frame_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture_.width(), picture_.height() + status_height)),
          sink_(audio_sink(options.mute)),
          cues_(sound_base(options.sounds), *sink_, options.mute),
          night_(options.night) {
        std::optional<fs::path> file = options.remember_window ? settings_file() : std::nullopt;
        if (file) {
            if (const std::optional<std::string> refusal = window_settings_refusal(*file)) {
                std::fprintf(stderr, "%s\n", refusal->c_str());
                file.reset();
            }
        }
        settings_path_ = file;
        const WindowSettings saved = file ? load_window_settings(*file) : WindowSettings{};
        window_.emplace("panelhost - " + panel_title(), picture_.width(), picture_.height() + status_height, saved,
                        options.display);
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

    ~FlySession() override {
        panel_.remove_observer(*this);
        if (settings_path_ && window_) save_window_settings(*settings_path_, window_->settings());
    }

    Flight& flight() { return flight_; }

    // Flies on until the window is closed.
    void fly_on() {
        while (true) flight_.advance_frame();
    }

private:
    std::string panel_title() const {
        std::string names;
        for (size_t i = 0; i < panel_.size(); ++i) names += (i ? ", " : "") + panel_.at(i).alias;
        return names;
    }

    // Between two updates: draw, answer the user, and keep to real time.
    void after_frame() {
        draw();
        fresh_note_.clear();
        handle(window_->poll());
        while (paused_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            handle(window_->poll());
            draw();
        }
        pacer_.wait();
    }

    void draw() {
        picture_.draw({.night = night_});
        cairo_t* cr = cairo_create(frame_.get());
        cairo_set_source_surface(cr, picture_.surface(), 0, 0);
        cairo_paint(cr);
        draw_status(cr);
        if (help_) draw_help(cr);
        cairo_destroy(cr);
        window_->present(frame_.get());
    }

    void draw_status(cairo_t* cr) {
        const double top = picture_.height();
        cairo_set_source_rgb(cr, 0.08, 0.08, 0.09);
        cairo_rectangle(cr, 0, top, picture_.width(), status_height);
        cairo_fill(cr);
        const std::string line = flight_.source().status() + (paused_ ? "  PAUSED" : "") +
                                 (time_rate_ != 1.0 ? "  x" + format_rate() : "");
        show_text(cr, line, 6, top + 3, 0.78);
        std::string second = message_;
        if (second.empty()) second = last_event_ + (last_event_.empty() || last_cue_.empty() ? "" : "   ") + last_cue_;
        show_text(cr, second, 6, top + 17, 0.6);
        show_text(cr, "F1: keys", picture_.width() - 58, top + 17, 0.45);
    }

    std::string format_rate() const {
        char text[16];
        std::snprintf(text, sizeof text, time_rate_ < 1.0 ? "%.2g" : "%.0f", time_rate_);
        return text;
    }

    void show_text(cairo_t* cr, const std::string& text, double x, double y, double grey) {
        PangoLayout* layout = pango_cairo_create_layout(cr);
        PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans Mono");
        pango_font_description_set_absolute_size(font, 10 * PANGO_SCALE);
        pango_layout_set_font_description(layout, font);
        pango_layout_set_text(layout, text.c_str(), -1);
        cairo_set_source_rgb(cr, grey, grey, grey);
        cairo_move_to(cr, x, y);
        pango_cairo_show_layout(cr, layout);
        pango_font_description_free(font);
        g_object_unref(layout);
    }

    void draw_help(cairo_t* cr) {
        const std::vector<KeyHelp> keys = key_help();
        const double line = 15, height = 24 + line * (keys.size() + 3);
        const double width = std::min(picture_.width() - 20.0, 420.0), left = (picture_.width() - width) / 2;
        cairo_set_source_rgba(cr, 0.02, 0.02, 0.03, 0.9);
        cairo_rectangle(cr, left, 10, width, std::min(height, picture_.height() - 20.0));
        cairo_fill(cr);
        double y = 18;
        show_text(cr, "Keys (F1 or ? again to close)", left + 12, y, 1.0);
        y += line * 1.5;
        for (const KeyHelp& key : keys) {
            show_text(cr, key.keys, left + 12, y, 0.95);
            show_text(cr, key.meaning, left + 120, y, 0.8);
            y += line;
        }
        show_text(cr, "Mouse: click a control; the wheel turns a knob.", left + 12, y + line * 0.5, 0.8);
    }

    void handle(const std::vector<WindowEvent>& events) {
        for (const WindowEvent& event : events) {
            switch (event.kind) {
                case WindowEvent::Kind::quit: throw WindowClosed{};
                case WindowEvent::Kind::action: act(event.action); break;
                case WindowEvent::Kind::click:
                    if (auto point = picture_.gauge_at(event.x, event.y)) {
                        flight_.click(point->gauge, point->x, point->y);
                    }
                    break;
                case WindowEvent::Kind::wheel: turn(event); break;
                case WindowEvent::Kind::motion: hover(event); break;
            }
        }
    }

    void hover(const WindowEvent& event) {
        CursorShape shape = CursorShape::arrow;
        if (auto point = picture_.gauge_at(event.x, event.y)) {
            if (auto cursor = panel_.at(point->gauge).driver->mouse().cursor_at(point->x, point->y)) {
                if (*cursor == CURSOR_RIGHT) shape = CursorShape::turn_right;
                else if (*cursor == CURSOR_LEFT) shape = CursorShape::turn_left;
                else if (*cursor == CURSOR_PUSH) shape = CursorShape::push;
            }
        }
        window_->set_cursor(shape);
    }

    // A wheel notch is one click on the ring's right-hand (up) or left-hand (down) area.
    void turn(const WindowEvent& event) {
        auto point = picture_.gauge_at(event.x, event.y);
        if (!point) return;
        const FrameDriver& driver = *panel_.at(point->gauge).driver;
        const auto under = driver.mouse().area_at(point->x, point->y);
        if (!under) return;
        const auto& areas = panel_.at(point->gauge).gauge->records().mouse_areas;
        const auto target = wheel_target(areas, *under, event.notches > 0);
        if (!target) return;
        const auto [x, y] = FrameDriver::middle_of(areas[*target]);
        for (int i = 0; i < std::abs(event.notches); ++i) flight_.click(point->gauge, x, y);
    }

    void act(Action action) {
        message_.clear();
        const bool flies_the_aircraft = action == Action::heading_left || action == Action::heading_right ||
                                        action == Action::climb || action == Action::descend ||
                                        action == Action::faster_aircraft || action == Action::slower_aircraft ||
                                        action == Action::supply;
        if (flies_the_aircraft && flight_.world_source() == nullptr) {
            message_ = "the aircraft is flown in " + std::string(flight_.source().name()) + ", not from here";
            return;
        }
        if (!flies_the_aircraft) {
            act_on_window(action);
            return;
        }
        sim::World& world = flight_.world();
        if (!targets_set_) {
            heading_ = world.heading_deg();
            altitude_ = std::round(world.altitude_ft() / 100.0) * 100.0;
            speed_ = std::round(world.airspeed_kt());
            targets_set_ = true;
        }
        switch (action) {
            case Action::heading_left: heading_ = std::fmod(heading_ + 350.0, 360.0); world.fly_heading(heading_); break;
            case Action::heading_right: heading_ = std::fmod(heading_ + 10.0, 360.0); world.fly_heading(heading_); break;
            case Action::climb: altitude_ = std::min(altitude_ + 500.0, 40000.0); world.fly_altitude(altitude_); break;
            case Action::descend: altitude_ = std::max(altitude_ - 500.0, 0.0); world.fly_altitude(altitude_); break;
            case Action::faster_aircraft: speed_ = std::min(speed_ + 10.0, 400.0); world.fly_speed(speed_); break;
            case Action::slower_aircraft: speed_ = std::max(speed_ - 10.0, 0.0); world.fly_speed(speed_); break;
            case Action::supply: world.set_supply(!world.supply_on()); break;
            default: break;
        }
    }

    // The keys that work whatever flies the aircraft.
    void act_on_window(Action action) {
        switch (action) {
            case Action::pause: paused_ = !paused_; break;
            case Action::faster_time: time_rate_ = std::min(time_rate_ * 2.0, 16.0); pacer_.set_rate(options_.rate * time_rate_); break;
            case Action::slower_time: time_rate_ = std::max(time_rate_ / 2.0, 0.25); pacer_.set_rate(options_.rate * time_rate_); break;
            case Action::night: night_ = !night_; break;
            case Action::screenshot: screenshot(); break;
            case Action::full_screen: window_->toggle_full_screen(); break;
            case Action::help: help_ = !help_; break;
            case Action::quit: throw WindowClosed{};
            default: break;
        }
    }

    // What the window shows, panel and status line, at the panel's own scale.
    void screenshot() {
        std::error_code error;
        fs::create_directories(options_.screenshots, error);
        fs::path file = options_.screenshots / ("panel-" + time_stamp() + ".png");
        for (int n = 2; fs::exists(file); ++n) {
            file = options_.screenshots / ("panel-" + time_stamp() + "-" + std::to_string(n) + ".png");
        }
        try {
            render::write_png(frame_.get(), file);
            message_ = "saved " + file.string();
        } catch (const std::exception& failure) {
            message_ = failure.what();
        }
    }

    // Cues are played as the gauges ask; the last key event sent goes on the status line.
    void phase_done(size_t gauge, Phase, const EventLog& log) override {
        for (const KeyEvent& event : log.events()) {
            last_event_ = panel_.at(gauge).alias + " sent " + describe_event(simulator_catalogue(), event.id);
        }
        // The source's word on the event, given just before this.
        if (!log.events().empty() && !fresh_note_.empty()) last_event_ += ": " + fresh_note_;
        for (const CueRequest& cue : log.cues()) {
            cues_.play(cue);
            last_cue_ = panel_.at(gauge).alias + " played " + cue.path;
        }
        for (const std::string& problem : cues_.take_problems()) std::fprintf(stderr, "%s\n", problem.c_str());
    }

    const FlyOptions& options_;
    Panel& panel_;
    PanelPicture picture_;
    Flight flight_;
    FramePacer pacer_;
    render::SurfacePtr frame_;  // owned here, so that a window that fails to open leaks nothing
    std::unique_ptr<sound::AudioSink> sink_;
    sound::CuePlayer cues_;
    std::optional<PanelWindow> window_;
    std::optional<fs::path> settings_path_;
    double time_rate_ = 1.0;
    bool paused_ = false;
    bool night_;
    bool help_ = false;
    bool targets_set_ = false;
    double heading_ = 0.0, altitude_ = 0.0, speed_ = 0.0;
    std::string last_event_;
    std::string fresh_note_;
    std::string last_cue_;
    std::string message_;
};

}  // namespace

int fly_window(const FlyOptions& options) {
    WorldSource world(default_setup());
    return fly_window(options, world);
}

int fly_window(const FlyOptions& options, FlightSource& source, const ScriptCheck& check) {
    const PanelConfig config = read_panel(options.panel);
    VariableStore variables;
    Panel panel(config, options.panel.name, ModuleFinder(options.gauge_folders, options.windows), variables);
    const std::optional<scenario::Script> script =
        options.script ? std::optional(read_script(*options.script, panel)) : std::nullopt;
    if (script && check) check(*script, options.script->name);
    FlySession session(options, panel, variables, source);
    int status = 0;
    try {
        if (script) {
            const scenario::Summary summary = scenario::ScenarioRunner(session.flight(), options.script->name).run(*script);
            for (const scenario::Outcome& failure : summary.failed) std::fprintf(stderr, "%s\n", failure.message.c_str());
            status = summary.failed.empty() ? 0 : 1;
        }
        session.fly_on();
    } catch (const WindowClosed&) {
        // The pilot closed the window: the flight ends here.
    } catch (const scenario::RunError& error) {
        throw std::runtime_error(error.what());
    }
    return status;
}

}  // namespace panel::app
