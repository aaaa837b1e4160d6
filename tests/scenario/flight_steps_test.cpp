// The panel application's steps: each kind read into its typed step, the script's clock, the
// gauge that low-level steps act on, and every kind of error with its line.
#include <gtest/gtest.h>

#include <string>

#include "scenario_script.h"

namespace {

using namespace panel::scenario;

// The example panel: the navigator, then the radio.
ScriptContext example_panel() {
    return ScriptContext::panel({{"GPS_Corvane_PX40", 50, 10}, {"VER2_Corvane_VX_RD22", 17, 10}});
}

Script parse(const std::string& source) {
    return parse_script(source, example_panel());
}

std::string parse_error(const std::string& source, const ScriptContext& context = example_panel()) {
    try {
        parse_script(source, context);
    } catch (const ScriptError& error) {
        return error.what();
    }
    return "";
}

}  // namespace

TEST(FlightSteps, ReadsTimeValuesAndTheAutopilot) {
    const Script script = parse(
        "wait 1m30s\n"
        "at 2:30\n"
        "ramp altitude to 4500 over 2m\n"
        "ramp 81 to -12.5 over 500ms\n"
        "fly heading 270\n"
        "fly altitude 3500\n"
        "fly speed 120\n"
        "fly vertical_speed -500\n");
    ASSERT_EQ(script.steps.size(), 8u);
    EXPECT_EQ(script.steps[0].kind, StepKind::wait);
    EXPECT_EQ(script.steps[0].seconds, 90.0);
    EXPECT_EQ(script.steps[1].kind, StepKind::at);
    EXPECT_EQ(script.steps[1].seconds, 150.0);
    EXPECT_EQ(script.steps[2].kind, StepKind::ramp);
    EXPECT_EQ(script.steps[2].id, 74u);
    EXPECT_EQ(script.steps[2].number, 4500.0);
    EXPECT_EQ(script.steps[2].seconds, 120.0);
    EXPECT_EQ(script.steps[3].id, 81u);
    EXPECT_EQ(script.steps[3].number, -12.5);
    EXPECT_EQ(script.steps[3].seconds, 0.5);
    EXPECT_EQ(script.steps[4].fly, FlyTarget::heading);
    EXPECT_EQ(script.steps[4].number, 270.0);
    EXPECT_EQ(script.steps[5].fly, FlyTarget::altitude);
    EXPECT_EQ(script.steps[6].fly, FlyTarget::speed);
    EXPECT_EQ(script.steps[7].fly, FlyTarget::vertical_speed);
    EXPECT_EQ(script.steps[7].number, -500.0);
}

