// A native gauge module driven through the host core by the fuzzer's bytes: frame after frame
// of simulator values (the awkward ones above all), texts of any length and content, clicks
// on any area and any point, and service calls with any id. After every frame it checks what
// a host relies on:
//
// - every text is NUL-terminated within the 32 bytes the host gives it. Each string callback
//   is wrapped: the wrapper fills the host's buffer with a non-zero pattern before the
//   callback, and afterwards requires a NUL written by the callback itself within the 32
//   bytes and the text pointer unchanged. The buffer is the host core's own 32-byte heap
//   allocation, so the address sanitizer stops a write past it where it happens. Together:
//   no callback writes past its buffer, none leaves a text unterminated, and none relies on
//   the host clearing the buffer first;
// - every icon's result is a whole frame number within 0 .. frame_count - 1;
// - the slider's x result lies within -5 .. 5 whenever the cross-track read is a number;
// - every string element is hidden whenever the supply or the switch, as the rules derive
//   them from the values and clicks given (never from the module's state), leave the gauge
//   unpowered; and the elements that are never shown are hidden;
// - ImportTable, Linkage, the header, the mouse list, every element record with its child
//   list and fault block are byte-identical to what they were after load, except the flags
//   words, the text pointers and the element variables' values the host writes; the flags
//   differ from their load value only in the lit and hidden bits.
//
// The module keeps its state from one input to the next, and so does the harness's model of
// its switch; the invariants hold in every state.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "gauge_session.h"
#include "in_process_gauge.h"

namespace panel::fuzz {

// What differs between the gauges, from their rules.
struct GaugeRules {
    std::string module_file;  // NAME.so
    // Whether the supply variable's value, as the pre-update reads it, leaves the gauge
    // unpowered whatever its switch.
    bool (*supply_off)(double supply) = nullptr;
    // A point in each of the two areas that set the power switch.
    ClickPoint power_on{};
    ClickPoint power_off{};
    // Elements (draw-order numbers, the background 1) hidden in every state.
    std::vector<size_t> always_hidden;
    // The slider's x result follows the cross-track and is pinned to -5 .. 5.
    bool slider_pinned = false;
};

class ModuleHarness {
public:
    // Loads MODULE_DIR/rules.module_file; throws ModuleError when it is not usable. A fuzzer
    // loads each module once and keeps it: its coverage counters live in the module.
    ModuleHarness(const std::filesystem::path& module_dir, GaugeRules rules,
                  ModuleInstance instance = ModuleInstance::only);
    ~ModuleHarness();
    ModuleHarness(const ModuleHarness&) = delete;
    ModuleHarness& operator=(const ModuleHarness&) = delete;

    // Plays one input; throws FuzzFailure naming the first invariant broken.
    void run(std::span<const uint8_t> input);

    // Whole updates run so far, over every input.
    uint64_t frames() const { return session_->driver().frames(); }

private:
    // A record's bytes as loaded, and the byte ranges the host or the gauge may change.
    struct RecordCopy {
        std::string what;
        const uint8_t* at;
        std::vector<uint8_t> bytes;
        std::vector<std::pair<size_t, size_t>> compared;  // offset, length
    };

    void snapshot_records();
    void add_record(std::string what, const void* at, size_t size, std::vector<std::pair<size_t, size_t>> skipped = {});
    void wrap_text_callbacks();

    void frame();
    void click(int32_t x, int32_t y, uint32_t event_class);
    void service(int32_t id);
    void note_pre_draw();

    void check_records() const;
    void check_frame(double supply, double cross_track, bool switch_on) const;
    [[noreturn]] void fail(const std::string& what) const;

    GaugeRules rules_;
    InProcessGauge* gauge_ = nullptr;  // owned by the session
    std::unique_ptr<GaugeSession> session_;
    std::vector<RecordCopy> records_;
    std::vector<uint32_t> load_flags_;
    size_t power_on_area_ = 0;
    size_t power_off_area_ = 0;
    // The model of the switch: off at load, set by its two areas, off again at the first
    // pre-draw, which resets the gauge's state.
    bool switch_on_ = false;
    bool reset_done_ = false;
    int frames_this_input_ = 0;
};

// The supply rules of the two gauges.
bool gps_supply_off(double supply);
bool dme_supply_off(double supply);

}  // namespace panel::fuzz
