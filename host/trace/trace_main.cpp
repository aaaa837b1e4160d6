// panel_trace MODULE SCRIPT OUTPUT: loads one gauge module, runs the scripted session on it
// and writes the trace to OUTPUT as it goes. Built natively and for 32-bit Windows from this
// one source, so that the two traces of a session can be compared byte for byte.
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "bounded_file.h"
#include "gauge_session.h"
#include "scenario_script.h"
#include "session_runner.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s MODULE SCRIPT OUTPUT\n", argv[0]);
        return 2;
    }
    const std::string module = argv[1], script = argv[2], output = argv[3];
    std::string source;
    try {
        source = panel::read_bounded_file(script, 16u << 20, "a scripted session");
    } catch (const panel::FileReadError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 2;
    }
    std::vector<panel::scenario::Step> steps;
    try {
        steps = panel::scenario::parse_script(source, panel::scenario::ScriptContext::session()).steps;
    } catch (const panel::scenario::ScriptError& error) {
        std::fprintf(stderr, "%s\n", error.located(script).c_str());
        return 2;
    }
    std::ofstream trace(output, std::ios::binary | std::ios::trunc);
    if (!trace) {
        std::fprintf(stderr, "%s: cannot write\n", output.c_str());
        return 2;
    }
    try {
        panel::GaugeSession session(module);
        panel::trace::SessionRunner(session, trace).run(steps);
    } catch (const std::exception& error) {
        // Module errors name the module file; anything else happened while running the script.
        std::fprintf(stderr, "%s\n", error.what());
        return 2;
    }
    trace.close();
    if (!trace) {
        std::fprintf(stderr, "%s: cannot write\n", output.c_str());
        return 2;
    }
    return 0;
}
