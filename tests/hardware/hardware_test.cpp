// A cockpit's knobs on a real-time flight of the demo panel: SDL's virtual joysticks stand in
// for the boxes, a clock of the test's own for the wall clock, and the clicks the gauges get
// show what each input did.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "bindings_file.h"
#include "bounded_file.h"
#include "flight_files.h"
#include "hardware_front_end.h"
#include "input_monitor.h"
#include "real_time_flight.h"
#include "scripted_front_end.h"
#include "world_source.h"

namespace {

using panel::frontend::InputEvent;
using panel::hardware::BindingsError;
using panel::hardware::parse_bindings;

struct DemoFlight {
    panel::app::LoadedFlight loaded{{.panel = panel::app::demo_panel(), .gauge_folders = {PANEL_MODULE_DIR}}};
    panel::app::WorldSource world{panel::app::default_setup()};
    panel::app::RealTimeFlight flight{{.rate = 2000.0, .mute = true}, loaded.panel, loaded.variables, world};
    panel::frontend::ScriptedFrontEnd script{panel::frontend::Capabilities{}};
    std::vector<std::string> clicks;  // "GAUGE area=N"
    std::vector<std::string> notes;

    DemoFlight() {
        flight.attach(script);
        flight.flight().on_note([this](const std::string& line) {
            if (line.find(" click ") == std::string::npos) return;
            clicks.push_back(line.substr(0, line.find(' ')) + line.substr(line.find(" area=")));
        });
    }
};

// Keeps the notes a front end gives, and passes everything on.
class Noted final : public panel::frontend::FrontEnd {
public:
    Noted(FrontEnd& inner, std::vector<std::string>& notes) : inner_(inner), notes_(notes) {}
    panel::frontend::Capabilities capabilities() const override { return {}; }
    void show(const panel::frontend::FinishedFrame&) override {}
    void poll(panel::frontend::InputQueue& input) override {
        inner_.poll(mine_);
        mine_.take(taken_);
        for (InputEvent& event : taken_) {
            if (event.kind == InputEvent::Kind::note) notes_.push_back(event.control);
            input.push(std::move(event));
        }
    }

private:
    FrontEnd& inner_;
    std::vector<std::string>& notes_;
    panel::frontend::InputQueue mine_;
    std::vector<InputEvent> taken_;
};

// A virtual box of 8 buttons, a hat and an axis, plugged in until destroyed.
class VirtualBox {
public:
    explicit VirtualBox(const char* name) {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_UNKNOWN;
        desc.naxes = 1;
        desc.nbuttons = 8;
        desc.nhats = 1;
        desc.name = name;
        index_ = SDL_JoystickAttachVirtualEx(&desc);
        if (index_ >= 0) joystick_ = SDL_JoystickOpen(index_);
    }
    ~VirtualBox() { pull_out(); }
    bool plugged_in() const { return joystick_ != nullptr; }
    void button(int number, bool down) { SDL_JoystickSetVirtualButton(joystick_, number, down ? 1 : 0); }
    void axis(int value) { SDL_JoystickSetVirtualAxis(joystick_, 0, static_cast<Sint16>(value)); }
    void pull_out() {
        if (!joystick_) return;
        SDL_JoystickClose(joystick_);
        SDL_JoystickDetachVirtual(index_);
        joystick_ = nullptr;
    }

private:
    int index_ = -1;
    SDL_Joystick* joystick_ = nullptr;
};

std::string bad(const std::string& text) {
    try {
        parse_bindings(text, "box.cfg");
    } catch (const BindingsError& error) {
        return error.what();
    }
    return "accepted";
}

TEST(BindingsFile, SaysTheLineOfWhatIsWrong) {
    const std::string good = "# a comment\n\njoystick \"Box\" button 1 press \"gps ent\"   # and one here\n";
    EXPECT_EQ(parse_bindings(good, "box.cfg").bindings.size(), 1u);
    EXPECT_EQ(bad(good + "joystick \"Box\" button 1 press gps ent\n"),
              "box.cfg:4: a control's name is written in quotes, such as \"gps ent\"");
    EXPECT_EQ(bad("\r\nkey NoSuchKey press \"gps ent\"\r\n"),
              "box.cfg:2: no key is called 'NoSuchKey' (names as SDL writes them)");
    EXPECT_EQ(bad("joystick Box button 1 press \"gps ent\""),
              "box.cfg:1: a device is its name in quotes or its GUID of 32 hex digits, not 'Box'");
    EXPECT_EQ(bad("joystick \"Box\" button 999 press \"gps ent\""),
              "box.cfg:1: a button's number must be a whole number from 0 to 255, not '999'");
    EXPECT_EQ(bad("joystick \"Box\" buttons 0 1 encoder \"dme outer\" fast 40 x4"),
              "box.cfg:1: fast's time must be a whole number from 1 to 10000ms, not '40'");
    EXPECT_EQ(bad("joystick \"Box\" button 0 encoder \"dme outer\""),
              "box.cfg:1: an encoder is a pair of buttons: joystick DEVICE buttons CLOCKWISE ANTICLOCKWISE");
    EXPECT_EQ(bad("joystick \"Box\" axis 0 lever \"dme mode_rmt\""),
              "box.cfg:1: a lever names a control for each of its positions, two or more");
    EXPECT_EQ(bad("joystick \"Box\" axis 0 press \"dme mode_rmt\""),
              "box.cfg:1: an axis is a lever: ... axis N lever \"CONTROL\" \"CONTROL\" ...");
    EXPECT_EQ(bad("joystick \"Box\" hat 0 north turn \"gps outer\""),
              "box.cfg:1: a hat's direction is up, down, left or right, not 'north'");
    EXPECT_EQ(bad("key F5 press \"gps ent"), "box.cfg:1: a quote is not closed");
    EXPECT_EQ(bad("key F5 turn \"gps outer\" 0"), "box.cfg:1: a turn of 0 notches does nothing");

    // Against the panel: every control one of its own, and turned only where it turns.
    DemoFlight demo;
    const auto checked = [&](const std::string& text) -> std::string {
        try {
            panel::hardware::check_bindings(parse_bindings(text, "box.cfg"), demo.flight.controls());
        } catch (const BindingsError& error) {
            return error.what();
        }
        return "accepted";
    };
    EXPECT_EQ(checked("key F5 turn \"gps ent\"\n"),
              "box.cfg:1: 'gps ent' is pressed, not turned: it is no knob's ring");
    EXPECT_EQ(checked("\nkey F5 press \"dme knob\"").rfind("box.cfg:2: unknown control 'knob' of dme", 0), 0u);
    // The shipped example is good for the demo's panel.
    const std::string example = (std::filesystem::path(PANEL_SOURCE_DIR) / "packaging" / "controls.cfg").string();
    EXPECT_EQ(checked(panel::read_bounded_file(example, 1 << 20, "a bindings file")), "accepted");
    // A file asked for must be there; the default one need not.
    EXPECT_THROW(panel::hardware::load_bindings(std::filesystem::path("/nonexistent/controls.cfg")), BindingsError);
}

// Each input on a virtual box, each frame 100 ms of the test's clock unless said otherwise.
TEST(HardwareFrontEnd, EncodersLongPressesAndLeversWorkTheirControls) {
    DemoFlight demo;
    panel::window::SdlEventPump events;
    double now = 0.0;
    panel::hardware::HardwareFrontEnd knobs(events,
                                            parse_bindings("joystick \"Test Box\" buttons 0 1 encoder \"dme outer\" "
                                                           "fast 50ms x4\n"
                                                           "joystick \"Test Box\" button 2 press \"gps ent\" long "
                                                           "\"gps crsr\" 500ms\n"
                                                           "joystick \"Test Box\" axis 0 lever \"dme mode_rmt\" "
                                                           "\"dme mode_freq\" \"dme mode_gst\"\n",
                                                           "box.cfg"),
                                            [&now] { return now; });
    VirtualBox box("Test Box");
    if (!box.plugged_in()) GTEST_SKIP() << "panel-skipped: SDL has no virtual joysticks here: " << SDL_GetError();
    demo.flight.attach(knobs);

    // frame: {button, down}; an encoder's detent is a press of one frame.
    const std::multimap<uint64_t, std::pair<int, bool>> presses = {
        {10, {0, true}}, {11, {0, false}}, {20, {0, true}}, {21, {0, false}},  // slow: a notch each
        {50, {0, true}}, {51, {0, false}}, {52, {0, true}}, {53, {0, false}},  // fast (10 ms frames)
        {54, {0, true}}, {55, {0, false}}, {56, {1, true}}, {57, {1, false}},  // back: a notch
        {70, {2, true}}, {72, {2, false}},                                     // 200 ms: short
        {80, {2, true}}, {90, {2, false}},                                     // 1 s: long, once
    };
    const std::map<uint64_t, int> axis = {{100, 32767}, {103, -10000}, {106, -32768}, {109, -10000}};
    demo.flight.flight().on_frame_end([&](uint64_t frame) {
        now += frame >= 48 && frame < 60 ? 10.0 : 100.0;
        for (auto [at, end] = presses.equal_range(frame); at != end; ++at)
            box.button(at->second.first, at->second.second);
        if (auto moved = axis.find(frame); moved != axis.end()) box.axis(moved->second);
    });
    demo.script.at_frame(115, InputEvent::closed());
    EXPECT_EQ(demo.flight.run(std::nullopt, ""), 0);

    std::vector<std::string> expected = {"dme area=4"};  // the lever stands in the middle
    for (int notch = 0; notch < 1 + 1 + 1 + 4 + 4; ++notch) expected.push_back("dme area=8");  // outer_right
    expected.push_back("dme area=10");                                                         // outer_left
    expected.push_back("gps area=5");                                                          // ent
    expected.push_back("gps area=4");                                                          // crsr
    // Up to gs/t, down to freq, down to rmt; then just past rmt's edge, not far enough to move.
    expected.insert(expected.end(), {"dme area=5", "dme area=4", "dme area=3"});
    EXPECT_EQ(demo.clicks, expected);
}

TEST(HardwareFrontEnd, DevicesPluggedInAndPulledOutMidFlightAreSaid) {
    DemoFlight demo;
    panel::window::SdlEventPump events;
    double now = 0.0;
    panel::hardware::HardwareFrontEnd knobs(
        events, parse_bindings("joystick \"Test Box\" button 2 press \"gps ent\" long \"gps crsr\" 500ms\n", "box.cfg"),
        [&now] { return now; });
    Noted noted(knobs, demo.notes);
    demo.flight.attach(noted);
    std::optional<VirtualBox> box;
    demo.flight.flight().on_frame_end([&](uint64_t frame) {
        now += 100.0;
        if (frame == 5 || frame == 30) box.emplace("Test Box");
        if (!box || !box->plugged_in()) return;
        if (frame == 10 || frame == 32) box->button(2, true);
        if (frame == 12) box->button(2, false);
        if (frame == 15 || frame == 33) box->pull_out();  // the second time while held
    });
    demo.script.at_frame(60, InputEvent::closed());
    EXPECT_EQ(demo.flight.run(std::nullopt, ""), 0);
    if (demo.notes.size() < 2) GTEST_SKIP() << "panel-skipped: SDL has no virtual joysticks here";

    EXPECT_EQ(demo.notes,
              (std::vector<std::string>{"joystick \"Test Box\" is not plugged in (yet)",
                                        "joystick \"Test Box\" plugged in", "joystick \"Test Box\" pulled out",
                                        "joystick \"Test Box\" plugged in", "joystick \"Test Box\" pulled out"}));
    // The short press worked; the push held as its box was pulled out sends nothing.
    EXPECT_EQ(demo.clicks, (std::vector<std::string>{"gps area=5"}));
}

TEST(InputMonitor, WritesEachInputAsTheBindingsFileDoes) {
    panel::window::SdlEventPump events;
    std::vector<std::string> lines;
    panel::hardware::InputMonitor monitor(events, [&lines](const std::string& line) { lines.push_back(line); });
    VirtualBox box("Test Box");
    if (!box.plugged_in()) GTEST_SKIP() << "panel-skipped: SDL has no virtual joysticks here: " << SDL_GetError();
    events.pump();
    box.button(5, true);
    events.pump();
    box.button(5, false);
    box.axis(30000);
    events.pump();
    box.axis(30100);  // too little to say again
    events.pump();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("# plugged in: joystick \"Test Box\" (GUID ", 0), 0u);
    EXPECT_EQ(lines[1], "joystick \"Test Box\" button 5");
    EXPECT_EQ(lines[2], "joystick \"Test Box\" axis 0");
    // What it writes is what the file reads.
    EXPECT_EQ(parse_bindings(lines[1] + " press \"gps ent\"", "x").bindings.at(0).input.number, 5);
}

}  // namespace
