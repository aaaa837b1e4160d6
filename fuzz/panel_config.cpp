// The panel.cfg reader: any text. A panel read has windows, each with a gauge named by module
// and gauge; anything else is refused with one line naming the file.
#include <string_view>

#include "fuzz_support.h"
#include "module_fuzzers.h"
#include "panel_config.h"

namespace panel::fuzz {

void fuzz_panel_config(std::span<const uint8_t> input) {
    const std::string_view text(reinterpret_cast<const char*>(input.data()), input.size());
    PanelConfig config;
    try {
        config = parse_panel_config(text, "panel.cfg");
    } catch (const PanelConfigError& error) {
        check_one_line(error.what(), "panel.cfg:");
        return;
    }
    if (config.windows.empty()) throw FuzzFailure("a panel without windows read");
    for (const PanelWindow& window : config.windows) {
        if (window.gauges.empty()) throw FuzzFailure("[" + window.section + "] read without a gauge");
        for (const PanelGauge& gauge : window.gauges) {
            if (gauge.module.empty() || gauge.gauge.empty() || gauge.line < 1) {
                throw FuzzFailure("[" + window.section + "]: a gauge read without its module, name or line");
            }
        }
    }
}

}  // namespace panel::fuzz

#ifndef PANEL_FUZZ_NO_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return panel::fuzz::run_fuzz_target(panel::fuzz::fuzz_panel_config, data, size);
}
#endif
