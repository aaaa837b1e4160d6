#include "flight_run.h"

#include <cairo.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "flight.h"
#include "flight_trace.h"
#include "frame_pacer.h"
#include "gif_recorder.h"
#include "panel.h"
#include "panel_config.h"
#include "panel_picture.h"
#include "scenario_runner.h"
#include "scenario_script.h"
#include "scenario_time.h"

namespace panel::app {
namespace {

namespace fs = std::filesystem;

// Snapshots, the trace and the time-lapse are written here first and moved into the output
// folder only once the flight is over, so that a flight that breaks off leaves no half of
// itself beside the last good one.
class Staging {
public:
    explicit Staging(const fs::path& out) : out_(out) {
        std::error_code error;
        fs::create_directories(out, error);
        if (error || !fs::is_directory(out))
            throw std::runtime_error(out.string() + ": cannot create the output folder");
        folder_ = out / (".panelhost-" + std::to_string(getpid()));
        fs::remove_all(folder_, error);
        if (!fs::create_directory(folder_, error) || error) {
            throw std::runtime_error(out.string() + ": cannot write into the output folder");
        }
    }
    ~Staging() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    fs::path file(const std::string& name) const { return folder_ / name; }

    // Moves every staged file into the output folder, replacing older ones of the same name.
    std::vector<fs::path> publish() {
        std::vector<fs::path> written;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            const fs::path target = out_ / entry.path().filename();
            std::error_code error;
            fs::rename(entry.path(), target, error);
            if (error) throw std::runtime_error(target.string() + ": cannot write (" + error.message() + ")");
            written.push_back(target);
        }
        return written;
    }

private:
    fs::path out_;
    fs::path folder_;
};

// "[########----------] 2:31 of 8:05" on a terminal, redrawn as the flight goes.
class ProgressBar {
public:
    ProgressBar(bool shown, double total_seconds) : shown_(shown), total_(std::max(total_seconds, 1.0)) {}
    ~ProgressBar() {
        if (drawn_) std::fputs("\r\033[K", stderr);
    }
    void update(double seconds) {
        if (!shown_) return;
        const int filled = static_cast<int>(std::min(1.0, seconds / total_) * width);
        if (drawn_ && filled == filled_ && seconds - last_ < 1.0) return;
        filled_ = filled;
        last_ = seconds;
        drawn_ = true;
        std::fprintf(stderr, "\r[%s%s] %s of %s simulated", std::string(filled, '#').c_str(),
                     std::string(width - filled, '-').c_str(), scenario::format_clock(seconds).c_str(),
                     scenario::format_clock(total_).c_str());
        std::fflush(stderr);
    }

private:
    static constexpr int width = 30;
    bool shown_;
    double total_;
    bool drawn_ = false;
    int filled_ = -1;
    double last_ = -10.0;
};

}  // namespace

FlightResult fly_scripted(const FlightOptions& options) {
    WorldSource world(default_setup());
    return fly_scripted(options, world);
}

FlightResult fly_scripted(const FlightOptions& options, FlightSource& source) {
    LoadedFlight loaded(options, options.check_script);
    Panel& panel = loaded.panel;
    VariableStore& variables = loaded.variables;
    const scenario::Script script = loaded.script.value_or(scenario::Script{});
    const std::string& script_name = loaded.script_name;
    // A flight that writes nothing draws nothing.
    std::optional<PanelPicture> picture;
    if (options.out || options.final_picture) picture.emplace(panel);

    std::optional<Staging> staging;
    std::ofstream trace_file;
    if (options.out) {
        staging.emplace(*options.out);
        trace_file.open(staging->file("trace.txt"), std::ios::binary | std::ios::trunc);
        if (!trace_file) throw std::runtime_error(options.out->string() + ": cannot write trace.txt");
    }
    std::ostream null_stream(nullptr);
    FlightTrace trace(panel, options.out ? static_cast<std::ostream&>(trace_file) : null_stream);
    // Off the panel again however the flight ends: the panel outlives the trace.
    struct Unobserve {
        Panel& panel;
        FlightTrace& trace;
        ~Unobserve() { panel.remove_observer(trace); }
    } unobserve{panel, trace};
    if (options.out) {
        trace.write_records();
        panel.add_observer(trace);
    }

    Flight flight(panel, variables, source);
    GifRecorder gif(picture ? picture->width() : 1, picture ? picture->height() : 1);
    ProgressBar progress(options.progress, std::max(script.seconds, options.duration.value_or(0.0)));
    std::optional<FramePacer> pacer;
    if (options.real_time) pacer.emplace(scenario::frames_per_second);
    FlightResult result;

    flight.on_frame_start([&](uint64_t frame) {
        if (options.out) trace.begin_frame(frame, flight.simulated_seconds());
    });
    flight.on_frame_end([&](uint64_t) {
        const double seconds = flight.simulated_seconds();
        progress.update(seconds);
        if (pacer) pacer->wait();
        if (options.out && gif.due(seconds)) {
            picture->draw();
            cairo_surface_flush(picture->surface());
            gif.add(seconds, cairo_image_surface_get_data(picture->surface()),
                    cairo_image_surface_get_stride(picture->surface()));
        }
    });
    if (options.between_updates) {
        if (std::function<void()> work = options.between_updates(panel, flight))
            flight.on_frame_end([work = std::move(work)](uint64_t) { work(); });
    }
    flight.on_snapshot([&](const std::string& name, bool night) {
        if (!options.out) return;
        picture->draw({.night = night});
        picture->write_png(staging->file(name + ".png"));
    });
    flight.on_note([&](const std::string& line) {
        if (options.out) trace.line(line);
    });

    scenario::Summary summary;
    try {
        scenario::ScenarioRunner runner(flight, script_name);
        if (options.stop_requested) runner.stop_when(options.stop_requested);
        summary = runner.run(script);
    } catch (const scenario::RunError& error) {
        throw std::runtime_error(error.what());
    }
    bool stopped = summary.stopped;
    const auto flying_on = [&] {
        if (stopped) return false;
        const bool more = options.duration ? flight.simulated_seconds() + 1e-9 < *options.duration
                                           : options.until_stopped || (options.until_source_ends && !source.finished());
        if (more && options.stop_requested) stopped = options.stop_requested();
        return more && !stopped;
    };
    uint64_t frames_after_script = 0;
    for (; flying_on(); ++frames_after_script) flight.advance_frame();
    if (flight.frames() == 0) flight.advance_frame();  // a picture shows a panel that has run
    if (options.out && options.end_snapshot) {
        picture->draw({.night = options.night});
        picture->write_png(staging->file(*options.end_snapshot + ".png"));
    }

    if (options.final_picture) {
        picture->draw({.night = options.night});
        picture->write_png(*options.final_picture);
        result.written.push_back(*options.final_picture);
    }
    if (options.out) {
        gif.write(staging->file("flight.gif"), options.gif_max_bytes);
        trace_file.close();
        if (!trace_file) throw std::runtime_error(options.out->string() + ": cannot write trace.txt");
        for (fs::path& file : staging->publish()) result.written.push_back(std::move(file));
    }

    result.simulated_seconds = frames_after_script > 0 ? flight.simulated_seconds() : summary.simulated_seconds;
    result.frames = summary.frames + frames_after_script;
    result.snapshots = summary.snapshots;
    result.expectations_met = summary.met.size();
    for (const scenario::Outcome& failure : summary.failed) result.failures.push_back(failure.message);
    result.unknown_events = flight.unknown_events();
    result.stopped = stopped;
    return result;
}

}  // namespace panel::app
