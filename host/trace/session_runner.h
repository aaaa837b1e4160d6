// Runs a scripted session against one loaded gauge and writes its trace: the module's records
// as read at their offsets, then per step what the gauge did, line by line. Every element's
// flags, value and text after each element pass; every variable lookup, simulator event and
// cue, in the order the gauge asked for them.
#pragma once

#include <string>
#include <vector>

#include "gauge_session.h"
#include "session_script.h"

namespace panel::trace {

class SessionRunner {
public:
    explicit SessionRunner(GaugeSession& session) : session_(session) {}

    // Appends the record dump, then the trace of every step, to `trace`.
    void run(const std::vector<Step>& steps, std::string& trace);

private:
    void run_step(const Step& step);
    void element_pass_lines(const std::string& prefix);
    void log_lines(const std::string& prefix);
    void line(std::string text);

    GaugeSession& session_;
    std::string* trace_ = nullptr;
    int frames_ = 0;
};

}  // namespace panel::trace
