// The GPS navigator module through the host core (see module_harness.h for what is checked).
#include <cstdio>
#include <cstdlib>

#include "fuzz_support.h"
#include "module_fuzzers.h"

namespace panel::fuzz {

GaugeRules gps_rules() {
    return {
        .module_file = "GPS_Corvane_PX40.so",
        .supply_off = gps_supply_off,
        .power_on = {62, 121},
        .power_off = {44, 121},
        .always_hidden = {50},  // the status-code reader
        .slider_pinned = true,  // the deviation needle
    };
}

ModuleHarness& gps_harness(const std::filesystem::path& module_dir) {
    static ModuleHarness* harness = new ModuleHarness(module_dir, gps_rules());  // kept to the end
    return *harness;
}

}  // namespace panel::fuzz

#ifndef PANEL_FUZZ_NO_ENTRY
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    panel::fuzz::gps_harness(PANEL_MODULE_DIR);
    // tools/fuzz.sh reports this line: how many updates the run drove.
    std::atexit([] {
        const auto frames = static_cast<unsigned long long>(panel::fuzz::gps_harness(PANEL_MODULE_DIR).frames());
        std::fprintf(stderr, "frames: %llu\n", frames);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return panel::fuzz::run_fuzz_target([](auto input) { panel::fuzz::gps_harness(PANEL_MODULE_DIR).run(input); }, data,
                                        size);
}
#endif
