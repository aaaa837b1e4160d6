// Scripts: one step a line, words separated by blanks, `#` starts a comment, texts in double
// quotes (escapes \\ \" \xHH). One parser for the trace tool and the panel application.
//
// Low-level steps (both), acting on the current gauge (the first, or the last `gauge NAME`):
//   set VAR NUMBER            (a double: 1.5, -2e3, 1e300, nan, inf, -inf)
//   int VAR INTEGER           (low 32 bits: 42, -7, 0x1345)
//   text VAR "quoted text"    null VAR  (a NULL text pointer)     clear VAR
//   frame [COUNT]             whole updates: pre-update, element pass, pre-draw
//   pre-update | elements | pre-draw | service SERVICE_ID     one phase on its own
//   click X Y                 a left click at gauge pixels
//   area N                    a left click in the middle of the N-th clickable area
//   note TEXT                 copied into the trace or the run's log
//
// Flight-level steps (the panel application alone; the trace tool refuses them):
//   wait DURATION             5s, 0.5s, 2m, 1m30s, 500ms
//   at TIME                   time since the start: 2:30, 1:02:30 or 150s; never backwards
//   ramp VAR to NUMBER over DURATION
//   fly heading DEG | fly altitude FT | fly speed KT | fly vertical_speed FPM
//   world position LAT LON | altitude FT | heading DEG | speed KT | wind FROM_DEG KT |
//         utc HH:MM[:SS] | baro MB | obs DEG | waypoint IDENT LAT LON |
//         dme IDENT MHZ LAT LON RANGE_NM [ELEVATION_FT] | tune MHZ | supply on|off | gps_status N
//   gauge NAME                the gauge later low-level steps act on
//   click GAUGE CONTROL [xN]  N clicks in the middle of a named control
//   click GAUGE X Y
//   expect GAUGE ELEMENT text "TEXT" | shown | hidden | frame N   [within DURATION]
//   expect cue NAME | "FULL\PATH.wav"                             [within DURATION]
//   expect event NAME_OR_ID                                       [within DURATION]
//   snapshot NAME [night]     NAME of letters, digits, '-', '_', '.'; once per script
//
// VAR is a variable's id or its catalogue name (773 or avionics_supply), and each step must
// give the type the catalogue holds for it. GAUGE is the gauge's own name or its alias (gps,
// dme), with #N for the N-th of several of one name (gps#2); CONTROL and ELEMENT are names from face_names.h, or
// numbers. An expectation that holds when its step is reached is met there; otherwise it must come true within its
// time, or by the next update without `within`. In the panel, set/int/text/null pin a variable over the world's value
// until `clear`. Lines may end in CRLF and the file may start with a UTF-8 byte-order mark; any other control character
// is an error. Every error is found before anything runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gauge_instance.h"
#include "simulator_catalogue.h"

namespace panel::scenario {

// Far more updates than any session needs (over three hours at 18 a second); a script that
// asks for more is refused before it runs.
inline constexpr int64_t max_script_frames = 200000;

class ScriptError : public std::runtime_error {
public:
    // "line N: what" or "line N, column C: what".
    ScriptError(int line, int column, const std::string& message);
    int line() const { return line_; }
    int column() const { return column_; }  // 0 when the whole line is meant
    const std::string& message() const { return message_; }
    // "FILE:LINE: what" (with ":COLUMN" when known), for a message about a file.
    std::string located(const std::string& file) const;

private:
    int line_;
    int column_;
    std::string message_;
};

// What a script may know of one gauge of the panel.
struct GaugeInfo {
    std::string name;  // the gauge's own name
    size_t element_count = 0;
    size_t area_count = 0;  // clickable areas
};

GaugeInfo gauge_info(const GaugeRecords& records);

// What a script is read against: the variables and events by name, the panel's gauges, and
// whether the flight-level steps may be used.
class ScriptContext {
public:
    // The trace tool's: one gauge, low-level steps only.
    static ScriptContext session(const Catalogue& catalogue = simulator_catalogue());
    // The panel application's: every step; gauges are numbered by their place in `gauges`.
    static ScriptContext panel(std::vector<GaugeInfo> gauges, const Catalogue& catalogue = simulator_catalogue());

    const Catalogue& catalogue() const { return *catalogue_; }
    const std::vector<GaugeInfo>& gauges() const { return gauges_; }
    bool flight_steps() const { return flight_steps_; }

private:
    ScriptContext(const Catalogue& catalogue, std::vector<GaugeInfo> gauges, bool flight_steps)
        : catalogue_(&catalogue), gauges_(std::move(gauges)), flight_steps_(flight_steps) {}

    const Catalogue* catalogue_;
    std::vector<GaugeInfo> gauges_;
    bool flight_steps_;
};

enum class StepKind {
    // Low-level.
    // clang-format off
    set_number, set_integer, set_text, set_null_text, clear,
    frame, pre_update, elements, pre_draw, service,
    click, click_area, note,
    // Flight-level.
    wait, at, ramp, fly, world, select_gauge, click_control, expect, snapshot,
    // clang-format on
};

enum class FlyTarget { heading, altitude, speed, vertical_speed };

enum class WorldKind {
    // clang-format off
    position, altitude, heading, speed, wind, utc, baro, obs, waypoint, dme, tune, supply, gps_status,
    // clang-format on
};

// A change to the simulated world; which fields count depends on the kind.
struct WorldStep {
    WorldKind kind = WorldKind::position;
    // altitude ft, heading deg, speed kt, wind: from deg, utc: seconds of the day, baro mb,
    // obs deg, dme and tune: MHz.
    double value = 0.0;
    double knots = 0.0;                      // wind
    double latitude = 0.0, longitude = 0.0;  // position, waypoint, dme: degrees, north and east positive
    double range_nm = 0.0;                   // dme
    std::optional<double> elevation_ft;      // dme
    int32_t frequency_bcd = 0;               // dme, tune: as dme_frequency holds it (113.45 MHz is 0x1345)
    std::string ident;                       // waypoint, dme
    int32_t integer = 0;                     // gps_status
    bool on = false;                         // supply
};

enum class ExpectKind { text, shown, hidden, frame, cue, event };

struct Step {
    StepKind kind = StepKind::note;
    int line = 0;
    double time = 0.0;             // the script's own clock when the step starts, seconds since the start
    size_t gauge = 0;              // the gauge acted on or watched, by its place in the context's list
    uint32_t id = 0;               // variable id; the event of `expect event`
    double number = 0.0;           // set, ramp's target, fly's target
    int32_t integer = 0;           // int, service id, area number, frame count, the icon frame expected
    int32_t x = 0, y = 0;          // click
    std::string text;              // text, note, the text expected, a cue's name or path, snapshot name
    double seconds = 0.0;          // wait's and ramp's length; at: the time to reach
    std::optional<double> within;  // expect: how long it may take
    int32_t count = 1;             // click_control: how many clicks
    size_t element = 0;            // expect: its draw-order number
    ExpectKind expect = ExpectKind::text;
    bool cue_path = false;  // expect cue: `text` is a whole path, not a file stem
    bool night = false;     // snapshot
    FlyTarget fly = FlyTarget::heading;
    WorldStep world;
    std::string description;  // expect: what is expected, as a failure names it
};

struct Script {
    std::vector<Step> steps;
    double seconds = 0.0;  // where the script's clock stands after its last step
};

// One line for each step a script may take, for help texts.
std::vector<std::string> step_help();

// Throws ScriptError naming the line (and column) of the first malformed step.
Script parse_script(std::string_view source, const ScriptContext& context);

}  // namespace panel::scenario
