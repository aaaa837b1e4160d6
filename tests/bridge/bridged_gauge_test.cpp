// A gauge run through a bridge against the same module run in process: the same records, the
// same record dump, and after every call the same logs and bit for bit the same element
// states. Then every way a bridge goes wrong: one error naming the module, never a hang.
// The bridge here is the native stand-in, so no wine is needed.
#include <gtest/gtest.h>

#include <signal.h>

#include <bit>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <type_traits>

#include "bridge_process.h"
#include "bridged_gauge.h"
#include "frame_driver.h"
#include "in_process_gauge.h"
#include "module_library.h"
#include "simulator_catalogue.h"

namespace panel::bridge {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

const fs::path gps_module = fs::path(PANEL_MODULE_DIR) / "GPS_Corvane_PX40.so";
const fs::path dme_module = fs::path(PANEL_MODULE_DIR) / "VER2_Corvane_VX_RD22.so";

BridgeCommand native_bridge(const fs::path& module) {
    return {{NATIVE_BRIDGE, module.string()}, {}, milliseconds(20000), milliseconds(20000)};
}

// A bridge played by a shell script.
BridgeCommand scripted(const std::string& script, milliseconds answer = milliseconds(20000)) {
    return {{"/bin/sh", "-c", script}, {}, answer, answer};
}

// Everything one phase showed the observers.
struct Seen {
    Phase phase;
    std::vector<uint32_t> lookups;
    std::vector<KeyEvent> events;
    std::vector<CueRequest> cues;
    size_t dropped;
    bool operator==(const Seen&) const = default;
};

class Recorder : public PhaseObserver {
public:
    void phase_done(Phase phase, const EventLog& log) override {
        seen.push_back({phase, log.lookups(), log.events(), log.cues(), log.dropped()});
    }
    std::vector<Seen> seen;
};

// Alike, a double bit for bit.
template <typename T>
bool same(const T& a, const T& b) {
    if constexpr (std::is_same_v<T, double>) return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
    else return a == b;
}

void expect_same_states(const GaugeInstance& a, const GaugeInstance& b, const std::string& when) {
    ASSERT_EQ(a.elements().size(), b.elements().size());
    for (size_t i = 0; i < a.elements().size(); ++i) {
        const ElementState& x = a.elements()[i];
        const ElementState& y = b.elements()[i];
        EXPECT_EQ(x.flags, y.flags) << when << ", element " << i + 1;
        EXPECT_EQ(std::bit_cast<uint64_t>(x.value), std::bit_cast<uint64_t>(y.value)) << when << ", element " << i + 1;
        EXPECT_EQ(std::bit_cast<uint64_t>(x.y_value), std::bit_cast<uint64_t>(y.y_value))
            << when << ", element " << i + 1;
        EXPECT_EQ(x.text, y.text) << when << ", element " << i + 1;
    }
}

// Every catalogue variable set to something that changes from frame to frame.
void vary(VariableStore& store, int frame) {
    for (const VariableInfo& info : store.catalogue().variables()) {
        switch (info.type) {
            case VariableType::number: store.set_number(info.id, std::sin(frame * 0.1 + info.id) * 500.0); break;
            case VariableType::integer: store.set_integer(info.id, frame % 7 == 0 ? 0 : 1 + frame % 3); break;
            case VariableType::text:
                if (frame % 5 == 4) store.set_null_text(info.id);
                else store.set_text(info.id, frame % 2 ? "PAE" : "SEA");
                break;
        }
    }
}

void expect_same_flight(const fs::path& module) {
    InProcessGauge local(module);
    BridgedGauge bridged(module, native_bridge(module));
    EXPECT_EQ(bridged.records().module, module.string());
    EXPECT_EQ(bridged.records().name, local.records().name);
    EXPECT_EQ(bridged.records().size_value, local.records().size_value);
    ASSERT_EQ(bridged.records().elements.size(), local.records().elements.size());
    for (size_t i = 0; i < local.records().elements.size(); ++i) {
        const ElementRecord& a = local.records().elements[i];
        const ElementRecord& b = bridged.records().elements[i];
        // Every field the host keeps, doubles bit for bit.
#define PANEL_EXPECT_SAME(member, ...) EXPECT_TRUE(same(a.member, b.member)) << "element " << i + 1 << " " #member;
        PANEL_ELEMENT_RECORD_FIELDS(PANEL_EXPECT_SAME)
#undef PANEL_EXPECT_SAME
    }
    ASSERT_EQ(bridged.records().mouse_areas.size(), local.records().mouse_areas.size());
    EXPECT_EQ(bridged.record_lines(), local.record_lines());

    VariableStore local_store, bridged_store;
    FrameDriver local_driver(local, local_store), bridged_driver(bridged, bridged_store);
    Recorder local_seen, bridged_seen;
    local_driver.add_observer(local_seen);
    bridged_driver.add_observer(bridged_seen);
    auto both = [&](auto&& step) {
        step(local_driver);
        step(bridged_driver);
    };
    both([](FrameDriver& d) { d.open(); });
    int frame = 0;
    for (size_t area = 0; area < local.records().mouse_areas.size(); ++area) {
        const auto [x, y] = FrameDriver::middle_of(local.records().mouse_areas[area]);
        for (int repeat = 0; repeat < 12; ++repeat, ++frame) {
            vary(local_store, frame);
            vary(bridged_store, frame);
            both([](FrameDriver& d) { d.run_frame(); });
            if (repeat % 4 == 0) both([&](FrameDriver& d) { d.click(x, y); });
            expect_same_states(local, bridged, "frame " + std::to_string(frame));
        }
    }
    // The phases one at a time, as scripts run them, and a service the gauges ignore.
    both([](FrameDriver& d) { d.pre_update(); });
    both([](FrameDriver& d) { d.update_elements(); });
    both([](FrameDriver& d) { d.pre_draw(); });
    both([](FrameDriver& d) { d.service(3); });
    expect_same_states(local, bridged, "after single phases");
    both([](FrameDriver& d) { d.close(); });
    EXPECT_EQ(bridged_seen.seen, local_seen.seen);
    EXPECT_GT(local_seen.seen.size(), 300u);
}

TEST(BridgedGauge, FliesTheGpsExactlyAsInProcess) {
    expect_same_flight(gps_module);
}

TEST(BridgedGauge, FliesTheDmeExactlyAsInProcess) {
    expect_same_flight(dme_module);
}

TEST(BridgedGauge, AModuleTheBridgeCannotLoadIsAModuleErrorNamingTheFile) {
    const fs::path missing = fs::path(PANEL_MODULE_DIR) / "no_such_module.so";
    try {
        BridgedGauge gauge(missing, native_bridge(missing));
        FAIL() << "loaded";
    } catch (const ModuleError& error) {
        // Named once, by the host's own path.
        const std::string what = error.what();
        EXPECT_EQ(what.find(missing.string() + ": "), 0u) << what;
        EXPECT_EQ(what.find("no_such_module.so", missing.string().size()), std::string::npos) << what;
    }
}

TEST(BridgedGauge, ABridgeKilledMidFlightIsReportedOnceWithTheModuleAndHowItEnded) {
    BridgedGauge gauge(gps_module, native_bridge(gps_module));
    VariableStore store;
    FrameDriver driver(gauge, store);
    driver.open();
    driver.run_frame();
    ASSERT_EQ(::kill(gauge.bridge_pid(), SIGKILL), 0);
    try {
        driver.run_frame();
        FAIL() << "a frame ran on a killed bridge";
    } catch (const BridgeError& error) {
        const std::string what = error.what();
        EXPECT_EQ(what.find("GPS_Corvane_PX40.so: "), 0u) << what;
        EXPECT_NE(what.find("killed by signal 9"), std::string::npos) << what;
        EXPECT_EQ(what.find('\n'), std::string::npos) << what;
    }
    // Lost for good: no second wait.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(driver.run_frame(), BridgeError);
    EXPECT_THROW(driver.close(), BridgeError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(100));
}

TEST(BridgedGauge, ABridgeThatSaysNothingIsGivenUpAfterItsTime) {
    const auto start = std::chrono::steady_clock::now();
    try {
        BridgedGauge gauge(gps_module, scripted("exec sleep 30", milliseconds(300)));
        FAIL() << "a silent bridge was taken";
    } catch (const BridgeError& error) {
        EXPECT_NE(std::string(error.what()).find("did not answer within 300 ms"), std::string::npos) << error.what();
    }
    // The silent child is ended, not waited for.
    EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(6000));
}

