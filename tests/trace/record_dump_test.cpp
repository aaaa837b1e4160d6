// The record dump and the session runner against the probe modules of the host core tests.
#include "record_dump.h"

#include <gtest/gtest.h>

#include <sstream>

#include "gauge_session.h"
#include "probe_support.h"
#include "scenario_script.h"
#include "session_runner.h"

namespace {

using probe_test::probe;
using probe_test::probe_catalogue;

std::string find_line(const std::vector<std::string>& lines, const std::string& start) {
    for (const auto& line : lines) {
        if (line.rfind(start, 0) == 0) return line;
    }
    return "";
}

}  // namespace

TEST(RecordDump, DescribesEveryRecordOfAModule) {
    panel::GaugeSession session(probe("probe_good"), probe_catalogue());
    auto lines = session.gauge().record_lines();
    EXPECT_EQ(
        lines.front(),
        "linkage module_id=0x13 module_init=set module_deinit=set reserved1=0 reserved2=0 version=0x800 gauges=1");
    EXPECT_EQ(find_line(lines, "import"), "import id=0xf services=host_table end_id=0 end_pointer=null");
    EXPECT_EQ(
        find_line(lines, "header"),
        "header version=0x320 name=\"probe\" size=100 mouse_areas=mouse_list callback=set element_list=element 1");
    EXPECT_EQ(find_line(lines, "element 1 "),
              "element 1 kind=0 resource=0x100 x=0 y=0 gauge=header previous=null children=[element 2] "
              "fault_list=zero flags=0x83");
    EXPECT_EQ(find_line(lines, "element 5 "),
              "element 5 kind=3 resource=0x300 x=50 y=5 gauge=header previous=null children=[element 6] "
              "fault_list=zero flags=0x83 x_var=0 x_scale=2 y_var=20 y_scale=0 x_callback=set y_callback=set");
    EXPECT_NE(find_line(lines, "element 6 ").find("children=null"), std::string::npos);
    EXPECT_EQ(find_line(lines, "mouse 3"),
              "mouse 3 kind=2 x=40 y=10 width=10 height=5 cursor=5 help=0 event_flags=0x10000000 event_id=0x0 "
              "handler=set reserved=0");
    EXPECT_EQ(lines.back().rfind("mouse 4 kind=3", 0), 0u);
}

TEST(SessionRunner, TracesElementsLookupsEventsAndCuesStepByStep) {
    panel::GaugeSession session(probe("probe_good"), probe_catalogue());
    std::ostringstream out;
    using panel::scenario::ScriptContext;
    panel::trace::SessionRunner(session, out)
        .run(panel::scenario::parse_script(
                 "text 500 \"hi\"\nset probe_twenty 0.5\nframe\nclick 12 11\narea 2\nclick 45 12\nservice 13\n",
                 ScriptContext::session(probe_catalogue()))
                 .steps);
    const std::string trace = out.str();
    auto contains = [&](const std::string& line) { return trace.find(line + "\n") != std::string::npos; };
    EXPECT_TRUE(contains("text 500 \"hi\" (line 1)"));
    EXPECT_TRUE(contains("frame 1 (line 3)"));
    EXPECT_TRUE(contains("f1 pre-update lookups=3 30,10,20"));
    EXPECT_TRUE(contains("f1 e2 string flags=0x83 value=1.5 text=\"hi\""));
    EXPECT_TRUE(contains("f1 e4 icon flags=0x40000087 value=2"));
    EXPECT_TRUE(contains("f1 e5 slider flags=0x83 value=-3.25 y=0.5"));
    EXPECT_TRUE(contains("click 12,11 area=1 (line 4)"));
    EXPECT_TRUE(contains(" click event 0x1000 0"));
    EXPECT_TRUE(contains(" click cue \"sound\\x5Cclick.wav\" 0x20001"));
    EXPECT_TRUE(contains("click 25,12 area=2 (line 5)"));
    EXPECT_TRUE(contains(" click event 0x2001 0"));
    // The third area takes no left clicks: the handler is not called.
    EXPECT_TRUE(contains("click 45,12 area=3 (line 6)"));
    EXPECT_TRUE(contains("service 13 (line 7)"));
    // What a click asked for follows the line of the click itself.
    EXPECT_LT(trace.find("click 12,11 area=1 (line 4)"), trace.find(" click event 0x1000 0"));
}
