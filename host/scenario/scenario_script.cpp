#include "scenario_script.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <map>

#include "face_names.h"
#include "gauge_cues.h"
#include "gauge_names.h"
#include "line_words.h"
#include "scenario_time.h"
#include "simulator_units.h"
#include "text_escape.h"

namespace panel::scenario {
namespace {

using controls::face_names;
using controls::FaceNames;
using controls::number_of;

bool looks_numeric(std::string_view word) {
    return !word.empty() && (std::isdigit(static_cast<unsigned char>(word[0])) || word[0] == '-');
}

constexpr double longest_script = static_cast<double>(max_script_frames) / frames_per_second;

bool identifier(std::string_view text, size_t longest) {
    if (text.empty() || text.size() > longest) return false;
    for (char c : text) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') return false;
    }
    return true;
}

std::vector<std::string> own_names(const std::vector<GaugeInfo>& gauges) {
    std::vector<std::string> names;
    for (const GaugeInfo& gauge : gauges) names.push_back(gauge.name);
    return names;
}

class Parser {
public:
    explicit Parser(const ScriptContext& context)
        : context_(context), gauge_names_(own_names(context.gauges())), catalogue_(context.catalogue()) {}

    Step step(LineWords& in, const std::string& verb, int line);

    double seconds() const { return now_; }
    static std::vector<std::string> help_lines();

private:
    // One reader a verb, each filling the step from the rest of its line.
    void read_set(LineWords& in, Step& step) {
        step.kind = StepKind::set_number;
        step.id = variable(in, VariableType::number, "set");
        step.number = in.number();
    }
    void read_int(LineWords& in, Step& step) {
        step.kind = StepKind::set_integer;
        step.id = variable(in, VariableType::integer, "int");
        step.integer = in.int32("an integer");
    }
    void read_text(LineWords& in, Step& step) {
        step.kind = StepKind::set_text;
        step.id = variable(in, VariableType::text, "text");
        step.text = in.word("a text");
    }
    void read_null(LineWords& in, Step& step) {
        step.kind = StepKind::set_null_text;
        step.id = variable(in, VariableType::text, "null");
    }
    void read_clear(LineWords& in, Step& step) {
        step.kind = StepKind::clear;
        step.id = variable(in, std::nullopt, "clear");
    }
    void read_frame(LineWords& in, Step& step) {
        step.kind = StepKind::frame;
        step.integer = in.at_end() ? 1 : in.int32("a frame count");
        if (step.integer < 1 || step.integer > 100000) in.fail("frame count out of range (1 to 100000)");
        frames_ += step.integer;
        if (frames_ > max_script_frames) {
            in.fail("the script asks for more than " + std::to_string(max_script_frames) + " frames in all");
        }
        advance_clock(in, now_ + step.integer / frames_per_second);
    }
    void read_pre_update(LineWords& in, Step& step) { phase(in, step, StepKind::pre_update); }
    void read_elements(LineWords& in, Step& step) { phase(in, step, StepKind::elements); }
    void read_pre_draw(LineWords& in, Step& step) { phase(in, step, StepKind::pre_draw); }
    void phase(LineWords& in, Step& step, StepKind kind) {
        step.kind = kind;
        check_gauge(in);
    }
    void read_service(LineWords& in, Step& step) {
        step.kind = StepKind::service;
        step.integer = in.int32("a service id");
        check_gauge(in);
    }
    void read_area(LineWords& in, Step& step) {
        step.kind = StepKind::click_area;
        step.integer = in.int32("an area number");
        check_gauge(in);
        if (context_.flight_steps()) check_area(in, step.gauge, step.integer);
    }
    void read_note(LineWords& in, Step& step) {
        step.kind = StepKind::note;
        step.text = in.rest();
    }
    void read_wait(LineWords& in, Step& step) {
        step.kind = StepKind::wait;
        step.seconds = duration(in);
        advance_clock(in, now_ + step.seconds);
    }
    void read_at(LineWords& in, Step& step) {
        step.kind = StepKind::at;
        const std::string word = in.word("a time");
        const std::optional<double> time = parse_clock(word);
        if (!time) in.fail("bad time '" + word + "' (write 2:30, 1:02:30 or 150s)");
        if (*time < now_)
            in.fail("time goes backwards (at " + format_clock(*time) + " after " + format_clock(now_) + ")");
        step.seconds = *time;
        advance_clock(in, *time);
    }
    void read_ramp(LineWords& in, Step& step) {
        step.kind = StepKind::ramp;
        step.id = variable(in, VariableType::number, "ramp");
        keyword(in, "to");
        step.number = in.finite_number("the ramp's target");
        keyword(in, "over");
        step.seconds = duration(in);
    }
    void read_fly(LineWords& in, Step& step) {
        step.kind = StepKind::fly;
        fly(in, step);
    }
    void read_world(LineWords& in, Step& step) {
        step.kind = StepKind::world;
        world(in, step.world);
    }
    void read_gauge(LineWords& in, Step& step) {
        step.kind = StepKind::select_gauge;
        current_gauge_ = step.gauge = gauge(in.word("a gauge name"), in);
    }
    void read_expect(LineWords& in, Step& step) {
        step.kind = StepKind::expect;
        expect(in, step);
    }
    void read_snapshot(LineWords& in, Step& step) {
        step.kind = StepKind::snapshot;
        snapshot(in, step);
    }