TEST(BridgedGauge, ABridgeThatHangsMidFlightIsGivenUpAfterItsTime) {
    // Answers its records like the real one, then never again.
    BridgeCommand command = native_bridge(gps_module);
    command.answer = milliseconds(300);
    BridgedGauge gauge(gps_module, command);
    VariableStore store;
    FrameDriver driver(gauge, store);
    ASSERT_EQ(::kill(gauge.bridge_pid(), SIGSTOP), 0);
    try {
        driver.open();
        FAIL() << "a stopped bridge answered";
    } catch (const BridgeError& error) {
        EXPECT_NE(std::string(error.what()).find("did not answer within 300 ms (waiting for its answer to open)"),
                  std::string::npos)
            << error.what();
    }
    ::kill(gauge.bridge_pid(), SIGCONT);
}

TEST(BridgedGauge, GarbageFromTheBridgeIsReportedNotRead) {
    // Rubbish in place of the records.
    try {
        BridgedGauge gauge(gps_module, scripted("printf 'Segmentation fault (core dumped)\\n'; exec sleep 30"));
        FAIL() << "garbage taken for records";
    } catch (const BridgeError& error) {
        EXPECT_NE(std::string(error.what()).find("answered garbage"), std::string::npos) << error.what();
    }
    // Rubbish in place of an answer, from the stand-in's testing switch.
    BridgeCommand command = native_bridge(gps_module);
    command.environment = {"PANEL_BRIDGE_GARBAGE=1"};
    BridgedGauge gauge(gps_module, command);
    VariableStore store;
    FrameDriver driver(gauge, store);
    try {
        driver.open();
        FAIL() << "garbage taken for an answer";
    } catch (const BridgeError& error) {
        EXPECT_EQ(std::string(error.what()).find("GPS_Corvane_PX40.so: the bridge answered garbage ("), 0u)
            << error.what();
    }
}

