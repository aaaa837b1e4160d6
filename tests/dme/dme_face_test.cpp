// The DME module's records as the host reads them, and its gauge callback.
#include <string>
#include <vector>

#include "dme_fixture.h"

namespace dme_test {
namespace {

using DmeFace = DmeTest;

// The line of the record dump that starts with `start`.
std::string dump_line(const std::vector<std::string>& lines, const std::string& start) {
    for (const std::string& line : lines) {
        if (line.rfind(start, 0) == 0) return line;
    }
    return "";
}

bool has(const std::string& line, const std::string& part) {
    return line.find(part) != std::string::npos;
}

struct ElementRow {
    uint32_t kind, resource_id, frame_count;
    int32_t x, y;
    uint32_t own_var;
};

constexpr uint32_t S = ELEMENT_STRING, I = ELEMENT_ICON;
const ElementRow face[] = {
    {ELEMENT_STATIC_IMAGE, 9472, 0, 0, 0, 0},
    // clang-format off
    {I, 4352, 3, 289, 25, 0}, {I, 4608, 2, 287, 56, 0}, {I, 4864, 2, 37, 35, 0}, {I, 5120, 2, 144, 35, 0},
    {I, 5376, 2, 116, 35, 0}, {I, 5632, 2, 180, 35, 0},
    {S, NO_BITMAP, 0, 40, 9, 35}, {S, NO_BITMAP, 0, 119, 9, 36}, {S, NO_BITMAP, 0, 180, 9, 0},
    {S, NO_BITMAP, 0, 141, 9, 27}, {S, NO_BITMAP, 0, 141, 9, 873},
    {I, 6144, 2, 51, 23, 0}, {I, 6400, 2, 124, 23, 0}, {I, 8192, 2, 182, 23, 0}, {I, 8704, 2, 264, 21, 0},
    // clang-format on
    {I, 9216, 2, 381, 20, 0},
};

// The records as plain values, and the record dump (every field at its byte offset) for the
// words the host reads but does not keep: back pointers, children, fault blocks, reserved.
TEST_F(DmeFace, SeventeenElementsInOneChainAsTheFaceTableGivesThem) {
    ASSERT_EQ(s.element_count(), 17u);
    const std::vector<std::string> dump = s.gauge().record_lines();
    for (size_t n = 1; n <= 17; ++n) {
        const ElementRow& row = face[n - 1];
        const panel::ElementRecord& e = s.record(n);
        SCOPED_TRACE(n);
        EXPECT_EQ(e.kind, row.kind);
        EXPECT_EQ(e.resource_id, row.resource_id);
        EXPECT_EQ(e.x, row.x);
        EXPECT_EQ(e.y, row.y);
        EXPECT_EQ(e.flags, ELEMENT_FLAGS_AT_LOAD);
        EXPECT_EQ(e.own_variable, row.own_var);
        const std::string line = dump_line(dump, "element " + std::to_string(n) + " ");
        // Its own header, no previous, its own zero fault block, the next element as its one child.
        EXPECT_TRUE(has(line, " gauge=header previous=null ")) << line;
        EXPECT_TRUE(has(line, " fault_list=zero flags=0x83")) << line;
        EXPECT_FALSE(has(line, "+shared")) << line;
        EXPECT_FALSE(has(line, "reserved=")) << line;  // the dump names only reserved words that are not zero
        EXPECT_TRUE(has(line, n < 17 ? " children=[element " + std::to_string(n + 1) + "] " : " children=null "))
            << line;
        if (row.kind == I) {
            EXPECT_EQ(e.frame_count, row.frame_count);
            EXPECT_TRUE(has(line, " own=0 icon_mode=3 ")) << line;
            EXPECT_TRUE(has(line, " callback=set")) << line;
        }
        if (row.kind == S) {
            EXPECT_EQ(e.box_width, 452 - row.x);
            EXPECT_EQ(e.box_height, 36);
            EXPECT_EQ(e.text_color, n == FREQ ? 0x033ADEu : 0x2B28DFu);
            EXPECT_EQ(e.color_b, 0u);
            EXPECT_EQ(e.color_c, 0u);
            EXPECT_EQ(e.font_name, "Quartz");
            EXPECT_EQ(e.font_weight, 400u);
            EXPECT_EQ(e.font_charset, 1u);
            EXPECT_TRUE(has(line, " second=0 third=0 text=null ")) << line;
            EXPECT_TRUE(has(line, " format1=0x0 format2=0x4240 callback=set")) << line;
        }
    }
}

TEST_F(DmeFace, TenClickableAreasInOneGroup) {
    const std::vector<std::string> dump = s.gauge().record_lines();
    EXPECT_EQ(dump_line(dump, "mouse 0 "),
              "mouse 0 kind=1 x=0 y=0 width=0 height=0 cursor=-1 help=0 event_flags=0x0 event_id=0x0 handler=null "
              "reserved=0");
    EXPECT_EQ(dump_line(dump, "mouse 11 "),
              "mouse 11 kind=3 x=0 y=0 width=0 height=0 cursor=-1 help=0 event_flags=0x0 event_id=0x0 handler=null "
              "reserved=0");
    EXPECT_EQ(dump.back(), dump_line(dump, "mouse 11 "));
    const int32_t areas[10][5] = {
        {308, 56, 17, 18, 1}, {288, 55, 19, 20, 2}, {286, 24, 15, 16, 2}, {301, 23, 15, 17, 5}, {317, 21, 16, 19, 1},
        {399, 37, 11, 18, 5}, {412, 30, 11, 30, 1}, {423, 22, 14, 45, 1}, {387, 30, 10, 31, 2}, {373, 22, 13, 44, 2},
    };
    const auto& list = s.records().mouse_areas;
    ASSERT_EQ(list.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        const panel::MouseAreaRecord& area = list[i];
        SCOPED_TRACE(i + 1);
        EXPECT_EQ((std::vector<int32_t>{area.x, area.y, area.width, area.height, area.cursor}),
                  std::vector<int32_t>(areas[i], areas[i] + 5));
        EXPECT_EQ(area.event_flags, MOUSE_LEFT_SINGLE);
        EXPECT_EQ(area.help_id, 0);
        EXPECT_EQ(area.event_id, 0u);
        EXPECT_TRUE(area.has_handler);
        EXPECT_EQ(area.group_depth, 1);
    }
    // The fixture's click points land in the areas in list order.
    const Point points[] = {POWER_ON,    POWER_OFF,   MODE_RMT_POS, MODE_FREQ_POS, MODE_GST_POS,
                            KNOB_CENTRE, INNER_RIGHT, OUTER_RIGHT,  INNER_LEFT,    OUTER_LEFT};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(s.click(points[i].x, points[i].y), &list[i]) << i;
}

TEST_F(DmeFace, HeaderLinkageAndImportTable) {
    EXPECT_EQ(s.records().name, "VER2_Corvane_VX_RD22");
    EXPECT_EQ(s.records().size_value, 100u);
    const std::vector<std::string> dump = s.gauge().record_lines();
    EXPECT_EQ(dump_line(dump, "linkage "),
              "linkage module_id=0x13 module_init=set module_deinit=set reserved1=0 reserved2=0 version=0x800 "
              "gauges=1");
    EXPECT_EQ(dump_line(dump, "import "), "import id=0xf services=host_table end_id=0 end_pointer=null");
    EXPECT_EQ(dump_line(dump, "header "),
              "header version=0x320 name=\"VER2_Corvane_VX_RD22\" size=100 mouse_areas=mouse_list callback=set "
              "element_list=element 1");
}

TEST_F(DmeFace, PreUpdateLooksUpTheNineInputsInOrderAndNothingElseDoes) {
    const std::vector<uint32_t> nine{36, 35, 773, 61, 0, 372, 58, 1, 604};
    s.driver().pre_update();
    EXPECT_EQ(s.log().lookups(), nine);
    s.log().clear();
    for (int32_t id : {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, -1}) s.driver().service(id);
    s.driver().update_elements();
    EXPECT_TRUE(s.log().lookups().empty());
    EXPECT_TRUE(s.log().events().empty());
    EXPECT_TRUE(s.log().cues().empty());
}

TEST_F(DmeFace, ResetRunsAtTheFirstPreDrawOnly) {
    // Before the reset the counter is 0, so a powered FREQ click goes straight to setting.
    click(POWER_ON);
    set(SUPPLY, 1.0);
    s.driver().pre_update();
    click(MODE_FREQ_POS);
    EXPECT_EQ(s.log().events(), (std::vector<panel::KeyEvent>{{0x10394, 0}}));
    s.driver().pre_draw();  // switch off, selector at RMT, counter -1
    s.run_frame();
    EXPECT_EQ(s.result(POWER_SWITCH), 0.0);
    EXPECT_EQ(s.result(MODE_KNOB), 0.0);
    click(POWER_ON);
    click(MODE_FREQ_POS);
    s.run_frame();
    EXPECT_TRUE(s.hidden(FREQ));  // -1 to 0 happened unpowered: still -1
    click_freq(1);
    EXPECT_FALSE(s.hidden(FREQ));
    for (int i = 0; i < 3; ++i) s.driver().pre_draw();
    s.run_frame();
    EXPECT_FALSE(s.hidden(FREQ));
    EXPECT_EQ(s.result(POWER_SWITCH), 1.0);
}

}  // namespace
}  // namespace dme_test
