// panelhost: flies the gauge modules in a simulated world and shows what they draw.
//   panelhost demo [--out DIR]            the built-in demo flight
//   panelhost run SCRIPT [--out DIR]      any scenario
//   panelhost shot [SCRIPT] -o FILE.png   one picture of the panel as a scenario leaves it
//   panelhost fly [SCRIPT]                the panel in a window, flown by hand
//   panelhost live [SCRIPT]               the panel driven by a running FlightGear
//   panelhost controls                    each joystick and key input, as a bindings file names it
//   panelhost serve [SCRIPT]              the panel in browsers, flown by hand (no window)
//   panelhost check MODULE...             a module's records as the simulator's host reads them
// Every error is one line naming the file and what is wrong, with exit status 2; a flight
// whose expectations are not all met exits with 1, and one stopped by Ctrl-C, after writing
// what it flew, with 130.
#include <unistd.h>
#include <CLI/CLI.hpp>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <iostream>

#include "bounded_file.h"
#include "flight_run.h"
#include "fly_session.h"
#include "input_monitor.h"
#include "listen_address.h"
#include "live_session.h"
#include "own_files.h"
#include "panel_window.h"
#include "records_and_bitmaps_check.h"
#include "scenario_script.h"
#include "scenario_time.h"
#include "windows_option.h"

