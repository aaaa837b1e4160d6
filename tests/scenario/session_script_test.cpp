#include "scenario_script.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <string_view>
#include <vector>

using panel::scenario::ScriptContext;
using panel::scenario::ScriptError;
using panel::scenario::Step;
using panel::scenario::StepKind;

namespace {

// The trace tool's reading: low-level steps only.
std::vector<Step> parse_script(std::string_view source) {
    return panel::scenario::parse_script(source, ScriptContext::session()).steps;
}

}  // namespace

TEST(SessionScript, ReadsEveryStepWithItsLine) {
    auto steps = parse_script(
        "# a comment\n"
        "set 773 1.5\n"
        "\n"
        "int 27 0x1345   # BCD\n"
        "int 831 -7\n"
        "text 839 \"a \\\"b\\\" \\\\ \\xB0\"\n"
        "null 839\n"
        "clear 773\n"
        "frame\n"
        "frame 3\n"
        "pre-update\nelements\npre-draw\n"
        "service -1\n"
        "click 53 103\n"
        "area 10\n"
        "note the alerter\n"
        "set avionics_supply 1\n"
        "text waypoint_id \"KSEA\"\n");
    ASSERT_EQ(steps.size(), 17u);
    EXPECT_EQ(steps[0].kind, StepKind::set_number);
    EXPECT_EQ(steps[0].id, 773u);
    EXPECT_EQ(steps[0].number, 1.5);
    EXPECT_EQ(steps[0].line, 2);
    EXPECT_EQ(steps[1].integer, 0x1345);
    EXPECT_EQ(steps[1].line, 4);
    EXPECT_EQ(steps[2].integer, -7);
    EXPECT_EQ(steps[3].text, "a \"b\" \\ \xB0");
    EXPECT_EQ(steps[4].kind, StepKind::set_null_text);
    EXPECT_EQ(steps[5].kind, StepKind::clear);
    EXPECT_EQ(steps[6].integer, 1);
    EXPECT_EQ(steps[7].integer, 3);
    EXPECT_EQ(steps[8].kind, StepKind::pre_update);
    EXPECT_EQ(steps[9].kind, StepKind::elements);
    EXPECT_EQ(steps[10].kind, StepKind::pre_draw);
    EXPECT_EQ(steps[11].integer, -1);
    EXPECT_EQ(steps[12].x, 53);
    EXPECT_EQ(steps[12].y, 103);
    EXPECT_EQ(steps[13].integer, 10);
    EXPECT_EQ(steps[14].text, "the alerter");
    EXPECT_EQ(steps[15].id, 773u);  // by the catalogue's name
    EXPECT_EQ(steps[16].id, 839u);
}

TEST(SessionScript, ReadsWindowsLineEndsAndAByteOrderMark) {
    auto steps = parse_script("\xEF\xBB\xBFset 773 1\r\nframe\r\n\r\nframe 2  # two\r\nnote done\r\n");
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0].number, 1.0);
    EXPECT_EQ(steps[2].integer, 2);
    EXPECT_EQ(steps[2].line, 4);
    EXPECT_EQ(steps[3].text, "done");
}

namespace {

// The message of the error that parsing `source` throws, or "" when it parses.
std::string parse_error(const std::string& source) {
    try {
        parse_script(source);
    } catch (const ScriptError& error) {
        return error.what();
    }
    return "";
}

}  // namespace

TEST(SessionScript, NamesTheLineAndColumnOfAStrayControlCharacter) {
    EXPECT_EQ(parse_error("frame\nset 773\x01 1\n"), "line 2, column 8: stray control character 0x01");
    EXPECT_EQ(parse_error("frame\rframe\n"), "line 1, column 6: stray control character 0x0D");
    EXPECT_EQ(parse_error("text 839 \"A\x1B\"\n"), "line 1, column 12: stray control character 0x1B");
}

