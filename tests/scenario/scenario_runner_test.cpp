// The scenario runner against a fake panel: what it asks of the host for each step, when
// expectations are met or given up, and what the summary says.
#include "scenario_runner.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "text_escape.h"

namespace {

using namespace panel::scenario;

// Two gauges named as the real ones, with areas at known places; the test decides what the
// elements show and what the gauges play, update by update.
class FakeHost : public ScenarioHost {
public:
    FakeHost() {
        for (size_t g = 0; g < 2; ++g) {
            records_[g].name = g == 0 ? "GPS_Corvane_PX40" : "VER2_Corvane_VX_RD22";
            records_[g].elements.resize(g == 0 ? 50 : 17);
            elements_[g].resize(records_[g].elements.size());
            for (int32_t i = 0; i < 10; ++i) {
                panel::MouseAreaRecord area;
                area.x = 100 * static_cast<int32_t>(g) + 10 * i;
                area.y = 20;
                area.width = 8;
                area.height = 5;
                records_[g].mouse_areas.push_back(area);
            }
        }
    }

    void advance_frame() override {
        ++frames;
        calls.push_back("frame " + std::to_string(frames));
        if (on_frame) on_frame(frames);
    }
    double simulated_seconds() const override { return 1000.0 + frames / 18.0; }
    double read_number(uint32_t id) const override {
        auto found = numbers.find(id);
        return found == numbers.end() ? 0.0 : found->second;
    }
    void pin_number(uint32_t id, double value) override {
        numbers[id] = value;
        calls.push_back("pin " + std::to_string(id) + " " + panel::format_double(value));
    }
    void pin_integer(uint32_t id, int32_t value) override {
        calls.push_back("pin " + std::to_string(id) + " int " + std::to_string(value));
    }
    void pin_text(uint32_t id, std::string_view text) override {
        calls.push_back("pin " + std::to_string(id) + " text " + std::string(text));
    }
    void pin_null_text(uint32_t id) override { calls.push_back("pin " + std::to_string(id) + " null"); }
    void unpin(uint32_t id) override { calls.push_back("unpin " + std::to_string(id)); }
    void autopilot(FlyTarget target, double value) override {
        calls.push_back("fly " + std::to_string(static_cast<int>(target)) + " " + panel::format_double(value));
    }
    void world(const WorldStep& step) override {
        calls.push_back("world " + std::to_string(static_cast<int>(step.kind)) + " " + step.ident);
    }
    void click(size_t gauge, int32_t x, int32_t y) override {
        calls.push_back("click " + std::to_string(gauge) + " " + std::to_string(x) + "," + std::to_string(y));
        if (on_click) on_click(gauge);
    }
    void phase(size_t gauge, panel::Phase which, int32_t service_id) override {
        calls.push_back(std::string("phase ") + std::to_string(gauge) + " " + panel::phase_name(which) + " " +
                        std::to_string(service_id));
    }
    const panel::GaugeRecords& records(size_t gauge) const override { return records_.at(gauge); }
    const std::vector<panel::ElementState>& elements(size_t gauge) override { return elements_.at(gauge); }
    void take_happenings(std::vector<Happening>& into) override {
        into.insert(into.end(), happenings.begin(), happenings.end());
        happenings.clear();
    }
    void snapshot(const std::string& name, bool night) override {
        calls.push_back("snapshot " + name + (night ? " night" : ""));
    }
    void note(const std::string& text) override { calls.push_back("note " + text); }

    // Test controls.
    void show_text(size_t gauge, size_t element, const char* text, bool hidden = false) {
        panel::ElementState& state = elements_[gauge][element - 1];
        std::snprintf(state.text.data(), state.text.size(), "%s", text);
        state.flags = hidden ? ELEMENT_HIDDEN : 0;
    }
    void cue(const char* path) { happenings.push_back({.kind = Happening::Kind::cue, .cue_path = path}); }
    void event(uint32_t id) { happenings.push_back({.kind = Happening::Kind::event, .event_id = id}); }
    int count(const std::string& prefix) const {
        int n = 0;
        for (const auto& call : calls) n += call.rfind(prefix, 0) == 0;
        return n;
    }
    std::vector<std::string> calls_except_frames() const {
        std::vector<std::string> result;
        for (const auto& call : calls) {
            if (call.rfind("frame ", 0) != 0) result.push_back(call);
        }
        return result;
    }