TEST(BridgedGauge, ABridgeThatEndsEarlyIsReportedWithItsLastWords) {
    // A header promising 100 bytes, 4 of them, then gone.
    const std::string cut =
        "printf 'd\\000\\000\\000\\001\\000\\000\\000\\001\\000\\000\\000abcd'; "
        "echo 'wine: could not load kernel32.dll' >&2; echo 'status c0000135' >&2; exit 3";
    try {
        BridgedGauge gauge(gps_module, scripted(cut));
        FAIL() << "a cut answer was taken";
    } catch (const BridgeError& error) {
        const std::string what = error.what();
        EXPECT_NE(what.find("stopped while the host waited for its records"), std::string::npos) << what;
        EXPECT_NE(what.find("exited with status 3"), std::string::npos) << what;
        EXPECT_NE(what.find("its last words: wine: could not load kernel32.dll / status c0000135"), std::string::npos)
            << what;
    }
}

TEST(BridgedGauge, ABridgeThatCannotStartIsReported) {
    try {
        BridgedGauge gauge(gps_module, {{"/nonexistent/panel_bridge"}, {}});
        FAIL() << "started";
    } catch (const BridgeError& error) {
        EXPECT_NE(std::string(error.what()).find("GPS_Corvane_PX40.so: the bridge could not be started"),
                  std::string::npos)
            << error.what();
    }
}

TEST(ChildProcess, TheEnvironmentIsOursWithTheGivenVariablesOverIt) {
    ::setenv("PANEL_BRIDGE_TEST_KEPT", "kept", 1);
    ::setenv("PANEL_BRIDGE_TEST_REPLACED", "old", 1);
    ChildProcess child({"/bin/sh", "-c",
                        "printf '%s,%s,%s' \"$PANEL_BRIDGE_TEST_KEPT\" \"$PANEL_BRIDGE_TEST_REPLACED\" "
                        "\"$PANEL_BRIDGE_TEST_ADDED\""},
                       {"PANEL_BRIDGE_TEST_REPLACED=new", "PANEL_BRIDGE_TEST_ADDED=added"});
    std::array<uint8_t, 14> got{};
    child.read(got, ChildProcess::Clock::now() + std::chrono::seconds(10));
    EXPECT_EQ(std::string(got.begin(), got.end()), "kept,new,added");
}

}  // namespace
}  // namespace panel::bridge