    // Every verb: where it may stand, how it is read, and its line of help.
    enum class Level { session, flight };
    struct Verb {
        std::string_view name;
        Level level;
        void (Parser::*read)(LineWords&, Step&);
        std::string_view help;
    };
    static const Verb verbs[];

    // click X Y on the current gauge; click GAUGE CONTROL [xN] or click GAUGE X Y.
    void click(LineWords& in, Step& step) {
        const std::string first = in.word("x or a gauge name");
        if (looks_numeric(first)) {
            step.kind = StepKind::click;
            step.x = in.int32_of(first);
            step.y = in.int32("y");
            check_gauge(in);
            return;
        }
        if (!context_.flight_steps()) in.fail("'click' on a named gauge needs the panel application (panelhost run)");
        step.gauge = gauge(first, in);
        const std::string second = in.word("a control or x");
        if (looks_numeric(second)) {
            step.kind = StepKind::click;
            step.x = in.int32_of(second);
            step.y = in.int32("y");
            return;
        }
        step.kind = StepKind::click_control;
        const FaceNames* names = face_names(context_.gauges()[step.gauge].name);
        step.integer = static_cast<int32_t>(names ? number_of(names->controls, second) : 0);
        if (step.integer == 0) {
            std::string known;
            if (names) {
                for (std::string_view control : names->controls)
                    known += (known.empty() ? "" : ", ") + std::string(control);
            }
            in.fail("unknown control '" + second + "' of " + gauge_label(step.gauge) +
                    (names ? " (its controls: " + known + ")" : " (it has no named controls; click X Y)"));
        }
        check_area(in, step.gauge, step.integer);
        if (!in.at_end()) {
            const std::string times = in.word("a click count");
            if (times.size() < 2 || times[0] != 'x' || !looks_numeric(times.substr(1))) {
                in.fail("bad click count '" + times + "' (write x3)");
            }
            step.count = in.int32_of(times.substr(1));
            if (step.count < 1 || step.count > 100) in.fail("click count out of range (1 to 100)");
        }
    }

    void fly(LineWords& in, Step& step) {
        const std::string what = in.word("heading, altitude, speed or vertical_speed");
        if (what == "heading") {
            step.fly = FlyTarget::heading;
            step.number = in.number_in("heading", 0.0, 360.0);
        } else if (what == "altitude") {
            step.fly = FlyTarget::altitude;
            step.number = in.number_in("altitude", -1500.0, 60000.0);
        } else if (what == "speed") {
            step.fly = FlyTarget::speed;
            step.number = in.number_in("speed", 0.0, 1000.0);
        } else if (what == "vertical_speed") {
            step.fly = FlyTarget::vertical_speed;
            step.number = in.number_in("vertical speed", -10000.0, 10000.0);
        } else {
            in.fail("fly what? '" + what + "' (heading, altitude, speed or vertical_speed)");
        }
    }

