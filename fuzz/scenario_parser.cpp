// The scenario parser: any text, read as the panel application reads it (both gauges, every
// step) and as the trace tool does. A script read only names what exists, so that the runner
// can trust it; anything else is refused with one line naming the file, line and column.
#include <memory>
#include <string_view>

#include "fuzz_support.h"
#include "in_process_gauge.h"
#include "module_fuzzers.h"
#include "scenario_script.h"

namespace panel::fuzz {
namespace {

using namespace panel::scenario;

// The panel of the demo: both gauges, as their modules describe them.
std::vector<GaugeInfo> both_gauges(const std::filesystem::path& module_dir) {
    // Kept loaded to the end: an instrumented module's coverage counters must outlive the
    // fuzzer's last look at them. Private copies, so that a module harness in the same
    // process may hold the files.
    static auto* loaded = new std::vector<std::unique_ptr<InProcessGauge>>;
    std::vector<GaugeInfo> gauges;
    for (const char* file : {"GPS_Corvane_PX40.so", "VER2_Corvane_VX_RD22.so"}) {
        loaded->push_back(std::make_unique<InProcessGauge>(module_dir / file, ModuleInstance::separate));
        gauges.push_back(gauge_info(loaded->back()->records()));
    }
    return gauges;
}

void check_script(const Script& script, const ScriptContext& context) {
    const Catalogue& catalogue = context.catalogue();
    int64_t frames = 0;
    for (const Step& step : script.steps) {
        const std::string where = "line " + std::to_string(step.line) + ": ";
        if (step.line < 1) throw FuzzFailure("a step without its line");
        if (!context.gauges().empty() && step.gauge >= context.gauges().size()) {
            throw FuzzFailure(where + "a step on gauge " + std::to_string(step.gauge));
        }
        const GaugeInfo* gauge = context.gauges().empty() ? nullptr : &context.gauges()[step.gauge];
        switch (step.kind) {
            case StepKind::set_number:
            case StepKind::set_integer:
            case StepKind::set_text:
            case StepKind::set_null_text: {
                const VariableInfo* info = catalogue.variable(step.id);
                const VariableType type = step.kind == StepKind::set_number    ? VariableType::number
                                          : step.kind == StepKind::set_integer ? VariableType::integer
                                                                               : VariableType::text;
                if (info == nullptr || info->type != type) {
                    throw FuzzFailure(where + "variable " + std::to_string(step.id) + " set with the wrong type");
                }
                break;
            }
            case StepKind::frame:
                if (step.integer < 1) throw FuzzFailure(where + "frame count " + std::to_string(step.integer));
                frames += step.integer;
                break;
            case StepKind::click_area:
                if (gauge && (step.integer < 1 || static_cast<size_t>(step.integer) > gauge->area_count)) {
                    throw FuzzFailure(where + "area " + std::to_string(step.integer));
                }
                break;
            case StepKind::expect:
                if (gauge && step.expect != ExpectKind::cue && step.expect != ExpectKind::event &&
                    (step.element < 1 || step.element > gauge->element_count)) {
                    throw FuzzFailure(where + "element " + std::to_string(step.element));
                }
                break;
            default: break;
        }
    }
    if (frames > max_script_frames) throw FuzzFailure(std::to_string(frames) + " frames accepted");
}

void parse(std::string_view text, const ScriptContext& context) {
    Script script;
    try {
        script = parse_script(text, context);
    } catch (const ScriptError& error) {
        check_one_line(error.located("fuzz.scenario"), "fuzz.scenario:" + std::to_string(error.line()) + ":");
        return;
    }
    check_script(script, context);
}

}  // namespace

void fuzz_scenario_parser(std::span<const uint8_t> input, const std::filesystem::path& module_dir) {
    static const ScriptContext panel = ScriptContext::panel(both_gauges(module_dir));
    static const ScriptContext session = ScriptContext::session();
    const std::string_view text(reinterpret_cast<const char*>(input.data()), input.size());
    parse(text, panel);
    parse(text, session);
}

}  // namespace panel::fuzz

#ifndef PANEL_FUZZ_NO_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return panel::fuzz::run_fuzz_target([](auto input) { panel::fuzz::fuzz_scenario_parser(input, PANEL_MODULE_DIR); },
                                        data, size);
}
#endif
