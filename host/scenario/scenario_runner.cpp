#include "scenario_runner.h"

#include <algorithm>
#include <cctype>

#include "panel_controls.h"
#include "scenario_time.h"
#include "text_escape.h"

namespace panel::scenario {
namespace {

char fold(char c) {
    return c == '/' ? '\\' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Paths as the simulator compares them: case and slash direction do not matter.
bool same_path(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return fold(x) == fold(y); });
}

// "sound\beep2.wav" -> "beep2".
std::string_view stem(std::string_view path) {
    const size_t slash = path.find_last_of("\\/");
    if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
    const size_t dot = path.rfind('.');
    return dot == std::string_view::npos ? path : path.substr(0, dot);
}

void note_seen(std::vector<std::string>& seen, std::string name) {
    // A few names tell what came instead; a gauge that clicks every update would flood the line.
    if (seen.size() < 8 && std::find(seen.begin(), seen.end(), name) == seen.end()) seen.push_back(std::move(name));
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

}  // namespace

ScenarioRunner::ScenarioRunner(ScenarioHost& host, std::string file, const Catalogue& catalogue)
    : host_(host), file_(std::move(file)), catalogue_(catalogue) {}

Summary ScenarioRunner::run(const Script& script) {
    summary_ = {};
    frames_ = 0;
    ramps_.clear();
    pending_.clear();
    recent_.clear();
    try {
        for (const Step& step : script.steps) {
            try {
                run_step(step);
            } catch (const RunError&) {
                throw;
            } catch (const std::exception& error) {
                // What the host could not do (a world change it refuses, a module that failed)
                // is told at the step that asked for it.
                fail(step, error.what());
            }
        }
        while (!pending_.empty()) advance();
    } catch (const Stopped&) {
        summary_.stopped = true;
    }
    summary_.frames = static_cast<uint64_t>(frames_);
    summary_.simulated_seconds = host_.simulated_seconds();
    return std::move(summary_);
}

std::string ScenarioRunner::at(const Step& step) const {
    return file_ + ":" + std::to_string(step.line) + ": ";
}

void ScenarioRunner::fail(const Step& step, const std::string& message) const {
    throw RunError(at(step) + message);
}

void ScenarioRunner::run_step(const Step& step) {
    switch (step.kind) {
        case StepKind::set_number:
            stop_ramp(step.id);
            host_.pin_number(step.id, step.number);
            return;
        case StepKind::set_integer: host_.pin_integer(step.id, step.integer); return;
        case StepKind::set_text: host_.pin_text(step.id, step.text); return;
        case StepKind::set_null_text: host_.pin_null_text(step.id); return;
        case StepKind::clear:
            stop_ramp(step.id);
            host_.unpin(step.id);
            return;
        case StepKind::note: host_.note(step.text); return;
        case StepKind::select_gauge: return;  // the parser already gave each later step its gauge
        case StepKind::frame:
            for (int32_t i = 0; i < step.integer; ++i) advance();
            return;
        case StepKind::wait: advance_to(step.time + step.seconds); return;
        case StepKind::at: advance_to(step.seconds); return;
        case StepKind::pre_update: host_.phase(step.gauge, Phase::pre_update, 6); break;
        case StepKind::elements: host_.phase(step.gauge, Phase::elements, 0); break;
        case StepKind::pre_draw: host_.phase(step.gauge, Phase::pre_draw, 10); break;
        case StepKind::service: host_.phase(step.gauge, Phase::service, step.integer); break;
        case StepKind::click: host_.click(step.gauge, step.x, step.y); break;
        case StepKind::click_area:
        case StepKind::click_control: {
            const auto& areas = host_.records(step.gauge).mouse_areas;
            if (step.integer < 1 || static_cast<size_t>(step.integer) > areas.size()) {
                fail(step,
                     host_.records(step.gauge).name + " in this panel has no area " + std::to_string(step.integer));
            }
            const auto [x, y] = controls::PanelControls::press_point(areas[static_cast<size_t>(step.integer) - 1]);
            const int32_t clicks = step.kind == StepKind::click_control ? step.count : 1;
            for (int32_t i = 0; i < clicks; ++i) {
                host_.click(step.gauge, x, y);
                collect();
            }
            return;
        }
        case StepKind::ramp: {
            stop_ramp(step.id);
            const int64_t length = frames_at(step.seconds);
            if (length == 0) {
                host_.pin_number(step.id, step.number);
                return;
            }
            ramps_.push_back({step.id, host_.read_number(step.id), step.number, frames_, length});
            return;
        }
        case StepKind::fly: host_.autopilot(step.fly, step.number); return;
        case StepKind::world: host_.world(step.world); return;
        case StepKind::expect:
            if (step.expect != ExpectKind::cue && step.expect != ExpectKind::event &&
                step.element > host_.elements(step.gauge).size()) {
                fail(step,
                     host_.records(step.gauge).name + " in this panel has no element " + std::to_string(step.element));
            }
            pending_.push_back({&step, frames_ + std::max<int64_t>(1, frames_at(step.within.value_or(0.0))), {}});
            // What already holds when the step is reached is met there, before later steps
            // (a click, say) change it; anything else is watched from the next update on.
            settle_now(pending_.back());
            return;
        case StepKind::snapshot:
            host_.snapshot(step.text, step.night);
            summary_.snapshots.push_back(step.text);
            return;
    }
    collect();
}

void ScenarioRunner::advance_to(double seconds) {
    const int64_t target = frames_at(seconds);
    while (frames_ < target) advance();
}

void ScenarioRunner::advance() {
    if (stop_ && stop_()) throw Stopped{};
    // Ramps set the value the gauges read during the coming update.
    const int64_t next = frames_ + 1;
    for (auto ramp = ramps_.begin(); ramp != ramps_.end();) {
        const int64_t done = std::min(next - ramp->start, ramp->length);
        host_.pin_number(ramp->id, ramp->from + (ramp->to - ramp->from) * static_cast<double>(done) /
                                                    static_cast<double>(ramp->length));
        ramp = done == ramp->length ? ramps_.erase(ramp) : ramp + 1;
    }
    host_.advance_frame();
    frames_ = next;
    collect();
    settle();
    recent_.clear();
}

void ScenarioRunner::collect() {
    host_.take_happenings(recent_);
}

void ScenarioRunner::settle_now(Pending& pending) {
    std::string reading;
    if (!holds(pending, reading)) return;
    const Step& step = *pending.step;
    const double now = static_cast<double>(frames_) / frames_per_second;
    summary_.met.push_back({step.line, now, at(step) + step.description + ": met at " + format_clock(now)});
    pending_.pop_back();
}

void ScenarioRunner::settle() {
    const double now = static_cast<double>(frames_) / frames_per_second;
    for (auto pending = pending_.begin(); pending != pending_.end();) {
        std::string reading;
        const Step& step = *pending->step;
        if (holds(*pending, reading)) {
            summary_.met.push_back({step.line, now, at(step) + step.description + ": met at " + format_clock(now)});
        } else if (frames_ >= pending->deadline) {
            summary_.failed.push_back({step.line, now, at(step) + "expected " + step.description + "; " + reading});
        } else {
            ++pending;
            continue;
        }
        pending = pending_.erase(pending);
    }
}

bool ScenarioRunner::holds(Pending& pending, std::string& reading) {
    const Step& step = *pending.step;
    if (step.expect == ExpectKind::cue || step.expect == ExpectKind::event) {
        const bool cue = step.expect == ExpectKind::cue;
        for (const Happening& happening : recent_) {
            if (cue != (happening.kind == Happening::Kind::cue)) continue;
            if (cue ? (step.cue_path ? same_path(happening.cue_path, step.text)
                                     : same_path(stem(happening.cue_path), step.text))
                    : happening.event_id == step.id) {
                return true;
            }
            note_seen(pending.seen,
                      cue ? quote_text(happening.cue_path) : describe_event(catalogue_, happening.event_id));
        }
        if (pending.seen.empty()) reading = cue ? "no cue was played" : "no event was sent";
        else reading = (cue ? "it played " : "it sent ") + joined(pending.seen);
        return false;
    }
    const ElementState& state = host_.elements(step.gauge)[step.element - 1];
    switch (step.expect) {
        case ExpectKind::shown: reading = "it stayed hidden"; return !state.hidden();
        case ExpectKind::hidden: reading = "it stayed shown"; return state.hidden();
        case ExpectKind::text:
            // What a pilot reads: a hidden element's text does not count.
            reading = "it read " + quote_text(state.text_view()) + (state.hidden() ? ", hidden" : "");
            return !state.hidden() && state.text_view() == step.text;
        default:
            reading = "it showed frame " + format_double(state.value) + (state.hidden() ? ", hidden" : "");
            return !state.hidden() && state.value == static_cast<double>(step.integer);
    }
}

void ScenarioRunner::stop_ramp(uint32_t id) {
    std::erase_if(ramps_, [id](const Ramp& ramp) { return ramp.id == id; });
}

}  // namespace panel::scenario