    void world(LineWords& in, WorldStep& world) {
        const std::string what = in.word("what to set in the world");
        if (what == "position") {
            world.kind = WorldKind::position;
            position(in, world);
        } else if (what == "altitude") {
            world.kind = WorldKind::altitude;
            world.value = in.number_in("altitude", -1500.0, 60000.0);
        } else if (what == "heading") {
            world.kind = WorldKind::heading;
            world.value = in.number_in("heading", 0.0, 360.0);
        } else if (what == "speed") {
            world.kind = WorldKind::speed;
            world.value = in.number_in("speed", 0.0, 1000.0);
        } else if (what == "wind") {
            world.kind = WorldKind::wind;
            world.value = in.number_in("wind direction", 0.0, 360.0);
            world.knots = in.number_in("wind speed", 0.0, 300.0);
        } else if (what == "utc") {
            world.kind = WorldKind::utc;
            world.value = time_of_day(in);
        } else if (what == "baro") {
            world.kind = WorldKind::baro;
            world.value = in.number_in("baro", 850.0, 1100.0);
        } else if (what == "obs") {
            world.kind = WorldKind::obs;
            world.value = in.number_in("obs", 0.0, 360.0);
        } else if (what == "waypoint") {
            world.kind = WorldKind::waypoint;
            world.ident = ident(in);
            position(in, world);
        } else if (what == "dme") {
            world.kind = WorldKind::dme;
            world.ident = ident(in);
            frequency(in, world);
            position(in, world);
            world.range_nm = in.number_in("range", 0.0, 500.0);
            if (!in.at_end()) world.elevation_ft = in.number_in("elevation", -1500.0, 30000.0);
        } else if (what == "tune") {
            world.kind = WorldKind::tune;
            frequency(in, world);
        } else if (what == "supply") {
            world.kind = WorldKind::supply;
            const std::string state = in.word("on or off");
            if (state != "on" && state != "off") in.fail("supply '" + state + "'? (on or off)");
            world.on = state == "on";
        } else if (what == "gps_status") {
            world.kind = WorldKind::gps_status;
            world.integer = in.int32("a status code");
        } else {
            in.fail("unknown world setting '" + what +
                    "' (position, altitude, heading, speed, wind, utc, baro, obs, waypoint, dme, tune, supply, "
                    "gps_status)");
        }
    }

    void position(LineWords& in, WorldStep& world) {
        world.latitude = in.number_in("latitude", -90.0, 90.0);
        world.longitude = in.number_in("longitude", -180.0, 180.0);
    }

    std::string ident(LineWords& in) {
        std::string word = in.word("an identifier");
        if (!identifier(word, 10)) in.fail("bad identifier '" + word + "' (1 to 10 letters, digits, '-' or '_')");
        return word;
    }

    // A DME channel: 108.00 to 117.95 MHz in steps of 0.05.
    void frequency(LineWords& in, WorldStep& world) {
        world.value = in.number_in("frequency", 108.0, 117.95);
        const double hundredths = world.value * 100.0;
        const int64_t channel = std::llround(hundredths);
        if (std::fabs(hundredths - static_cast<double>(channel)) > 1e-6 || channel % 5 != 0) {
            in.fail("frequency " + short_number(world.value) + " is not a DME channel (108.00 to 117.95 by 0.05)");
        }
        world.frequency_bcd = units::bcd_frequency(static_cast<int>(channel));
    }

