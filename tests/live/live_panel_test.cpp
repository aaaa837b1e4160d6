// The real gauges on a live source fed over UDP by a fake FlightGear sending ten datagrams a
// second: their readouts follow FlightGear's values, and a silence darkens them.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "fakes.h"
#include "flight.h"
#include "flight_run.h"
#include "live_session.h"
#include "live_source.h"
#include "scenario_runner.h"
#include "udp_receiver.h"

namespace {

using namespace panel;

// Sends the fake's datagram ten times a second from its own thread, as FlightGear does.
class Sender {
public:
    explicit Sender(int port) : port_(port), thread_([this] { run(); }) {}
    ~Sender() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        thread_.join();
    }
    template <typename Change>
    void change(Change change) {
        std::lock_guard lock(mutex_);
        change(fake_);
    }
    void pause(bool paused) {
        std::lock_guard lock(mutex_);
        paused_ = paused;
    }

private:
    void run() {
        while (true) {
            {
                std::lock_guard lock(mutex_);
                if (stopping_) return;
                if (!paused_) fake_.send(port_);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }

    live::fakes::FakeFlightGear fake_;
    int port_;
    std::mutex mutex_;
    bool stopping_ = false;
    bool paused_ = false;
    std::thread thread_;
};

class LivePanel : public ::testing::Test {
protected:
    LivePanel()
        : config(app::read_panel(app::demo_panel())),
          panel(config, "demo panel.cfg", app::ModuleFinder({PANEL_MODULE_DIR}), variables) {
        auto receiver = std::make_unique<live::UdpReceiver>("127.0.0.1:0");
        const int port = receiver->port();
        source.emplace(live::fakes::shipped_protocol(), std::move(receiver), nullptr);
        flight.emplace(panel, variables, *source);
        sender.emplace(port);
    }
    ~LivePanel() override { sender.reset(); }

    // Runs a piece of script on the flight so far; returns the failures.
    std::string run(const std::string& text) {
        const scenario::Script script = app::read_script({"test.scenario", text, {}}, panel);
        const scenario::Summary summary = scenario::ScenarioRunner(*flight, "test.scenario").run(script);
        std::string failures;
        for (const scenario::Outcome& failure : summary.failed) failures += failure.message + "\n";
        return failures;
    }
    // Frames at the panel's own pace, long enough for the sender's datagrams to arrive.
    void fly_for(double seconds) {
        const int frames = static_cast<int>(seconds * 18);
        for (int i = 0; i < frames; ++i) {
            flight->advance_frame();
            std::this_thread::sleep_for(std::chrono::milliseconds(1000 / 18));
        }
    }

    PanelConfig config;
    VariableStore variables;
    app::Panel panel;
    std::optional<live::LiveSource> source;
    std::optional<app::Flight> flight;
    std::optional<Sender> sender;
};

TEST_F(LivePanel, TheReadoutsFollowFlightGearsValues) {
    fly_for(0.3);
    EXPECT_EQ(run("click gps power_on\nclick dme power_on\nwait 4s\nclick gps ent\n"
                  "expect gps nav_text text \"KOAK\" within 1s\n"
                  "expect gps distance text \"10.0nm\" within 1s\n"
                  "expect gps ground_speed text \"110kt\" within 1s\n"
                  "expect dme distance text \"0.9\" within 1s\n"
                  "expect dme speed text \"109\" within 1s\n"
                  "expect gps direct_to_symbol frame 1 within 1s\n"),
              "");
    sender->change([](live::fakes::FakeFlightGear& fake) {
        fake.set_text("wp-id", "KSFO");
        fake.set("wp-distance-nm", 5.2);
        fake.set("groundspeed-kt", 120.0);
        fake.set("dme-distance-nm", 6.0);
        fake.set("dme-ground-speed-kt", 120.0);
        fake.set("utc-hour", 21.0);
        fake.set("latitude-deg", 38.2);
    });
    fly_for(0.3);
    EXPECT_EQ(run("expect gps nav_text text \"KSFO\" within 1s\n"
                  "expect gps distance text \"5.2nm\" within 1s\n"
                  "expect gps ground_speed text \"120kt\" within 1s\n"
                  "expect dme distance text \"6.0\" within 1s\n"
                  "expect dme speed text \"120\" within 1s\n"
                  "expect dme time text \"  3\" within 1s\n"
                  "wait 1s\nclick gps outer_right\nexpect gps lat_degrees text \"38\\xB0\" within 1s\n"
                  "wait 1s\nclick gps outer_right\nexpect gps utc_hours text \"21\" within 1s\n"
                  "click dme mode_freq\nexpect dme frequency text \"115.80\" within 1s\n"),
              "");
}

TEST_F(LivePanel, ASilenceDarkensTheInstrumentsAndTheyComeBack) {
    fly_for(0.3);
    EXPECT_EQ(run("click gps power_on\nclick dme power_on\nwait 1s\nexpect gps lit_screen shown within 1s\n"
                  "expect dme distance shown within 1s\n"),
              "");
    sender->pause(true);
    fly_for(live::LiveSource::stale_seconds + 0.5);
    EXPECT_EQ(source->link(), live::LiveSource::Link::stale);
    EXPECT_EQ(run("expect gps lit_screen hidden within 1s\nexpect dme distance hidden within 1s\n"), "");
    sender->pause(false);
    fly_for(0.3);
    EXPECT_EQ(run("expect gps lit_screen shown within 1s\n"), "");
}

TEST(LiveScripts, FlyAndWorldStepsAreRefusedBeforeAnythingRuns) {
    scenario::Script script;
    script.steps.push_back({.kind = scenario::StepKind::wait, .line = 1});
    script.steps.push_back({.kind = scenario::StepKind::fly, .line = 2});
    try {
        app::refuse_world_steps(script, "live.scenario");
        ADD_FAILURE() << "took a fly step";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(
            std::string(error.what()),
            "live.scenario:2: fly steps need the simulated world; in a live flight FlightGear flies the aircraft");
    }
}

}  // namespace
