#include "session_runner.h"

#include <algorithm>
#include <charconv>

#include "record_dump.h"
#include "text_escape.h"

namespace panel::trace {
namespace {

std::string hex(uint32_t value) {
    char text[16];
    auto end = std::to_chars(text, text + sizeof text, value, 16).ptr;
    return "0x" + std::string(text, end);
}

const char* kind_name(uint32_t kind) {
    switch (kind) {
        case ELEMENT_STATIC_IMAGE: return "static";
        case ELEMENT_STRING: return "string";
        case ELEMENT_SLIDER: return "slider";
        case ELEMENT_ICON: return "icon";
        default: return "unknown";
    }
}

}  // namespace

void SessionRunner::run(const std::vector<Step>& steps, std::string& trace) {
    trace_ = &trace;
    for (std::string& record : dump_records(session_.module())) line(std::move(record));
    for (const Step& step : steps) run_step(step);
    trace_ = nullptr;
}

void SessionRunner::line(std::string text) {
    *trace_ += text;
    *trace_ += '\n';
}

void SessionRunner::run_step(const Step& step) {
    VariableStore& variables = session_.variables();
    FrameDriver& driver = session_.driver();
    const std::string at = " (line " + std::to_string(step.line) + ")";
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
            // A zero in the low 32 bits, and the high ones: a NULL pointer in either build.
            variables.set_integer(step.id, 0);
            line("null " + std::to_string(step.id) + at);
            return;
        case StepKind::clear:
            variables.clear(step.id);
            line("clear " + std::to_string(step.id) + at);
            return;
        case StepKind::note:
            line("note " + step.text);
            return;
        case StepKind::frame:
            for (int i = 0; i < step.integer; ++i) {
                const std::string prefix = "f" + std::to_string(++frames_);
                line("frame " + std::to_string(frames_) + at);
                driver.call_gauge(SERVICE_PRE_UPDATE);
                log_lines(prefix + " pre-update");
                driver.update_elements();
                element_pass_lines(prefix);
                log_lines(prefix + " elements");
                driver.call_gauge(SERVICE_PRE_DRAW);
                log_lines(prefix + " pre-draw");
            }
            return;
        case StepKind::pre_update:
            line("pre-update" + at);
            driver.call_gauge(SERVICE_PRE_UPDATE);
            log_lines(" pre-update");
            return;
        case StepKind::elements: {
            const std::string prefix = "f" + std::to_string(++frames_);
            line("elements " + std::to_string(frames_) + at);
            driver.update_elements();
            element_pass_lines(prefix);
            log_lines(prefix + " elements");
            return;
        }
        case StepKind::pre_draw:
            line("pre-draw" + at);
            driver.call_gauge(SERVICE_PRE_DRAW);
            log_lines(" pre-draw");
            return;
        case StepKind::service:
            line("service " + std::to_string(step.integer) + at);
            driver.call_gauge(step.integer);
            log_lines(" service");
            return;
        case StepKind::click:
        case StepKind::click_area: {
            int32_t x = step.x, y = step.y;
            const auto& areas = session_.view().mouse_areas();
            if (step.kind == StepKind::click_area) {
                if (step.integer < 1 || static_cast<size_t>(step.integer) > areas.size()) {
                    line("area " + std::to_string(step.integer) + " missing" + at);
                    return;
                }
                const MouseRect& area = *areas[step.integer - 1];
                x = area.area_x + area.area_width / 2;
                y = area.area_y + area.area_height / 2;
            }
            MouseRect* hit = session_.click(x, y);
            auto found = std::find(areas.begin(), areas.end(), hit);
            std::string where = found == areas.end() ? "none" : std::to_string(found - areas.begin() + 1);
            line("click " + std::to_string(x) + "," + std::to_string(y) + " area=" + where + at);
            log_lines(" click");
            return;
        }
    }
}

void SessionRunner::element_pass_lines(const std::string& prefix) {
    const FrameDriver& driver = session_.driver();
    const auto& elements = session_.view().elements();
    for (size_t i = 0; i < elements.size(); ++i) {
        const uint32_t kind = elements[i]->kind;
        std::string text = prefix + " e" + std::to_string(i + 1) + " " + kind_name(kind) +
                           " flags=" + hex(element_flags(elements[i]));
        if (kind == ELEMENT_STATIC_IMAGE) {
            line(std::move(text));
            continue;
        }
        text += " value=" + format_double(driver.result(i));
        if (kind == ELEMENT_SLIDER) text += " y=" + format_double(driver.y_result(i));
        if (kind == ELEMENT_STRING) text += " text=" + quote_text(driver.text(i));
        line(std::move(text));
    }
}

void SessionRunner::log_lines(const std::string& prefix) {
    EventLog& log = session_.log();
    if (!log.lookups().empty()) {
        std::string text = prefix + " lookups=" + std::to_string(log.lookups().size()) + " ";
        for (size_t i = 0; i < log.lookups().size(); ++i) {
            text += (i ? "," : "") + std::to_string(log.lookups()[i]);
        }
        line(std::move(text));
    }
    for (const KeyEvent& event : log.events()) {
        line(prefix + " event " + hex(event.id) + " " + std::to_string(event.value));
    }
    for (const CueRequest& cue : log.cues()) {
        line(prefix + " cue " + quote_text(cue.path) + " " + hex(cue.flags));
    }
    log.clear();
}

}  // namespace panel::trace
