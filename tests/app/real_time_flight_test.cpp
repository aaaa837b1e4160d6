// Front ends attached to one real-time flight: the scripted one and the SDL window (on SDL's
// off-screen driver) side by side, each shown every frame and each one's click reaching its
// gauge once; input pushed from another thread never holds up the frame loop; a front end that
// asks for its own pictures gets them at its density.
#include "real_time_flight.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "flight_files.h"
#include "input_queue.h"
#include "scripted_front_end.h"
#include "window_front_end.h"
#include "world_source.h"

namespace {

using panel::frontend::FinishedFrame;
using panel::frontend::FrontEnd;
using panel::frontend::InputEvent;
using panel::frontend::InputQueue;
using panel::frontend::ScriptedFrontEnd;

// Keeps what a front end was shown, and passes everything on.
class Recorded final : public FrontEnd {
public:
    explicit Recorded(FrontEnd& inner) : inner_(inner) {}
    panel::frontend::Capabilities capabilities() const override { return inner_.capabilities(); }
    void show(const FinishedFrame& frame) override {
        shown.push_back({frame.number, panel::frontend::picture_hash(frame.picture)});
        inner_.show(frame);
    }
    void poll(InputQueue& input) override { inner_.poll(input); }
    void set_cursor(panel::frontend::CursorShape shape) override { inner_.set_cursor(shape); }
    std::vector<std::pair<uint64_t, uint64_t>> shown;

private:
    FrontEnd& inner_;
};

struct DemoPanel {
    panel::app::LoadedFlight loaded{{.panel = panel::app::demo_panel(), .gauge_folders = {PANEL_MODULE_DIR}}};
    panel::VariableStore& variables = loaded.variables;
    panel::app::Panel& panel = loaded.panel;
    panel::app::WorldSource world{panel::app::default_setup()};

    // The middle of a gauge's clickable area, in the demo picture's pixels (the gauges stand
    // at their panel.cfg places, at their own size).
    std::pair<double, double> middle(size_t gauge, size_t area, int left, int top) const {
        const auto& box = panel.at(gauge).gauge->records().mouse_areas.at(area);
        return {left + box.x + box.width / 2 + 0.5, top + box.y + box.height / 2 + 0.5};
    }
};

// Each click the flight passes to a gauge, as "GAUGE area=N".
void clicks_noted(panel::app::Flight& flight, std::vector<std::string>& into) {
    flight.on_note([&into](const std::string& line) {
        if (line.find(" click ") == std::string::npos) return;
        into.push_back(line.substr(0, line.find(' ')) + line.substr(line.find(" area=")));
    });
}

TEST(RealTimeFlight, AScriptedFrontEndAndTheWindowSeeTheSameFramesAndEachClickOnce) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    DemoPanel demo;
    panel::app::RealTimeFlight flight({.rate = 2000.0, .mute = true}, demo.panel, demo.variables, demo.world);
    panel::window::SdlEventPump events;
    std::optional<panel::window::WindowFrontEnd> window;
    try {
        window.emplace(events, flight.title(), flight.width(), flight.height(), panel::window::WindowPlace{});
    } catch (const std::exception& error) {
        GTEST_SKIP() << "panel-skipped: no SDL window here: " << error.what();
    }
    ScriptedFrontEnd scripted;
    Recorded recorded(*window);
    flight.attach(scripted);
    flight.attach(recorded);

    const auto [gps_x, gps_y] = demo.middle(0, 1, 7, 6);               // the GPS's power_on
    const std::pair<double, double> dme = demo.middle(1, 0, 25, 170);  // the DME's power_on
    scripted.at_frame(3, InputEvent::click(gps_x, gps_y));
    scripted.at_frame(12, InputEvent::closed());
    // The window's click comes as SDL's own event, between two frames.
    flight.flight().on_frame_end([&](uint64_t frame) {
        if (frame != 6) return;
        SDL_Event click{};
        click.type = SDL_MOUSEBUTTONDOWN;
        click.button.windowID = window->window_id();
        click.button.button = SDL_BUTTON_LEFT;
        click.button.x = static_cast<int>(dme.first);
        click.button.y = static_cast<int>(dme.second);
        SDL_PushEvent(&click);
    });
    std::vector<std::string> clicks;
    clicks_noted(flight.flight(), clicks);

    EXPECT_EQ(flight.run(std::nullopt, ""), 0);
    EXPECT_EQ(clicks, (std::vector<std::string>{"gps area=2", "dme area=1"}));
    ASSERT_EQ(scripted.shown().size(), recorded.shown.size());
    for (size_t i = 0; i < recorded.shown.size(); ++i) {
        EXPECT_EQ(scripted.shown()[i].number, recorded.shown[i].first);
        EXPECT_EQ(scripted.shown()[i].picture_hash, recorded.shown[i].second);
        EXPECT_NE(recorded.shown[i].second, 0u);
    }
    EXPECT_GE(recorded.shown.size(), 12u);
}