    int frames = 0;
    std::vector<std::string> calls;
    std::map<uint32_t, double> numbers;
    std::vector<Happening> happenings;
    std::function<void(int)> on_frame;
    std::function<void(size_t)> on_click;
    std::array<panel::GaugeRecords, 2> records_;
    std::array<std::vector<panel::ElementState>, 2> elements_;
};

ScriptContext panel_of(const FakeHost& host) {
    return ScriptContext::panel({gauge_info(host.records(0)), gauge_info(host.records(1))});
}

Summary run(FakeHost& host, const std::string& source) {
    const Script script = parse_script(source, panel_of(host));
    return ScenarioRunner(host, "demo.scenario").run(script);
}

}  // namespace

TEST(ScenarioRunner, TurnsWaitsAndTimesIntoUpdates) {
    struct {
        const char* source;
        int frames;
    } cases[] = {
        {"wait 1s\n", 18},
        {"wait 0.5s\nwait 0.5s\n", 18},
        {"wait 0.1s\nwait 0.1s\nwait 0.1s\nwait 0.1s\nwait 0.1s\nwait 0.1s\nwait 0.1s\nwait 0.1s\nwait 0.1s\nwait "
         "0.1s\n",
         18},
        {"frame 5\nat 1s\n", 18},
        {"at 2:00\n", 2160},
        {"at 0:10\nat 0:10\nwait 0s\n", 180},
        {"frame 3\n", 3},
        {"wait 500ms\nframe\n", 10},
    };
    for (const auto& c : cases) {
        FakeHost host;
        const Summary summary = run(host, c.source);
        EXPECT_EQ(host.frames, c.frames) << c.source;
        EXPECT_EQ(summary.frames, static_cast<uint64_t>(c.frames)) << c.source;
        EXPECT_DOUBLE_EQ(summary.simulated_seconds, 1000.0 + c.frames / 18.0);  // the host's own clock
    }
}

TEST(ScenarioRunner, HandsValuesTheWorldAndSnapshotsToTheHost) {
    FakeHost host;
    const Summary summary = run(host,
                                "set altitude 1500\n"
                                "int dme_frequency 0x1345\n"
                                "text waypoint_id \"KSEA\"\n"
                                "null 839\n"
                                "clear altitude\n"
                                "fly heading 270\n"
                                "world waypoint KPAE 47.9 -122.3\n"
                                "note over the sound\n"
                                "snapshot cruise night\n"
                                "snapshot cruise-day\n");
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"pin 74 1500", "pin 27 int 4933", "pin 839 text KSEA", "pin 839 null",
                                        "unpin 74", "fly 0 270", "world 8 KPAE", "note over the sound",
                                        "snapshot cruise night", "snapshot cruise-day"}));
    EXPECT_EQ(summary.snapshots, (std::vector<std::string>{"cruise", "cruise-day"}));
    EXPECT_EQ(summary.frames, 0u);
}

TEST(ScenarioRunner, ClicksNamedControlsInTheMiddleOfTheirArea) {
    FakeHost host;
    run(host,
        "click gps ent\n"             // area 5 of gauge 0: 40,20 8x5
        "click dme inner_right x3\n"  // area 7 of gauge 1: 160,20
        "click dme 7 8\n"
        "area 1\n"
        "gauge dme\n"
        "area 2\n"
        "click 1 2\n"
        "pre-update\nelements\npre-draw\nservice 13\n");
    EXPECT_EQ(host.calls, (std::vector<std::string>{"click 0 44,22", "click 1 164,22", "click 1 164,22",
                                                    "click 1 164,22", "click 1 7,8", "click 0 4,22", "click 1 114,22",
                                                    "click 1 1,2", "phase 1 pre-update 6", "phase 1 elements 0",
                                                    "phase 1 pre-draw 10", "phase 1 service 13"}));
}

TEST(ScenarioRunner, RampsMoveAValueEveryUpdateAndEndPinnedAtTheTarget) {
    FakeHost host;
    host.numbers[74] = 1000.0;
    std::vector<double> seen;
    host.on_frame = [&](int) { seen.push_back(host.numbers[74]); };
    run(host, "ramp altitude to 1180 over 0.5s\nwait 1s\n");  // 9 updates of 20 ft
    ASSERT_EQ(seen.size(), 18u);
    EXPECT_DOUBLE_EQ(seen[0], 1020.0);
    EXPECT_DOUBLE_EQ(seen[4], 1100.0);
    EXPECT_DOUBLE_EQ(seen[8], 1180.0);
    EXPECT_DOUBLE_EQ(seen[17], 1180.0);
    EXPECT_EQ(host.count("pin 74"), 9);  // no pins once it has arrived
}