TEST(FlightSteps, ReadsEveryWorldSetting) {
    const Script script = parse(
        "world position 47.45 -122.31\n"
        "world altitude 3500\n"
        "world heading 354\n"
        "world speed 120\n"
        "world wind 270 15\n"
        "world utc 9:05\n"
        "world utc 23:59:30\n"
        "world baro 1013.25\n"
        "world obs 45\n"
        "world waypoint KSEA 47.449 -122.309\n"
        "world dme SEA 116.80 47.435 -122.31 120\n"
        "world dme PAE 110.6 47.92 -122.28 40 600\n"
        "world tune 113.45\n"
        "world supply on\n"
        "world supply off\n"
        "world gps_status 64\n");
    ASSERT_EQ(script.steps.size(), 16u);
    for (const Step& step : script.steps) EXPECT_EQ(step.kind, StepKind::world);
    const auto world = [&](size_t i) { return script.steps[i].world; };
    EXPECT_EQ(world(0).kind, WorldKind::position);
    EXPECT_EQ(world(0).latitude, 47.45);
    EXPECT_EQ(world(0).longitude, -122.31);
    EXPECT_EQ(world(1).kind, WorldKind::altitude);
    EXPECT_EQ(world(1).value, 3500.0);
    EXPECT_EQ(world(2).kind, WorldKind::heading);
    EXPECT_EQ(world(3).kind, WorldKind::speed);
    EXPECT_EQ(world(4).kind, WorldKind::wind);
    EXPECT_EQ(world(4).value, 270.0);
    EXPECT_EQ(world(4).knots, 15.0);
    EXPECT_EQ(world(5).value, 9 * 3600.0 + 5 * 60.0);
    EXPECT_EQ(world(6).value, 23 * 3600.0 + 59 * 60.0 + 30.0);
    EXPECT_EQ(world(7).kind, WorldKind::baro);
    EXPECT_EQ(world(7).value, 1013.25);
    EXPECT_EQ(world(8).kind, WorldKind::obs);
    EXPECT_EQ(world(9).kind, WorldKind::waypoint);
    EXPECT_EQ(world(9).ident, "KSEA");
    EXPECT_EQ(world(9).latitude, 47.449);
    EXPECT_EQ(world(10).kind, WorldKind::dme);
    EXPECT_EQ(world(10).ident, "SEA");
    EXPECT_EQ(world(10).frequency_bcd, 0x1680);
    EXPECT_EQ(world(10).longitude, -122.31);
    EXPECT_EQ(world(10).range_nm, 120.0);
    EXPECT_FALSE(world(10).elevation_ft.has_value());
    EXPECT_EQ(world(11).frequency_bcd, 0x1060);
    EXPECT_EQ(world(11).elevation_ft, 600.0);
    EXPECT_EQ(world(12).kind, WorldKind::tune);
    EXPECT_EQ(world(12).frequency_bcd, 0x1345);
    EXPECT_TRUE(world(13).on);
    EXPECT_FALSE(world(14).on);
    EXPECT_EQ(world(15).kind, WorldKind::gps_status);
    EXPECT_EQ(world(15).integer, 64);
}

TEST(FlightSteps, ReadsClicksExpectationsAndSnapshots) {
    const Script script = parse(
        "click gps ent\n"
        "click dme inner_right x3\n"
        "click VER2_Corvane_VX_RD22 300 60\n"
        "expect gps distance text \"12.5nm\" within 5s\n"
        "expect gps 18 shown\n"
        "expect dme rmt_lamp hidden within 500ms\n"
        "expect dme rmt_lamp frame 1\n"
        "expect cue beep2 within 1m\n"
        "expect cue \"Sound\\\\Beep2.WAV\"\n"
        "expect event gps_direct_to\n"
        "expect event 0x1015B\n"
        "snapshot cruise-1.day\n"
        "snapshot cruise-1.night night\n");
    ASSERT_EQ(script.steps.size(), 13u);
    const auto& s = script.steps;
    EXPECT_EQ(s[0].kind, StepKind::click_control);
    EXPECT_EQ(s[0].gauge, 0u);
    EXPECT_EQ(s[0].integer, 5);
    EXPECT_EQ(s[0].count, 1);
    EXPECT_EQ(s[1].gauge, 1u);
    EXPECT_EQ(s[1].integer, 7);
    EXPECT_EQ(s[1].count, 3);
    EXPECT_EQ(s[2].kind, StepKind::click);
    EXPECT_EQ(s[2].gauge, 1u);
    EXPECT_EQ(s[2].x, 300);
    EXPECT_EQ(s[2].y, 60);

    EXPECT_EQ(s[3].kind, StepKind::expect);
    EXPECT_EQ(s[3].expect, ExpectKind::text);
    EXPECT_EQ(s[3].element, 18u);
    EXPECT_EQ(s[3].text, "12.5nm");
    EXPECT_EQ(s[3].within, 5.0);
    EXPECT_EQ(s[3].description, "gps distance text \"12.5nm\" within 5s");
    EXPECT_EQ(s[4].element, 18u);
    EXPECT_EQ(s[4].expect, ExpectKind::shown);
    EXPECT_FALSE(s[4].within.has_value());
    EXPECT_EQ(s[4].description, "gps distance shown");  // a number is named back when it has a name
    EXPECT_EQ(s[5].gauge, 1u);
    EXPECT_EQ(s[5].element, 16u);
    EXPECT_EQ(s[5].expect, ExpectKind::hidden);
    EXPECT_EQ(s[5].within, 0.5);
    EXPECT_EQ(s[6].expect, ExpectKind::frame);
    EXPECT_EQ(s[6].integer, 1);
    EXPECT_EQ(s[7].expect, ExpectKind::cue);
    EXPECT_EQ(s[7].text, "beep2");
    EXPECT_FALSE(s[7].cue_path);
    EXPECT_EQ(s[8].text, "Sound\\Beep2.WAV");
    EXPECT_TRUE(s[8].cue_path);
    EXPECT_EQ(s[9].expect, ExpectKind::event);
    EXPECT_EQ(s[9].id, 0x10174u);
    EXPECT_EQ(s[10].id, 0x1015Bu);
    EXPECT_EQ(s[10].description, "event baro_up");
    EXPECT_EQ(s[11].kind, StepKind::snapshot);
    EXPECT_EQ(s[11].text, "cruise-1.day");
    EXPECT_FALSE(s[11].night);
    EXPECT_TRUE(s[12].night);
}