TEST(RealTimeFlight, ControlsByNameAndInputFromAnotherThreadNeverHoldUpTheLoop) {
    DemoPanel demo;
    panel::app::RealTimeFlight flight({.rate = 2000.0, .mute = true}, demo.panel, demo.variables, demo.world);
    ScriptedFrontEnd scripted(panel::frontend::Capabilities{});  // draws nothing itself: no picture is made for it
    flight.attach(scripted);
    scripted.at_frame(2, InputEvent::turn("dme outer", -2));
    scripted.at_frame(2, InputEvent::press("dme knob"));  // names nothing: said, not fatal
    scripted.at_frame(40, InputEvent::closed());
    std::vector<std::string> clicks;
    clicks_noted(flight.flight(), clicks);
    // A client that floods the queue from its own thread while the flight runs.
    std::atomic<bool> flying = true;
    std::thread flood([&] {
        while (flying) flight.input().push(InputEvent::hover(1, 1));
    });
    const int status = flight.run(std::nullopt, "");
    flying = false;
    flood.join();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(clicks, (std::vector<std::string>{"dme area=10", "dme area=10"}));  // outer_left, twice
    EXPECT_EQ(scripted.shown().back().picture_hash, 0u);
    EXPECT_GE(scripted.shown().size(), 40u);
}

// A browser server's kind: it asks for each picture at its viewers' lighting and density, so the
// frame's own is not drawn for it.
class AsksForPictures final : public FrontEnd {
public:
    panel::frontend::Capabilities capabilities() const override { return {.pictures = true, .own_pictures = true}; }
    void show(const FinishedFrame& frame) override {
        frame_pictures += frame.picture.pixels != nullptr;
        if (!frame.redraw) return;
        const panel::frontend::PictureView picture = frame.redraw({.night = true, .density = 2.0});
        sizes.emplace_back(picture.width, picture.height);
    }
    int frame_pictures = 0;
    std::vector<std::pair<int, int>> sizes;
};

TEST(RealTimeFlight, AFrontEndAskingForItsOwnPicturesGetsThemAtItsDensityAndNoOtherIsDrawn) {
    DemoPanel demo;
    panel::app::RealTimeFlight flight({.rate = 2000.0, .mute = true}, demo.panel, demo.variables, demo.world);
    ScriptedFrontEnd scripted(panel::frontend::Capabilities{});
    AsksForPictures asking;
    flight.attach(scripted);
    flight.attach(asking);
    scripted.at_frame(5, InputEvent::closed());
    flight.run(std::nullopt, "");
    EXPECT_EQ(asking.frame_pictures, 0);
    ASSERT_GE(asking.sizes.size(), 5u);
    EXPECT_EQ(asking.sizes.back(), std::make_pair(2 * flight.width(), 2 * flight.height()));
}

// Closing the flight mid-script leaves open expectations unjudged, but one already failed counts.
TEST(RealTimeFlight, ClosedMidScriptFailsOnlyOnExpectationsAlreadyFailed) {
    const auto fly = [](const char* script_text) {
        DemoPanel demo;
        panel::app::RealTimeFlight flight({.rate = 2000.0, .mute = true}, demo.panel, demo.variables, demo.world);
        ScriptedFrontEnd scripted(panel::frontend::Capabilities{});
        flight.attach(scripted);
        scripted.at_frame(40, InputEvent::closed());
        const auto script = panel::app::read_script({"closed.scenario", script_text}, demo.panel);
        return flight.run(script, "closed.scenario");
    };
    EXPECT_EQ(fly("expect gps lit_screen shown within 0.2s\nwait 10s\n"), 1);  // the GPS stays off
    EXPECT_EQ(fly("wait 10s\nexpect gps lit_screen shown within 1s\n"), 0);
}

TEST(InputQueue, IsBoundedAndKeepsOnlyTheNewestHoverInARow) {
    InputQueue queue;
    for (int i = 0; i < 10; ++i) queue.push(InputEvent::hover(i, i));
    queue.push(InputEvent::click(1, 2));
    for (size_t i = 0; i < InputQueue::bound + 10; ++i) queue.push(InputEvent::press("gps ent"));
    std::vector<InputEvent> taken;
    queue.take(taken);
    ASSERT_EQ(taken.size(), InputQueue::bound);
    EXPECT_EQ(taken[0].kind, InputEvent::Kind::hover);
    EXPECT_EQ(taken[0].x, 9.0);
    EXPECT_EQ(taken[1].kind, InputEvent::Kind::click);
    EXPECT_EQ(queue.dropped(), 12u);
    queue.take(taken);
    EXPECT_TRUE(taken.empty());
}

}  // namespace