namespace {

namespace fs = std::filesystem;

// Set by the first Ctrl-C (or SIGTERM): the flight stops at its next update and writes what it
// has flown. The handler then falls back to the default, so a second Ctrl-C ends the program.
volatile std::sig_atomic_t stop_signal = 0;

void on_stop_signal(int signal) {
    stop_signal = signal;
}

void stop_on_signals() {
    struct sigaction action {};
    action.sa_handler = on_stop_signal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool stop_requested() {
    return stop_signal != 0;
}

using panel::app::FlightOptions;
using panel::app::FlightResult;
using panel::app::NamedText;

// Far beyond any real scenario or panel.cfg, so that only a file named by mistake is refused.
constexpr size_t largest_script = 16u << 20, largest_panel = 1u << 20;

NamedText read_text(const fs::path& file, size_t largest, std::string_view what) {
    return {file.string(), panel::read_bounded_file(file, largest, what), file.parent_path()};
}

NamedText read_script_file(const fs::path& file) {
    return read_text(file, largest_script, "a scenario");
}

// Options every flying command takes.
struct Common {
    std::string panel_file;
    std::vector<std::string> gauge_folders;
    std::string windows_folder;
    CLI::Option* windows = nullptr;
    bool quiet = false;
    panel::app::OwnFiles own = panel::app::own_files();

    void add_to(CLI::App& command) {
        command.add_option("--panel", panel_file, "a panel.cfg to fly instead of the demo's panel")
            ->check(CLI::ExistingFile);
        command.add_option("--gauges", gauge_folders,
                           "a folder of gauge modules, searched before panelhost's own (repeatable)");
        command.add_flag("-q,--quiet", quiet, "no progress bar and no summary");
        windows = command
                      .add_option("--windows", windows_folder,
                                  "fly the Windows modules (.gau) of this Windows build folder under wine "
                                  "(default: the .gau files panelhost came with)")
                      ->expected(0, 1)
                      ->type_name("[DIR]");
    }

    FlightOptions options() const {
        FlightOptions options;
        options.panel =
            panel_file.empty() ? panel::app::demo_panel() : read_text(panel_file, largest_panel, "a panel.cfg");
        for (const std::string& folder : gauge_folders) options.gauge_folders.emplace_back(folder);
        const panel::app::WindowsBuild build =
            panel::app::windows_build(windows->count() > 0, windows_folder, {own.windows, own.bridge});
        options.windows = build.modules;
        options.gauge_folders.insert(options.gauge_folders.end(), build.folders.begin(), build.folders.end());
        // Beside the panel file and in a Gauges folder there, then panelhost's own modules.
        if (!options.panel.folder.empty()) {
            options.gauge_folders.push_back(options.panel.folder);
            options.gauge_folders.push_back(options.panel.folder / "Gauges");
        }
        options.gauge_folders.push_back(own.modules);
        options.progress = !quiet && isatty(STDERR_FILENO);
        return options;
    }
};

// --serve and --view-only, on every command that flies in real time.
struct ServeFlags {
    std::string address;
    bool view_only = false;

    void add_to(CLI::App& command) {
        command.add_option("--serve", address,
                           "serve the panel to browsers at [HOST:]PORT (127.0.0.1 unless a host is given; "
                           "0.0.0.0:8080 serves the network)");
        command.add_flag("--view-only", view_only, "browsers see the panel but work nothing");
    }

    std::optional<panel::server::ServerSetup> setup() const {
        if (address.empty()) return std::nullopt;
        return panel::server::ServerSetup{.address = panel::server::parse_listen_address(address),
                                          .view_only = view_only};
    }
};

void print_summary(const FlightResult& result, const std::optional<fs::path>& out) {
    std::printf("flew %s of simulated time in %llu frames; %zu snapshots; %zu of %zu expectations met\n",
                panel::scenario::format_clock(result.simulated_seconds).c_str(),
                static_cast<unsigned long long>(result.frames), result.snapshots.size(), result.expectations_met,
                result.expectations_met + result.failures.size());
    for (const std::string& event : result.unknown_events) std::printf("note: %s\n", event.c_str());
    if (out) std::printf("wrote %zu files into %s\n", result.written.size(), out->string().c_str());
}

// `stop_ends_it`: a Ctrl-C is how this flight is meant to end, not a break-off.
int fly_and_report(FlightOptions options, bool quiet, panel::FlightSource* source = nullptr,
                   bool stop_ends_it = false) {
    stop_on_signals();
    options.stop_requested = stop_requested;
    const FlightResult result = source ? panel::app::fly_scripted(options, *source) : panel::app::fly_scripted(options);
    for (const std::string& failure : result.failures) std::fprintf(stderr, "%s\n", failure.c_str());
    if (!quiet) print_summary(result, options.out);
    if (result.stopped && !stop_ends_it) {
        std::fprintf(stderr, "stopped at %s of simulated time, before the flight's end\n",
                     panel::scenario::format_clock(result.simulated_seconds).c_str());
        return 128 + SIGINT;
    }
    if (!result.failures.empty()) {
        std::fprintf(stderr, "%s: %zu expectation%s not met\n", options.script->name.c_str(), result.failures.size(),
                     result.failures.size() == 1 ? "" : "s");
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"panelhost: flies the Corvane gauge modules in a simulated world and draws their faces", "panelhost"};
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "help on every command");
    app.set_version_flag("--version", "panelhost " PANEL_VERSION);

    Common demo_common, run_common, shot_common;
    std::string demo_out = "out", run_out = "out", script_file, shot_script, shot_png = "panel.png";
    bool shot_night = false;

    CLI::App* demo = app.add_subcommand("demo",
                                        "fly the built-in demo: every page of the GPS and every mode of "
                                        "the DME, photographed, with every expectation checked");
    demo->add_option("-o,--out", demo_out, "the output folder (default out)");
    demo_common.add_to(*demo);

    CLI::App* run = app.add_subcommand("run",
                                       "fly a scenario; snapshots, flight.gif and trace.txt go into the "
                                       "output folder");
    run->add_option("script", script_file, "the scenario file")->required()->check(CLI::ExistingFile);
    run->add_option("-o,--out", run_out, "the output folder (default out)");
    run_common.add_to(*run);
    std::string steps_text = "\nSteps of a scenario, one a line (# starts a comment):\n";
    for (const std::string& line : panel::scenario::step_help()) steps_text += "  " + line + "\n";
    run->footer(steps_text);

    CLI::App* shot = app.add_subcommand("shot", "draw the panel as a scenario leaves it (or as it starts) to a PNG");
    shot->add_option("script", shot_script, "a scenario to fly first")->check(CLI::ExistingFile);
    shot->add_option("-o,--png", shot_png, "the picture to write (default panel.png)");
    shot->add_flag("--night", shot_night, "night lighting: only lit parts at full brightness");
    shot_common.add_to(*shot);

    const char* controls_help =
        "the bindings of a cockpit's knobs and buttons (default ~/.config/panelhost/controls.cfg, if there is one)";
    const char* stacked_help = "the panel.cfg's windows one under another in one window, not each in its own";
    Common fly_common;
    std::string fly_script, fly_out = "out";
    double fly_rate = 18.0;
    int fly_display = -1;
    bool fly_night = false, fly_mute = false, fly_stacked = false;
    std::string fly_sounds, fly_controls;
    std::string keys_text = "\nKeys in the window:\n";
    for (const panel::window::KeyHelp& key : panel::window::key_help()) {
        keys_text +=
            "  " + key.keys + std::string(key.keys.size() < 12 ? 12 - key.keys.size() : 1, ' ') + key.meaning + "\n";
    }
    keys_text += "Mouse: a click works the control under it; the wheel over a knob turns it.";
    CLI::App* fly = app.add_subcommand("fly", "the panel in a window, flown by hand (and by a scenario, if given)");
    fly->add_option("script", fly_script, "a scenario to fly; the window stays open after it")
        ->check(CLI::ExistingFile);
    fly->add_option("--rate", fly_rate, "panel updates per second (default 18: real time)")
        ->check(CLI::Range(1.0, 200.0));
    fly->add_option("--display", fly_display, "the screen to open on, from 0")->check(CLI::NonNegativeNumber);
    fly->add_flag("--night", fly_night, "start with night lighting");
    fly->add_flag("--mute", fly_mute, "play no cue sounds (they are still recorded)");
    fly->add_option("--sounds", fly_sounds,
                    "the folder cue paths are relative to (default: the current one if it holds a sound folder, else "
                    "panelhost's own cues)");
    fly->add_option("-o,--out", fly_out, "where F12 saves its screenshots (default out)");
    fly->add_option("--controls", fly_controls, controls_help);
    fly->add_flag("--stacked", fly_stacked, stacked_help);
    fly_common.add_to(*fly);
    ServeFlags fly_serve;
    fly_serve.add_to(*fly);
    fly->footer(keys_text);

    Common serve_common;
    ServeFlags serve_flags{.address = "8080"};
    std::string serve_script, serve_sounds, serve_controls;
    double serve_rate = 18.0;
    bool serve_night = false, serve_mute = false;
    CLI::App* serve = app.add_subcommand(
        "serve", "the panel in browsers (default http://127.0.0.1:8080/), flown by hand, with no window");
    serve->add_option("script", serve_script, "a scenario to fly; the panel flies on after it until Ctrl-C")
        ->check(CLI::ExistingFile);
    serve->add_option("--rate", serve_rate, "panel updates per second (default 18: real time)")
        ->check(CLI::Range(1.0, 200.0));
    serve->add_flag("--night", serve_night, "start with night lighting");
    serve->add_flag("--mute", serve_mute, "play no cue sounds");
    serve->add_option("--sounds", serve_sounds,
                      "the folder cue paths are relative to (default: the current one if it holds a sound folder, else "
                      "panelhost's own cues)");
    serve->add_option("--controls", serve_controls, controls_help);
    serve_common.add_to(*serve);
    serve_flags.add_to(*serve);

    Common live_common;
    panel::app::LiveOptions live_options;
    live_options.protocol = panel::app::own_files().protocol();
    std::string live_script, live_out = "out", live_protocol, live_props, live_replay, live_sounds, live_controls;
    double live_duration = 0.0;
    int live_display = -1;
    bool live_headless = false, live_night = false, live_mute = false, live_stacked = false;
    CLI::App* live = app.add_subcommand(
        "live",
        "the panel driven by a running FlightGear (or a recording of one): its values over UDP by the "
        "generic protocol, the gauges' key events written back through its property server");
    live->add_option("script", live_script, "a scenario to run against it: clicks, waits, expectations, snapshots")
        ->check(CLI::ExistingFile);
    live->add_option("--listen", live_options.listen,
                     "where FlightGear's datagrams come to, HOST:PORT (default 127.0.0.1:5500; 0.0.0.0:5500 "
                     "for another machine's)");
    live->add_option("--protocol", live_protocol,
                     "the protocol file FlightGear sends by (default: the shipped panelhost.xml)")
        ->check(CLI::ExistingFile);
    live->add_option("--fgfs-props", live_props,
                     "FlightGear's property server (--telnet), HOST:PORT, for the key events");
    live->add_option("--replay", live_replay, "play a recording of protocol lines instead of listening")
        ->check(CLI::ExistingFile);
    live->add_option("--rate", live_options.replay_rate, "the replay's speed (default 1: as recorded)")
        ->check(CLI::Range(0.05, 100.0));
    live->add_flag("--headless", live_headless,
                   "no window: fly until the script ends, --duration, the replay's end or Ctrl-C");
    live->add_option("--duration", live_duration,
                     "with --headless: end the flight this many simulated seconds after its start (a longer script "
                     "still runs to its end)")
        ->check(CLI::Range(0.0, 10800.0));
    live->add_option("-o,--out", live_out,
                     "with --headless: the trace, the script's snapshots and panel.png at the end (default out); "
                     "with a window: where F12 saves its screenshots");
    live->add_option("--display", live_display, "the screen to open on, from 0")->check(CLI::NonNegativeNumber);
    live->add_flag("--night", live_night, "start with night lighting");
    live->add_flag("--mute", live_mute, "play no cue sounds");
    live->add_option("--sounds", live_sounds,
                     "the folder cue paths are relative to (default: the current one if it holds a sound folder, else "
                     "panelhost's own cues)");
    live->add_option("--controls", live_controls, controls_help);
    live->add_flag("--stacked", live_stacked, stacked_help);
    live_common.add_to(*live);
    ServeFlags live_serve;
    live_serve.add_to(*live);

    CLI::App* controls = app.add_subcommand(
        "controls",
        "list the joysticks plugged in, then print each input as it arrives, as the bindings file (--controls) "
        "writes it; Ctrl-C ends");

    std::vector<std::string> check_files;
    bool check_verbose = false;
    CLI::App* check = app.add_subcommand(
        "check",
        "check gauge modules' records as the simulator's host reads them: a native .so loaded, a .gau "
        "read from its file without running it; one line per finding; exit 0 clean, 1 on errors, 2 "
        "when a file is no module at all");
    check->add_option("modules", check_files, "the module files")->required();
    check->add_flag("-v,--verbose", check_verbose,
                    "also the notes, a summary line per module, and first the version of panelhost");

    // CLI11 takes its arguments last first.
    std::vector<std::string> arguments = panel::app::windows_option_alone({argv + 1, argv + argc});
    std::reverse(arguments.begin(), arguments.end());
    try {
        app.parse(arguments);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : 2;
    }

    try {
        if (demo->parsed()) {
            FlightOptions options = demo_common.options();
            options.script = panel::app::demo_script();
            options.out = demo_out;
            return fly_and_report(std::move(options), demo_common.quiet);
        }
        if (run->parsed()) {
            FlightOptions options = run_common.options();
            options.script = read_script_file(script_file);
            options.out = run_out;
            return fly_and_report(std::move(options), run_common.quiet);
        }
        if (check->parsed()) {
            std::vector<fs::path> files(check_files.begin(), check_files.end());
            // A report names the checker that wrote it.
            if (check_verbose) std::cout << "checked by panelhost " PANEL_VERSION "\n";
            return panel::check::check_modules(files, check_verbose, std::cout);
        }
        if (controls->parsed()) {
            stop_on_signals();
            return panel::hardware::watch_inputs(std::cout, stop_requested);
        }
        if (fly->parsed()) {
            panel::app::FlyOptions options;
            static_cast<panel::app::FlightFiles&>(options) = fly_common.options();
            if (!fly_script.empty()) options.script = read_script_file(fly_script);
            options.screenshots = fly_out;
            options.rate = fly_rate;
            if (fly_display >= 0) options.display = fly_display;
            options.night = fly_night;
            options.mute = fly_mute;
            if (!fly_sounds.empty()) options.sounds = fly_sounds;
            if (!fly_controls.empty()) options.controls = fly_controls;
            options.stacked = fly_stacked;
            options.serve = fly_serve.setup();
            // The window's own close ends it otherwise; a server's flight ends on Ctrl-C too.
            if (options.serve) {
                stop_on_signals();
                options.stop_requested = stop_requested;
            }
            return panel::app::fly_in_window(options);
        }
        if (serve->parsed()) {
            panel::app::FlyOptions options;
            static_cast<panel::app::FlightFiles&>(options) = serve_common.options();
            if (!serve_script.empty()) options.script = read_script_file(serve_script);
            options.rate = serve_rate;
            options.night = serve_night;
            options.mute = serve_mute;
            if (!serve_sounds.empty()) options.sounds = serve_sounds;
            options.window = false;
            if (!serve_controls.empty()) options.controls = serve_controls;
            options.serve = serve_flags.setup();
            stop_on_signals();
            options.stop_requested = stop_requested;
            return panel::app::fly_in_window(options);
        }
        if (live->parsed()) {
            if (!live_protocol.empty()) live_options.protocol = live_protocol;
            if (!live_props.empty()) live_options.props = live_props;
            if (!live_replay.empty()) live_options.replay = live_replay;
            FlightOptions flight = live_common.options();
            if (!live_script.empty()) flight.script = read_script_file(live_script);
            // Headless with nothing to end it: until Ctrl-C.
            const bool until_stopped =
                live_headless && live_script.empty() && live_duration <= 0.0 && !live_options.replay;
            const std::unique_ptr<panel::live::LiveSource> source = panel::app::make_live_source(live_options);
            if (!live->get_option("--listen")->empty() && live_options.replay) {
                std::fprintf(stderr, "note: --listen is not used with --replay\n");
            }
            std::vector<std::string> notes;
            source->take_notes(notes);
            for (const std::string& line : notes) std::fprintf(stderr, "note: %s\n", line.c_str());
            if (!live_common.quiet) std::fprintf(stderr, "%s\n", source->status().c_str());
            if (live_headless) {
                flight.out = live_out;
                if (live_duration > 0.0) flight.duration = live_duration;
                flight.until_source_ends = live_options.replay.has_value();
                flight.until_stopped = until_stopped;
                if (until_stopped && !live_common.quiet) std::fprintf(stderr, "flying until Ctrl-C\n");
                flight.real_time = !live_options.replay;
                flight.end_snapshot = "panel";
                flight.check_script = panel::app::refuse_world_steps;
                flight.between_updates = panel::app::knobs_between_updates(
                    live_controls.empty() ? std::nullopt : std::optional<fs::path>(live_controls));
                const int status = fly_and_report(std::move(flight), live_common.quiet, source.get(), until_stopped);
                if (!live_common.quiet) std::fprintf(stderr, "at the end: %s\n", source->status().c_str());
                return status;
            }
            panel::app::FlyOptions options;
            static_cast<panel::app::FlightFiles&>(options) = flight;
            options.screenshots = live_out;
            if (live_display >= 0) options.display = live_display;
            options.night = live_night;
            options.mute = live_mute;
            if (!live_sounds.empty()) options.sounds = live_sounds;
            if (!live_controls.empty()) options.controls = live_controls;
            options.stacked = live_stacked;
            options.serve = live_serve.setup();
            // The window's own close ends it otherwise; a server's flight ends on Ctrl-C too.
            if (options.serve) {
                stop_on_signals();
                options.stop_requested = stop_requested;
            }
            return panel::app::fly_in_window(options, *source, panel::app::refuse_world_steps);
        }
        FlightOptions options = shot_common.options();
        if (!shot_script.empty()) options.script = read_script_file(shot_script);
        options.final_picture = shot_png;
        options.night = shot_night;
        options.progress = false;
        return fly_and_report(std::move(options), true);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 2;
    }
}
