// The DME radio module through the host core (see module_harness.h for what is checked).
#include <cstdio>
#include <cstdlib>

#include "fuzz_support.h"
#include "module_fuzzers.h"

namespace panel::fuzz {

GaugeRules dme_rules() {
    return {
        .module_file = "VER2_Corvane_VX_RD22.so",
        .supply_off = dme_supply_off,
        .power_on = {310, 60},
        .power_off = {295, 60},
    };
}

ModuleHarness& dme_harness(const std::filesystem::path& module_dir) {
    static ModuleHarness* harness = new ModuleHarness(module_dir, dme_rules());  // kept to the end
    return *harness;
}

}  // namespace panel::fuzz

#ifndef PANEL_FUZZ_NO_ENTRY
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    panel::fuzz::dme_harness(PANEL_MODULE_DIR);
    // tools/fuzz.sh reports this line: how many updates the run drove.
    std::atexit([] {
        const auto frames = static_cast<unsigned long long>(panel::fuzz::dme_harness(PANEL_MODULE_DIR).frames());
        std::fprintf(stderr, "frames: %llu\n", frames);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return panel::fuzz::run_fuzz_target([](auto input) { panel::fuzz::dme_harness(PANEL_MODULE_DIR).run(input); }, data,
                                        size);
}
#endif