TEST(ScenarioRunner, ASetOrClearStopsARampAndAZeroRampSetsAtOnce) {
    FakeHost host;
    run(host, "ramp altitude to 1800 over 1s\nframe 2\nset altitude 5\nframe 2\nramp heading to 90 over 0s\n");
    EXPECT_EQ(host.calls_except_frames(),
              (std::vector<std::string>{"pin 74 100", "pin 74 200", "pin 74 5", "pin 81 90"}));
    FakeHost cleared;
    run(cleared, "ramp altitude to 1800 over 1s\nframe\nclear altitude\nframe 3\n");
    EXPECT_EQ(cleared.calls_except_frames(), (std::vector<std::string>{"pin 74 100", "unpin 74"}));
}

TEST(ScenarioRunner, AnExpectationIsMetOnTheFirstUpdateItHolds) {
    FakeHost host;
    host.show_text(0, 18, "12.4nm");
    host.on_frame = [&](int frame) {
        if (frame == 30) host.show_text(0, 18, "12.5nm");
    };
    const Summary summary = run(host, "wait 1s\nexpect gps distance text \"12.5nm\" within 5s\nwait 2s\n");
    ASSERT_EQ(summary.met.size(), 1u);
    EXPECT_TRUE(summary.failed.empty());
    EXPECT_EQ(summary.met[0].line, 2);
    EXPECT_DOUBLE_EQ(summary.met[0].seconds, 30 / 18.0);
    EXPECT_EQ(summary.met[0].message, "demo.scenario:2: gps distance text \"12.5nm\" within 5s: met at 0:01.667");
    EXPECT_EQ(summary.frames, 54u);
}

TEST(ScenarioRunner, AMissedExpectationSaysWhatWasReadAtItsDeadline) {
    FakeHost host;
    host.show_text(0, 18, "12.4nm");
    const Summary summary = run(host, "set avionics_supply 1\nframe\nexpect gps distance text \"12.5nm\" within 1s\n");
    ASSERT_EQ(summary.failed.size(), 1u);
    EXPECT_EQ(summary.failed[0].message,
              "demo.scenario:3: expected gps distance text \"12.5nm\" within 1s; it read \"12.4nm\"");
    // The script ends after one update; the runner goes on to the deadline, and no further.
    EXPECT_EQ(summary.frames, 1u + 18u);
    EXPECT_DOUBLE_EQ(summary.failed[0].seconds, 19 / 18.0);
}

TEST(ScenarioRunner, WithoutWithinOnlyTheNextUpdateCounts) {
    FakeHost host;
    host.on_frame = [&](int frame) {
        if (frame == 2) host.show_text(0, 18, "7.3nm");
    };
    const Summary summary = run(host,
                                "expect gps distance text \"7.3nm\"\n"  // after update 1: not yet
                                "frame\n"
                                "expect gps distance text \"7.3nm\"\n");  // after update 2: there
    ASSERT_EQ(summary.failed.size(), 1u);
    EXPECT_EQ(summary.failed[0].line, 1);
    EXPECT_EQ(summary.failed[0].message, "demo.scenario:1: expected gps distance text \"7.3nm\"; it read \"\"");
    ASSERT_EQ(summary.met.size(), 1u);
    EXPECT_EQ(summary.met[0].line, 3);
    EXPECT_EQ(summary.frames, 2u);
}

TEST(ScenarioRunner, AHiddenElementShowsNoTextOrFrame) {
    FakeHost host;
    host.show_text(1, 8, "12.5", true);
    const Summary summary = run(host,
                                "expect dme distance text \"12.5\"\n"
                                "expect dme distance hidden\n"
                                "expect dme rmt_lamp frame 1 within 100ms\n"
                                "expect dme rmt_lamp shown\n");
    ASSERT_EQ(summary.failed.size(), 2u);
    EXPECT_EQ(summary.failed[0].message,
              "demo.scenario:1: expected dme distance text \"12.5\"; it read \"12.5\", hidden");
    EXPECT_EQ(summary.failed[1].message,
              "demo.scenario:3: expected dme rmt_lamp frame 1 within 100ms; it showed frame 0");
    EXPECT_EQ(summary.met.size(), 2u);
}

