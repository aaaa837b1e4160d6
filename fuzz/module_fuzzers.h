// The fuzz targets, for the fuzzers and for the regression tests that replay their inputs.
// Each throws FuzzFailure naming the first invariant the input broke.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "module_harness.h"

namespace panel::fuzz {

GaugeRules gps_rules();
GaugeRules dme_rules();

// Each loaded once per process, from `module_dir` (the built modules).
ModuleHarness& gps_harness(const std::filesystem::path& module_dir);
ModuleHarness& dme_harness(const std::filesystem::path& module_dir);

void fuzz_bitmap_reader(std::span<const uint8_t> input);
void fuzz_panel_config(std::span<const uint8_t> input);
// Any bytes as an HTTP request to the browser front end and as a WebSocket message to it.
void fuzz_served_input(std::span<const uint8_t> input);
// Any bytes as a .gau file.
void fuzz_module_checker(std::span<const uint8_t> input);
// The FlightGear link's inputs; datagrams and recordings are read by `protocol_file`.
void fuzz_live_inputs(std::span<const uint8_t> input, const std::filesystem::path& protocol_file);
void fuzz_bridge_protocol(std::span<const uint8_t> input);
// A cue's WAV, the window's settings file.
void fuzz_user_files(std::span<const uint8_t> input);
// Both gauges' records, for the panel context, are read from `module_dir`.
void fuzz_scenario_parser(std::span<const uint8_t> input, const std::filesystem::path& module_dir);

}  // namespace panel::fuzz