TEST(FlightSteps, LowLevelStepsActOnTheGaugeLastNamed) {
    const Script script = parse(
        "area 1\n"
        "gauge dme\n"
        "area 2\n"
        "click 5 6\n"
        "pre-update\nelements\npre-draw\nservice 13\n"
        "gauge GPS_Corvane_PX40\n"
        "area 3\n");
    ASSERT_EQ(script.steps.size(), 10u);
    EXPECT_EQ(script.steps[0].gauge, 0u);
    EXPECT_EQ(script.steps[1].kind, StepKind::select_gauge);
    for (size_t i = 1; i <= 7; ++i) EXPECT_EQ(script.steps[i].gauge, 1u) << "step " << i;
    EXPECT_EQ(script.steps[9].gauge, 0u);
}

TEST(FlightSteps, TheScriptsClockStandsInEveryStep) {
    const Script script = parse(
        "frame 9\n"    // 0.5 s
        "wait 1.5s\n"  // to 2 s
        "set 773 1\n"
        "at 2:30\n"
        "at 150s\n"  // the same moment is no step back
        "wait 1m\n"
        "expect gps distance shown within 1h\n"
        "frame\n");
    ASSERT_EQ(script.steps.size(), 8u);
    EXPECT_EQ(script.steps[0].time, 0.0);
    EXPECT_EQ(script.steps[1].time, 0.5);
    EXPECT_EQ(script.steps[2].time, 2.0);
    EXPECT_EQ(script.steps[3].time, 2.0);
    EXPECT_EQ(script.steps[4].time, 150.0);
    EXPECT_EQ(script.steps[5].time, 150.0);
    EXPECT_EQ(script.steps[6].time, 210.0);  // `within` does not move the clock
    EXPECT_EQ(script.steps[7].time, 210.0);
    EXPECT_DOUBLE_EQ(script.seconds, 210.0 + 1.0 / 18.0);
}

