// The fuzz targets replayed on saved inputs: each seed corpus, and every input a fuzzer once
// failed on, kept in a folder named after its fuzzer beside this file. A failure names the
// input file and the invariant it broke.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

#include "fuzz_support.h"
#include "module_fuzzers.h"

namespace {

namespace fs = std::filesystem;
using panel::fuzz::FuzzFailure;

std::vector<fs::path> inputs_of(const std::string& fuzzer) {
    std::vector<fs::path> files;
    for (const fs::path& dir : {fs::path(FUZZ_CORPUS_DIR) / fuzzer, fs::path(FUZZ_REGRESSION_DIR) / fuzzer}) {
        if (!fs::is_directory(dir)) continue;
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (entry.is_regular_file()) files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<uint8_t> bytes_of(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void replay(const std::string& fuzzer, const std::function<void(std::span<const uint8_t>)>& target) {
    const std::vector<fs::path> files = inputs_of(fuzzer);
    ASSERT_FALSE(files.empty()) << "no inputs for " << fuzzer;
    for (const fs::path& file : files) {
        const std::vector<uint8_t> bytes = bytes_of(file);
        try {
            target(bytes);
        } catch (const FuzzFailure& failure) {
            ADD_FAILURE() << file.string() << ": " << failure.what();
        }
    }
}

TEST(FuzzRegressions, GpsModule) {
    replay("gps_module", [](auto input) { panel::fuzz::gps_harness(PANEL_MODULE_DIR).run(input); });
}

TEST(FuzzRegressions, DmeModule) {
    replay("dme_module", [](auto input) { panel::fuzz::dme_harness(PANEL_MODULE_DIR).run(input); });
}

TEST(FuzzRegressions, BitmapReader) {
    replay("bitmap_reader", panel::fuzz::fuzz_bitmap_reader);
}

TEST(FuzzRegressions, ScenarioParser) {
    replay("scenario_parser", [](auto input) { panel::fuzz::fuzz_scenario_parser(input, PANEL_MODULE_DIR); });
}

TEST(FuzzRegressions, PanelConfig) {
    replay("panel_config", panel::fuzz::fuzz_panel_config);
}

TEST(FuzzRegressions, LiveInputs) {
    replay("live_inputs", [](auto input) { panel::fuzz::fuzz_live_inputs(input, PANEL_PROTOCOL_FILE); });
}

TEST(FuzzRegressions, BridgeProtocol) {
    replay("bridge_protocol", panel::fuzz::fuzz_bridge_protocol);
}

TEST(FuzzRegressions, UserFiles) {
    replay("user_files", panel::fuzz::fuzz_user_files);
}

TEST(FuzzRegressions, ServedInput) {
    replay("served_input", panel::fuzz::fuzz_served_input);
}

#ifdef PANEL_HAS_MODULE_CHECKER
TEST(FuzzRegressions, ModuleChecker) {
    replay("module_checker", panel::fuzz::fuzz_module_checker);
}
#endif

// The harness itself: a rule the gauge does not keep is caught. The DME counts any supply
// that truncates to 1 as on; held to the GPS's exact 1.0, its readouts at 1.5 break the rule.
TEST(FuzzHarness, CatchesAStringShownWhileUnpowered) {
    panel::fuzz::GaugeRules rules = panel::fuzz::dme_rules();
    rules.supply_off = panel::fuzz::gps_supply_off;
    panel::fuzz::ModuleHarness harness(PANEL_MODULE_DIR, rules, panel::ModuleInstance::separate);
    const std::vector<uint8_t> input = bytes_of(fs::path(FUZZ_CORPUS_DIR) / "dme_module" / "supply");
    try {
        harness.run(input);
        ADD_FAILURE() << "no invariant broken";
    } catch (const FuzzFailure& failure) {
        EXPECT_NE(std::string(failure.what()).find("shown while unpowered (supply 1.5, switch on)"), std::string::npos)
            << failure.what();
    }
}

TEST(FuzzHarness, CatchesAnElementShownThatNeverShows) {
    panel::fuzz::GaugeRules rules = panel::fuzz::gps_rules();
    rules.always_hidden.push_back(18);  // the waypoint distance, shown on every running page
    panel::fuzz::ModuleHarness harness(PANEL_MODULE_DIR, rules, panel::ModuleInstance::separate);
    const std::vector<uint8_t> input = bytes_of(fs::path(FUZZ_CORPUS_DIR) / "gps_module" / "start");
    EXPECT_THROW(harness.run(input), FuzzFailure);
}

}  // namespace