    // HH:MM or HH:MM:SS, as seconds of the day.
    double time_of_day(LineWords& in) {
        const std::string word = in.word("a time of day");
        int parts[3] = {0, 0, 0};
        int count = 0;
        bool ok = true;
        std::string_view rest = word;
        while (ok && count < 3) {
            const size_t colon = rest.find(':');
            const std::string_view part = rest.substr(0, colon);
            auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), parts[count]);
            ok = error == std::errc() && end == part.data() + part.size() && part.size() >= 1 && part.size() <= 2 &&
                 (count == 0 || part.size() == 2);
            ++count;
            if (colon == std::string_view::npos) break;
            rest.remove_prefix(colon + 1);
            if (count == 3) ok = false;
        }
        if (!ok || count < 2 || parts[0] > 23 || parts[1] > 59 || parts[2] > 59) {
            in.fail("bad time of day '" + word + "' (write HH:MM or HH:MM:SS)");
        }
        return parts[0] * 3600.0 + parts[1] * 60.0 + parts[2];
    }

    // expect GAUGE ELEMENT ..., expect cue NAME, expect event NAME.
    void expect(LineWords& in, Step& step) {
        const std::string subject = in.word("a gauge, cue or event");
        if (subject == "cue") {
            step.expect = ExpectKind::cue;
            step.text = in.word("a cue");
            step.cue_path = in.last_quoted();
            if (!step.cue_path && number_of(gauge_cue_stems, step.text) == 0) {
                in.fail("unknown cue '" + step.text + "' (click, soft_click, beep2, beep3, beep4, or a quoted path)");
            }
            step.description = "cue " + (step.cue_path ? quote_text(step.text) : step.text);
        } else if (subject == "event") {
            step.expect = ExpectKind::event;
            step.id = event(in);
            step.description = "event " + describe_event(catalogue_, step.id);
        } else {
            step.gauge = gauge(subject, in);
            step.element = element(in, step.gauge);
            const std::string what = in.word("text, shown, hidden or frame");
            step.description = gauge_label(step.gauge) + " " + element_label(step.gauge, step.element) + " " + what;
            if (what == "text") {
                step.expect = ExpectKind::text;
                step.text = in.word("the text expected");
                step.description += " " + quote_text(step.text);
            } else if (what == "shown") {
                step.expect = ExpectKind::shown;
            } else if (what == "hidden") {
                step.expect = ExpectKind::hidden;
            } else if (what == "frame") {
                step.expect = ExpectKind::frame;
                step.integer = in.int32("a frame number");
                if (step.integer < 0) in.fail("frame number out of range (0 and up)");
                step.description += " " + std::to_string(step.integer);
            } else {
                in.fail("expect what of " + gauge_label(step.gauge) + "? '" + what +
                        "' (text, shown, hidden or frame)");
            }
        }
        if (in.at_end()) return;
        keyword(in, "within");
        const std::string written = in.word("a duration");
        const std::optional<double> within = parse_duration(written);
        if (!within) in.fail("bad duration '" + written + "' (write 5s, 0.5s, 2m, 1m30s or 500ms)");
        if (now_ + *within > longest_script) {
            in.fail("within " + written + " reaches past " + format_clock(longest_script) +
                    ", the longest a script may run");
        }
        step.within = *within;
        step.description += " within " + written;
    }

    void snapshot(LineWords& in, Step& step) {
        step.text = in.word("a snapshot name");
        bool ok = !step.text.empty() && step.text.size() <= 64 && step.text[0] != '.';
        for (char c : step.text) {
            ok = ok && (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.');
        }
        if (!ok) in.fail("bad snapshot name '" + step.text + "' (letters, digits, '-', '_' and '.', not first)");
        auto [first, added] = snapshots_.emplace(step.text, step.line);
        if (!added)
            in.fail("snapshot '" + step.text + "' is taken twice (first on line " + std::to_string(first->second) +
                    ")");
        if (!in.at_end()) {
            const std::string mode = in.word("night");
            if (mode != "night") in.fail("snapshot mode '" + mode + "'? (night, or nothing for day)");
            step.night = true;
        }
    }

    void keyword(LineWords& in, const char* expected) {
        const std::string word = in.word(expected);
        if (word != expected) in.fail(std::string("expected '") + expected + "', not '" + word + "'");
    }

    double duration(LineWords& in) {
        const std::string word = in.word("a duration");
        const std::optional<double> seconds = parse_duration(word);
        if (!seconds) in.fail("bad duration '" + word + "' (write 5s, 0.5s, 2m, 1m30s or 500ms)");
        return *seconds;
    }

    void advance_clock(LineWords& in, double to) {
        if (frames_at(to) > max_script_frames) {
            in.fail("the script runs past " + format_clock(longest_script) + ", the longest a script may run");
        }
        now_ = to;
    }

    // The gauge a name means: its own name or its alias, with #N for the N-th of several
    // gauges of that name in panel order (gps#2).
    size_t gauge(const std::string& written, LineWords& in) {
        const controls::GaugeNames::Found found = gauge_names_.find(written);
        if (!found.gauge) in.fail(found.problem);
        return *found.gauge;
    }

    std::string gauge_label(size_t gauge) const { return gauge_names_.label(gauge); }

    std::string element_label(size_t gauge, size_t element) const {
        const FaceNames* names = face_names(context_.gauges()[gauge].name);
        if (names && element <= names->elements.size()) return std::string(names->elements[element - 1]);
        return "element " + std::to_string(element);
    }

    // An element by name or by draw-order number.
    size_t element(LineWords& in, size_t gauge) {
        const std::string word = in.word("an element");
        const GaugeInfo& info = context_.gauges()[gauge];
        size_t number = 0;
        if (looks_numeric(word)) {
            const int64_t value = in.integer_of(word);
            if (value < 1 || static_cast<uint64_t>(value) > info.element_count) {
                in.fail(gauge_label(gauge) + " has no element " + word + " (it has " +
                        std::to_string(info.element_count) + ")");
            }
            return static_cast<size_t>(value);
        }
        const FaceNames* names = face_names(info.name);
        if (names) number = number_of(names->elements, word);
        if (number == 0) {
            in.fail("unknown element '" + word + "' of " + gauge_label(gauge) +
                    (names ? "" : " (it has no named elements; give its number)"));
        }
        if (number > info.element_count) {
            in.fail(gauge_label(gauge) + " has only " + std::to_string(info.element_count) + " elements; '" + word +
                    "' is element " + std::to_string(number));
        }
        return number;
    }

    void check_gauge(LineWords& in) const {
        if (context_.flight_steps() && context_.gauges().empty()) in.fail("the panel has no gauge to act on");
    }

    void check_area(LineWords& in, size_t gauge, int32_t area) const {
        const size_t count = context_.gauges()[gauge].area_count;
        if (area < 1 || static_cast<size_t>(area) > count) {
            in.fail(gauge_label(gauge) + " has no area " + std::to_string(area) + " (it has " + std::to_string(count) +
                    ")");
        }
    }

    uint32_t event(LineWords& in) {
        const std::string word = in.word("an event");
        const KeyEventInfo* info = catalogue_.event(word);
        if (info == nullptr && looks_numeric(word)) {
            const int64_t id = in.integer_of(word);
            info = id >= 0 ? catalogue_.event(static_cast<uint32_t>(id)) : nullptr;
            if (info == nullptr) in.fail("event " + word + " is not one the simulator has");
        }
        if (info == nullptr) in.fail("unknown event '" + word + "'");
        return info->id;
    }

    // A variable by id or by name, of the type the step sets (any type for `clear`).
    uint32_t variable(LineWords& in, std::optional<VariableType> type, const char* verb) {
        const std::string word = in.word("a variable");
        const VariableInfo* info = catalogue_.variable(word);
        if (info == nullptr && looks_numeric(word)) {
            uint32_t id = 0;
            auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), id);
            if (error != std::errc() || end != word.data() + word.size()) in.fail("not a variable: " + word);
            info = catalogue_.variable(id);
            if (info == nullptr) in.fail("variable " + word + " is not one the simulator has");
        }
        if (info == nullptr) in.fail("unknown variable '" + word + "'");
        if (type && info->type != *type) {
            const std::string verb_text(verb);
            in.fail(verb_text + ": variable " + describe_variable(catalogue_, info->id) + " holds " +
                    (info->type == VariableType::integer ? "an " : "a ") + type_name(info->type) +
                    (verb_text == "ramp"                   ? "; only numbers ramp"
                     : info->type == VariableType::number  ? "; use set"
                     : info->type == VariableType::integer ? "; use int"
                                                           : "; use text or null"));
        }
        return info->id;
    }

    const ScriptContext& context_;
    controls::GaugeNames gauge_names_;
    const Catalogue& catalogue_;
    int64_t frames_ = 0;
    double now_ = 0.0;
    size_t current_gauge_ = 0;
    std::map<std::string, int> snapshots_;  // name, line
};

