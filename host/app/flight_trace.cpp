#include "flight_trace.h"

#include <bit>
#include <cstdio>

#include "trace_lines.h"

namespace panel::app {
namespace {

// Bit for bit, so that a NaN that stays a NaN is no change.
bool same(double a, double b) {
    return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

}  // namespace

FlightTrace::FlightTrace(const Panel& panel, std::ostream& out) : panel_(panel), out_(out) {
    for (size_t i = 0; i < panel.size(); ++i) {
        const size_t count = panel.at(i).gauge->records().elements.size();
        last_.emplace_back(count);
        written_.emplace_back(count, false);
    }
}

void FlightTrace::write_records() {
    for (size_t i = 0; i < panel_.size(); ++i) {
        const PlacedGauge& placed = panel_.at(i);
        out_ << "gauge " << i + 1 << " " << placed.alias << " " << placed.name << " " << placed.module << '\n';
        for (const std::string& record : placed.gauge->record_lines()) out_ << placed.alias << " " << record << '\n';
    }
}

void FlightTrace::begin_frame(uint64_t number, double seconds) {
    frame_prefix_ = "f" + std::to_string(number);
    char time[32];
    std::snprintf(time, sizeof time, "%.3f", seconds);
    out_ << "frame " << number << " t=" << time << '\n';
}

void FlightTrace::line(const std::string& text) {
    out_ << text << '\n';
}

void FlightTrace::phase_done(size_t gauge, Phase phase, const EventLog& log) {
    const std::string prefix = panel_.at(gauge).alias + " " + frame_prefix_ + " " + phase_name(phase);
    if (phase == Phase::elements) write_changes(gauge);
    for (const KeyEvent& event : log.events()) out_ << event_line(prefix, event) << '\n';
    for (const CueRequest& cue : log.cues()) out_ << cue_line(prefix, cue) << '\n';
    if (log.dropped() > 0) out_ << prefix << " dropped " << log.dropped() << '\n';
}

void FlightTrace::write_changes(size_t gauge) {
    const PlacedGauge& placed = panel_.at(gauge);
    const auto& records = placed.gauge->records().elements;
    const auto& states = placed.gauge->elements();
    const std::string prefix = placed.alias + " " + frame_prefix_;
    for (size_t i = 0; i < states.size(); ++i) {
        const ElementState& now = states[i];
        ElementState& before = last_[gauge][i];
        if (written_[gauge][i] && now.flags == before.flags && now.text == before.text &&
            same(now.value, before.value) && same(now.y_value, before.y_value)) {
            continue;
        }
        out_ << element_line(prefix, i + 1, records[i].kind, now) << '\n';
        before = now;
        written_[gauge][i] = true;
    }
}

}  // namespace panel::app
