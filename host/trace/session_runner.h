// Runs a scripted session against one gauge and writes its trace as it goes: the module's
// records as read at their offsets, then per step what the gauge did, line by line. Every
// element's flags, value and text after each element pass; every variable lookup, simulator
// event and cue, in the order the gauge asked for them. It watches the frame driver's phases
// rather than driving the gauge itself.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "gauge_session.h"
#include "scenario_script.h"

namespace panel::trace {

class SessionRunner : private PhaseObserver {
public:
    SessionRunner(GaugeSession& session, std::ostream& out);
    ~SessionRunner() override;
    SessionRunner(const SessionRunner&) = delete;
    SessionRunner& operator=(const SessionRunner&) = delete;

    // Writes the record dump, then the trace of every step. Takes low-level steps alone, as
    // a script read with ScriptContext::session() holds.
    void run(const std::vector<scenario::Step>& steps);

private:
    void run_step(const scenario::Step& step);
    void phase_done(Phase phase, const EventLog& log) override;
    void element_pass_lines();
    void log_lines(const std::string& prefix, const EventLog& log);
    void line(const std::string& text);
    // The lines the phases of a step wrote, after the step's own line.
    void flush();

    GaugeSession& session_;
    std::ostream& out_;
    std::string frame_prefix_;  // "f12" within frame 12, "" for a phase on its own
    std::vector<std::string> pending_;
    int frames_ = 0;
};

}  // namespace panel::trace