const Parser::Verb Parser::verbs[] = {
    {"set", Level::session, &Parser::read_set, "set VAR NUMBER            a double: 1.5, -2e3, 1e300, nan, inf, -inf"},
    {"int", Level::session, &Parser::read_int, "int VAR INTEGER           low 32 bits: 42, -7, 0x1345"},
    {"text", Level::session, &Parser::read_text, "text VAR \"quoted text\""},
    {"null", Level::session, &Parser::read_null, "null VAR                  a NULL text pointer"},
    {"clear", Level::session, &Parser::read_clear, "clear VAR                 the variable's own value again"},
    {"frame", Level::session, &Parser::read_frame,
     "frame [COUNT]             whole updates: pre-update, element pass, pre-draw"},
    {"pre-update", Level::session, &Parser::read_pre_update, "pre-update                one phase on its own"},
    {"elements", Level::session, &Parser::read_elements, "elements                  one phase on its own"},
    {"pre-draw", Level::session, &Parser::read_pre_draw, "pre-draw                  one phase on its own"},
    {"service", Level::session, &Parser::read_service, "service SERVICE_ID        one service call"},
    {"click", Level::session, &Parser::click, "click X Y | click GAUGE CONTROL [xN] | click GAUGE X Y"},
    {"area", Level::session, &Parser::read_area,
     "area N                    a click in the middle of the N-th clickable area"},
    {"note", Level::session, &Parser::read_note, "note TEXT                 copied into the trace or the run's log"},
    {"wait", Level::flight, &Parser::read_wait, "wait DURATION             5s, 0.5s, 2m, 1m30s, 500ms"},
    {"at", Level::flight, &Parser::read_at, "at TIME                   since the start: 2:30, 1:02:30 or 150s"},
    {"ramp", Level::flight, &Parser::read_ramp, "ramp VAR to NUMBER over DURATION"},
    {"fly", Level::flight, &Parser::read_fly, "fly heading|altitude|speed|vertical_speed VALUE"},
    {"world", Level::flight, &Parser::read_world,
     "world WHAT VALUE...       the world as the flight starts, or its supply"},
    {"gauge", Level::flight, &Parser::read_gauge, "gauge NAME                the gauge later low-level steps act on"},
    {"expect", Level::flight, &Parser::read_expect,
     "expect GAUGE ELEMENT ... | cue NAME | event NAME   [within DURATION]"},
    {"snapshot", Level::flight, &Parser::read_snapshot, "snapshot NAME [night]     a picture of the panel"},
};