TEST(ScenarioRunner, CuesAndEventsCountFromTheUpdateTheExpectationStartsIn) {
    FakeHost host;
    host.on_click = [&](size_t) { host.cue("sound\\click.wav"); };
    host.on_frame = [&](int frame) {
        if (frame == 5) host.event(0x10174);
        if (frame == 7) host.cue("SOUND/BEEP3.WAV");
    };
    const Summary summary = run(host,
                                "click gps direct_to\n"
                                "expect cue click\n"  // the click itself, played before the update
                                "expect event gps_direct_to within 1s\n"
                                "expect cue \"sound\\\\beep3.wav\" within 1s\n"
                                "expect cue beep2 within 1s\n"
                                "expect event baro_up within 0.5s\n"
                                "wait 2s\n"
                                "expect cue soft_click\n");
    ASSERT_EQ(summary.met.size(), 3u);
    EXPECT_EQ(summary.met[0].line, 2);
    EXPECT_DOUBLE_EQ(summary.met[0].seconds, 0.0);  // already played when the step is reached
    EXPECT_EQ(summary.met[1].line, 3);
    EXPECT_DOUBLE_EQ(summary.met[1].seconds, 5 / 18.0);
    EXPECT_EQ(summary.met[2].line, 4);  // case and slashes do not matter in a path
    ASSERT_EQ(summary.failed.size(), 3u);
    EXPECT_EQ(summary.failed[0].message, "demo.scenario:6: expected event baro_up within 0.5s; it sent gps_direct_to");
    EXPECT_EQ(summary.failed[1].message,
              "demo.scenario:5: expected cue beep2 within 1s; it played \"sound\\x5Cclick.wav\", "
              "\"SOUND/BEEP3.WAV\"");
    EXPECT_EQ(summary.failed[2].message, "demo.scenario:8: expected cue soft_click; no cue was played");
}

TEST(ScenarioRunner, RunsOnAfterTheScriptUntilEveryExpectationIsSettled) {
    FakeHost host;
    host.on_frame = [&](int frame) {
        if (frame == 100) host.show_text(0, 11, "WPT KJFK");
    };
    const Summary summary = run(host,
                                "expect gps nav_text text \"WPT KJFK\" within 10s\n"
                                "expect gps needle shown within 1m\n");  // met at the first update
    EXPECT_EQ(summary.frames, 100u);
    EXPECT_EQ(summary.met.size(), 2u);
    EXPECT_TRUE(summary.failed.empty());

    FakeHost never;
    const Summary missed = run(never, "expect gps nav_text text \"WPT KJFK\" within 10s\nframe 20\n");
    EXPECT_EQ(missed.frames, 180u);
    ASSERT_EQ(missed.failed.size(), 1u);
}

TEST(ScenarioRunner, AStopEndsTheRunWhereItIsAndJudgesNothingStillOpen) {
    FakeHost host;
    const Script script = parse_script(
        "expect gps needle shown within 1m\n"  // met at the first update
        "expect gps nav_text text \"WPT KJFK\" within 10s\n"
        "wait 1m\n"
        "snapshot never-reached\n",
        panel_of(host));
    ScenarioRunner runner(host, "demo.scenario");
    runner.stop_when([&] { return host.frames >= 40; });
    const Summary summary = runner.run(script);
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(summary.frames, 40u);
    EXPECT_EQ(summary.met.size(), 1u);
    EXPECT_TRUE(summary.failed.empty());  // its deadline never came
    EXPECT_TRUE(summary.snapshots.empty());
    EXPECT_FALSE(run(host, "frame 3\n").stopped);
}

TEST(ScenarioRunner, APanelUnlikeTheScriptsIsOneLine) {
    FakeHost host;
    const Script script = parse_script("click gps ent\n", panel_of(host));
    host.records_[0].mouse_areas.resize(3);
    try {
        ScenarioRunner(host, "demo.scenario").run(script);
        FAIL() << "ran";
    } catch (const RunError& error) {
        EXPECT_STREQ(error.what(), "demo.scenario:1: GPS_Corvane_PX40 in this panel has no area 5");
    }
}