TEST(FlightSteps, EveryKindOfErrorNamesItsLine) {
    const struct {
        const char* source;
        const char* error;
    } cases[] = {
        {"wait 1s\nhover 3\n", "line 2: unknown step 'hover'"},
        {"wait 1s\nfly heading 27O\n", "line 2: not a number: 27O"},
        {"wait 1s\nfly heading 400\n", "line 2: heading 400 out of range (0 to 360)"},
        {"wait 1s\nfly heading nan\n", "line 2: heading nan out of range (0 to 360)"},
        {"wait 1s\nfly pitch 3\n", "line 2: fly what? 'pitch' (heading, altitude, speed or vertical_speed)"},
        {"wait 1s\nwait 5\n", "line 2: bad duration '5' (write 5s, 0.5s, 2m, 1m30s or 500ms)"},
        {"wait 1s\nwait 30s1m\n", "line 2: bad duration '30s1m' (write 5s, 0.5s, 2m, 1m30s or 500ms)"},
        {"wait 1s\nat 2:3\n", "line 2: bad time '2:3' (write 2:30, 1:02:30 or 150s)"},
        {"at 2:30\nat 1:00\n", "line 2: time goes backwards (at 1:00 after 2:30)"},
        {"wait 1s\nset alttitude 3\n", "line 2: unknown variable 'alttitude'"},
        {"wait 1s\nramp dme_frequency to 3 over 1s\n",
         "line 2: ramp: variable 27 (dme_frequency) holds an integer; only numbers ramp"},
        {"wait 1s\nramp altitude 3 over 1s\n", "line 2: expected 'to', not '3'"},
        {"wait 1s\nramp altitude to inf over 1s\n", "line 2: the ramp's target inf is not a finite number"},
        {"wait 1s\nclick gsp ent\n", "line 2: unknown gauge 'gsp' (the panel has gps, dme)"},
        {"wait 1s\nclick gps enter\n",
         "line 2: unknown control 'enter' of gps (its controls: power_off, power_on, direct_to, crsr, ent, "
         "outer_right, outer_left, alt, inner_right, inner_left)"},
        {"wait 1s\nclick dme knob_centre 3\n", "line 2: bad click count '3' (write x3)"},
        {"wait 1s\nclick dme knob_centre x0\n", "line 2: click count out of range (1 to 100)"},
        {"wait 1s\nexpect gps dist text \"1\"\n", "line 2: unknown element 'dist' of gps"},
        {"wait 1s\nexpect dme 18 shown\n", "line 2: dme has no element 18 (it has 17)"},
        {"wait 1s\nexpect gps distance reads \"1\"\n",
         "line 2: expect what of gps? 'reads' (text, shown, hidden or frame)"},
        {"wait 1s\nexpect gps distance text \"12.5nm\n", "line 2: unterminated text"},
        {"wait 1s\nexpect gps distance shown in 5s\n", "line 2: expected 'within', not 'in'"},
        {"wait 1s\nexpect cue beep9\n",
         "line 2: unknown cue 'beep9' (click, soft_click, beep2, beep3, beep4, or a quoted path)"},
        {"wait 1s\nexpect event direct_to\n", "line 2: unknown event 'direct_to'"},
        {"wait 1s\nexpect event 17\n", "line 2: event 17 is not one the simulator has"},
        {"wait 1s\nworld tune 113.42\n", "line 2: frequency 113.42 is not a DME channel (108.00 to 117.95 by 0.05)"},
        {"wait 1s\nworld tune 118\n", "line 2: frequency 118 out of range (108 to 117.95)"},
        {"wait 1s\nworld utc 24:00\n", "line 2: bad time of day '24:00' (write HH:MM or HH:MM:SS)"},
        {"wait 1s\nworld supply maybe\n", "line 2: supply 'maybe'? (on or off)"},
        {"wait 1s\nworld waypoint K/SEA 1 2\n", "line 2: bad identifier 'K/SEA' (1 to 10 letters, digits, '-' or '_')"},
        {"wait 1s\nworld position 91 0\n", "line 2: latitude 91 out of range (-90 to 90)"},
        {"wait 1s\nworld gravity 1\n",
         "line 2: unknown world setting 'gravity' (position, altitude, heading, speed, wind, utc, baro, obs, "
         "waypoint, dme, tune, supply, gps_status)"},
        {"wait 1s\ngauge adf\n", "line 2: unknown gauge 'adf' (the panel has gps, dme)"},
        {"wait 1s\narea 11\n", "line 2: gps has no area 11 (it has 10)"},
        {"snapshot a\nsnapshot a night\n", "line 2: snapshot 'a' is taken twice (first on line 1)"},
        {"wait 1s\nsnapshot ../a\n", "line 2: bad snapshot name '../a' (letters, digits, '-', '_' and '.', not first)"},
        {"wait 1s\nsnapshot a dusk\n", "line 2: snapshot mode 'dusk'? (night, or nothing for day)"},
        {"wait 3h\nwait 10m\n", "line 2: the script runs past 3:05:11.111, the longest a script may run"},
        {"wait 3h\nexpect gps needle shown within 10m\n",
         "line 2: within 10m reaches past 3:05:11.111, the longest a script may run"},
        {"wait 1s\nwait 1s 2s\n", "line 2: unexpected words after the step"},
    };
    for (const auto& c : cases) EXPECT_EQ(parse_error(c.source), c.error) << c.source;
}