Step Parser::step(LineWords& in, const std::string& verb, int line) {
    Step step{};
    step.line = line;
    step.time = now_;
    step.gauge = current_gauge_;
    const auto known = std::find_if(std::begin(verbs), std::end(verbs), [&](const Verb& v) { return v.name == verb; });
    if (known == std::end(verbs)) in.fail("unknown step '" + verb + "'");
    if (known->level == Level::flight && !context_.flight_steps()) {
        in.fail("'" + verb + "' needs the panel application (panelhost run)");
    }
    (this->*known->read)(in, step);
    // A note takes the rest of its line, whatever it holds.
    if (step.kind != StepKind::note) in.done();
    return step;
}

std::vector<std::string> Parser::help_lines() {
    std::vector<std::string> lines;
    for (const Verb& verb : verbs) lines.emplace_back(verb.help);
    return lines;
}

// Tab is a blank; CR only ends a line; every other control character is a mistake.
void check_characters(std::string_view line, int number) {
    for (size_t i = 0; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "0x%02X", byte);
            throw ScriptError(number, static_cast<int>(i) + 1, std::string("stray control character ") + code);
        }
    }
}

}  // namespace

namespace {

// A message echoes the script's words, and a quoted word may hold any byte ("\x0A" among
// them); control characters are written as \xNN so that every message stays one line.
std::string one_line(const std::string& message) {
    std::string text;
    for (const char c : message) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            text += c;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
        text += escaped;
    }
    return text;
}

}  // namespace

ScriptError::ScriptError(int line, int column, const std::string& message)
    : std::runtime_error("line " + std::to_string(line) + (column ? ", column " + std::to_string(column) : "") + ": " +
                         one_line(message)),
      line_(line),
      column_(column),
      message_(one_line(message)) {}

std::string ScriptError::located(const std::string& file) const {
    return file + ":" + std::to_string(line_) + (column_ ? ":" + std::to_string(column_) : "") + ": " + message_;
}

GaugeInfo gauge_info(const GaugeRecords& records) {
    return {.name = records.name, .element_count = records.elements.size(), .area_count = records.mouse_areas.size()};
}

ScriptContext ScriptContext::session(const Catalogue& catalogue) {
    return ScriptContext(catalogue, {}, false);
}

ScriptContext ScriptContext::panel(std::vector<GaugeInfo> gauges, const Catalogue& catalogue) {
    return ScriptContext(catalogue, std::move(gauges), true);
}

std::vector<std::string> step_help() {
    return Parser::help_lines();
}

Script parse_script(std::string_view source, const ScriptContext& context) {
    constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";
    if (source.substr(0, byte_order_mark.size()) == byte_order_mark) source.remove_prefix(byte_order_mark.size());
    Parser parser(context);
    Script script;
    int number = 0;
    while (!source.empty()) {
        size_t end = source.find('\n');
        std::string_view line = source.substr(0, end);
        source = end == std::string_view::npos ? std::string_view() : source.substr(end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        check_characters(line, number);
        LineWords in(line, number);
        if (in.at_end()) continue;
        std::string verb = in.word("a step");
        script.steps.push_back(parser.step(in, verb, number));
    }
    script.seconds = parser.seconds();
    return script;
}

}  // namespace panel::scenario
