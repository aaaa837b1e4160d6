#include "session_runner.h"

#include <stdexcept>

#include "text_escape.h"
#include "trace_lines.h"

namespace panel::trace {
namespace {

using scenario::Step;
using scenario::StepKind;

}  // namespace

SessionRunner::SessionRunner(GaugeSession& session, std::ostream& out) : session_(session), out_(out) {
    session_.driver().add_observer(*this);
}

SessionRunner::~SessionRunner() {
    session_.driver().remove_observer(*this);
}

void SessionRunner::run(const std::vector<Step>& steps) {
    for (const std::string& record : session_.gauge().record_lines()) line(record);
    for (const Step& step : steps) run_step(step);
}

void SessionRunner::line(const std::string& text) {
    out_ << text << '\n';
}

void SessionRunner::flush() {
    for (const std::string& text : pending_) line(text);
    pending_.clear();
}

void SessionRunner::run_step(const Step& step) {
    VariableStore& variables = session_.variables();
    FrameDriver& driver = session_.driver();
    const std::string at = " (line " + std::to_string(step.line) + ")";
    frame_prefix_.clear();
    switch (step.kind) {
        case StepKind::set_number:
            variables.set_number(step.id, step.number);
            line("set " + std::to_string(step.id) + " " + format_double(step.number) + at);
            return;
        case StepKind::set_integer:
            variables.set_integer(step.id, step.integer);
            line("int " + std::to_string(step.id) + " " + std::to_string(step.integer) + at);
            return;
        case StepKind::set_text:
            variables.set_text(step.id, step.text);
            line("text " + std::to_string(step.id) + " " + quote_text(step.text) + at);
            return;
        case StepKind::set_null_text:
            variables.set_null_text(step.id);
            line("null " + std::to_string(step.id) + at);
            return;
        case StepKind::clear:
            variables.clear(step.id);
            line("clear " + std::to_string(step.id) + at);
            return;
        case StepKind::note: line("note " + step.text); return;
        case StepKind::frame:
            for (int i = 0; i < step.integer; ++i) {
                frame_prefix_ = "f" + std::to_string(++frames_);
                line("frame " + std::to_string(frames_) + at);
                driver.run_frame();
                flush();
            }
            return;
        case StepKind::pre_update:
            line("pre-update" + at);
            driver.pre_update();
            break;
        case StepKind::elements:
            frame_prefix_ = "f" + std::to_string(++frames_);
            line("elements " + std::to_string(frames_) + at);
            driver.update_elements();
            break;
        case StepKind::pre_draw:
            line("pre-draw" + at);
            driver.pre_draw();
            break;
        case StepKind::service:
            line("service " + std::to_string(step.integer) + at);
            driver.service(step.integer);
            break;
        case StepKind::click:
        case StepKind::click_area: {
            int32_t x = step.x, y = step.y;
            const auto& areas = session_.records().mouse_areas;
            if (step.kind == StepKind::click_area) {
                if (step.integer < 1 || static_cast<size_t>(step.integer) > areas.size()) {
                    line("area " + std::to_string(step.integer) + " missing" + at);
                    return;
                }
                std::tie(x, y) = FrameDriver::middle_of(areas[step.integer - 1]);
            }
            const ClickOutcome outcome = driver.click(x, y);
            const std::string where = outcome.area ? std::to_string(*outcome.area + 1) : "none";
            line("click " + std::to_string(x) + "," + std::to_string(y) + " area=" + where + at);
            break;
        }
        case StepKind::wait:
        case StepKind::at:
        case StepKind::ramp:
        case StepKind::fly:
        case StepKind::world:
        case StepKind::select_gauge:
        case StepKind::click_control:
        case StepKind::expect:
        case StepKind::snapshot:
            // The parser refuses these in a session; the panel application runs them.
            throw std::logic_error("line " + std::to_string(step.line) +
                                   ": a flight-level step reached the trace tool");
    }
    flush();
}

void SessionRunner::phase_done(Phase phase, const EventLog& log) {
    if (phase == Phase::elements) element_pass_lines();
    log_lines(frame_prefix_ + " " + phase_name(phase), log);
}

void SessionRunner::element_pass_lines() {
    const GaugeRecords& records = session_.records();
    const auto& states = session_.gauge().elements();
    for (size_t i = 0; i < states.size(); ++i) {
        pending_.push_back(element_line(frame_prefix_, i + 1, records.elements[i].kind, states[i]));
    }
}

void SessionRunner::log_lines(const std::string& prefix, const EventLog& log) {
    if (std::string lookups = lookups_line(prefix, log); !lookups.empty()) pending_.push_back(std::move(lookups));
    for (const KeyEvent& event : log.events()) pending_.push_back(event_line(prefix, event));
    for (const CueRequest& cue : log.cues()) pending_.push_back(cue_line(prefix, cue));
    if (log.dropped() > 0) pending_.push_back(prefix + " dropped " + std::to_string(log.dropped()));
}

}  // namespace panel::trace