TEST(FlightSteps, ErrorsPointAtTheFile) {
    try {
        parse_script("wait 5s\n\nat 0:01\n", example_panel());
        FAIL() << "accepted";
    } catch (const ScriptError& error) {
        EXPECT_EQ(error.located("climb.scenario"), "climb.scenario:3: time goes backwards (at 0:01 after 0:05)");
    }
}

TEST(FlightSteps, AGaugeWithoutNamesIsAddressedByNumbers) {
    const ScriptContext panel = ScriptContext::panel({{"probe", 6, 3}});
    const Script script = parse_script("click probe 4 5\nexpect probe 6 shown\ngauge probe\narea 3\n", panel);
    ASSERT_EQ(script.steps.size(), 4u);
    EXPECT_EQ(script.steps[0].kind, StepKind::click);
    EXPECT_EQ(script.steps[1].description, "probe element 6 shown");
    EXPECT_EQ(script.steps[3].integer, 3);
    EXPECT_EQ(parse_error("click probe ent\n", panel),
              "line 1: unknown control 'ent' of probe (it has no named controls; click X Y)");
    EXPECT_EQ(parse_error("click probe 4\n", panel), "line 1: expected y");
    EXPECT_EQ(parse_error("expect probe lit shown\n", panel),
              "line 1: unknown element 'lit' of probe (it has no named elements; give its number)");
    EXPECT_EQ(parse_error("expect probe 7 shown\n", panel), "line 1: probe has no element 7 (it has 6)");
    EXPECT_EQ(parse_error("area 4\n", panel), "line 1: probe has no area 4 (it has 3)");
}

TEST(FlightSteps, TwoGaugesOfOneNameAreToldApartByNumber) {
    const ScriptContext panel = ScriptContext::panel(
        {{"VER2_Corvane_VX_RD22", 17, 10}, {"GPS_Corvane_PX40", 50, 10}, {"GPS_Corvane_PX40", 50, 10}});
    EXPECT_EQ(parse_error("click gps ent\n", panel),
              "line 1: gauge name 'gps' is ambiguous: the panel has 2; write gps#1 to gps#2");
    EXPECT_EQ(parse_script("click gps#2 ent\nclick GPS_Corvane_PX40#1 ent\n", panel).steps[0].gauge, 2u);
    EXPECT_EQ(parse_script("click gps#2 ent\nclick GPS_Corvane_PX40#1 ent\n", panel).steps[1].gauge, 1u);
    EXPECT_EQ(parse_error("click gps#3 ent\n", panel), "line 1: no gauge 'gps#3': the panel has 2 gps");
    EXPECT_EQ(parse_error("click gps#x ent\n", panel), "line 1: bad gauge number in 'gps#x' (write gps#1, gps#2, ...)");
}

TEST(FlightSteps, ANamedElementBeyondTheLoadedGaugeIsRefused) {
    // A module older than the names: fewer elements than the table holds.
    const ScriptContext panel = ScriptContext::panel({{"VER2_Corvane_VX_RD22", 12, 10}});
    EXPECT_EQ(parse_error("expect dme rmt_lamp shown\n", panel),
              "line 1: dme has only 12 elements; 'rmt_lamp' is element 16");
}