// A value of the wrong type would make the gauge read its bits as something else: a number
// given to the waypoint text is read as a pointer.
TEST(SessionScript, RefusesAValueOfTheWrongTypeBeforeAnythingRuns) {
    EXPECT_EQ(parse_error("frame\nset 839 1\n"),
              "line 2: set: variable 839 (waypoint_id) holds a text; use text or null");
    EXPECT_EQ(parse_error("int 839 4096\n"), "line 1: int: variable 839 (waypoint_id) holds a text; use text or null");
    EXPECT_EQ(parse_error("set 27 113.45\n"), "line 1: set: variable 27 (dme_frequency) holds an integer; use int");
    EXPECT_EQ(parse_error("text 773 \"1\"\n"), "line 1: text: variable 773 (avionics_supply) holds a number; use set");
    EXPECT_EQ(parse_error("set 9999 1\n"), "line 1: variable 9999 is not one the simulator has");
    EXPECT_EQ(parse_error("set avionics 1\n"), "line 1: unknown variable 'avionics'");
}

TEST(SessionScript, CapsTheFramesAScriptMayAskFor) {
    EXPECT_EQ(parse_error("frame 100000\nframe 100000\n"), "");
    EXPECT_EQ(parse_error("frame 100000\nframe 100000\nframe 1\n"),
              "line 3: the script asks for more than 200000 frames in all");
}

TEST(ScriptErrors, PointAtTheFileLikeACompiler) {
    const ScriptError error(4, 7, "unterminated text");
    EXPECT_EQ(error.located("demo.session"), "demo.session:4:7: unterminated text");
    EXPECT_EQ(ScriptError(9, 0, "x").located("a"), "a:9: x");
}

TEST(ScriptErrors, StayOneLineWhateverTheWordsTheyEcho) {
    // A quoted word is decoded before it is found to be no step: "\x0A" is a line break.
    EXPECT_EQ(parse_error("frame\n\"a\\x0Ab\\x7F\xB0\" 1\n"), "line 2: unknown step 'a\\x0Ab\\x7F\xB0'");
}

TEST(SessionScript, ReadsTheValuesBadInputSessionsNeed) {
    auto steps = parse_script("set 1 nan\nset 1 inf\nset 1 -inf\nset 1 1e300\nset 1 -0\nint 831 0xFFFFFFFF\n");
    ASSERT_EQ(steps.size(), 6u);
    EXPECT_TRUE(std::isnan(steps[0].number));
    EXPECT_EQ(steps[1].number, INFINITY);
    EXPECT_EQ(steps[2].number, -INFINITY);
    EXPECT_EQ(steps[3].number, 1e300);
    EXPECT_TRUE(std::signbit(steps[4].number));
    EXPECT_EQ(steps[5].integer, -1);
}

TEST(SessionScript, NamesTheLineOfAMalformedStep) {
    const char* bad[] = {
        "frame\njump 3\n",        // unknown step
        "frame\nset 773\n",       // missing value
        "frame\nset 773 1.5x\n",  // not a number
        "frame\nint 831 0x1G\n",  // not an integer
        "frame\nint 831 0x100000000\n",
        "frame\ntext 839 \"open\n",
        "frame\ntext 839 \"\\q\"\n",
        "frame\nframe 0\n",
        "frame\nclick 1\n",
        "frame\nframe 2 3\n",
        "frame\nset -1 0\n",
    };
    for (const char* source : bad) {
        try {
            parse_script(source);
            ADD_FAILURE() << "accepted: " << source;
        } catch (const ScriptError& error) {
            EXPECT_EQ(std::string(error.what()).rfind("line 2:", 0), 0u) << error.what();
        }
    }
}

// The trace tool drives one gauge frame by frame; it has no world, clock or second gauge.
TEST(SessionScript, TheTraceToolRefusesFlightLevelSteps) {
    const char* steps[] = {"wait 5s",         "at 2:30",   "ramp altitude to 3 over 1s", "fly heading 90",
                           "world supply on", "gauge gps", "expect cue click",           "snapshot a"};
    for (const char* step : steps) {
        const std::string verb = std::string(step).substr(0, std::string(step).find(' '));
        EXPECT_EQ(parse_error(std::string("frame\n") + step + "\n"),
                  "line 2: '" + verb + "' needs the panel application (panelhost run)");
    }
    EXPECT_EQ(parse_error("frame\nclick gps ent\n"),
              "line 2: 'click' on a named gauge needs the panel application (panelhost run)");
    EXPECT_EQ(parse_error("area 11\n"), "");  // the trace tool reports a missing area in the trace
}
