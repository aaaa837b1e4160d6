// The navigator's records as the host reads them, before any callback has run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gps_fixture.h"

namespace gps_test {
namespace {

class GpsFaceTest : public ::testing::Test {
protected:
    panel::GaugeSession s{module_path()};
    const std::vector<std::string> dump = s.gauge().record_lines();

    // The line of the record dump (every field at its byte offset) that starts with `start`.
    std::string dump_line(const std::string& start) const {
        for (const std::string& line : dump) {
            if (line.rfind(start, 0) == 0) return line;
        }
        return "";
    }
};

bool has(const std::string& line, const std::string& part) {
    return line.find(part) != std::string::npos;
}

struct ElementRow {
    uint32_t kind, resource_id;
    int32_t x, y;
    uint32_t frames_or_var;  // icons: frame count; strings: own variable id
};

constexpr uint32_t I = ELEMENT_ICON, S = ELEMENT_STRING;
// The face table, element 1 to 50.
constexpr ElementRow face[] = {
    // clang-format off
    {ELEMENT_STATIC_IMAGE, 4096, 0, 0, 0}, {I, 6144, 0, 0, 2}, {I, 5120, 25, 101, 2}, {I, 4352, 77, 21, 4},
    {I, 5888, 77, 21, 4}, {S, NO_BITMAP, 123, 38, 0}, {S, NO_BITMAP, 303, 38, 0}, {S, NO_BITMAP, 123, 54, 0},
    {S, NO_BITMAP, 303, 54, 45}, {I, 5376, 292, 24, 2}, {S, NO_BITMAP, 325, 20, 839}, {I, 4608, 230, 43, 2},
    {ELEMENT_SLIDER, 5632, 301, 45, 0}, {S, NO_BITMAP, 183, 38, 0}, {I, 4864, 230, 43, 2}, {I, 6400, 174, 25, 2},
    {S, NO_BITMAP, 335, 38, 0}, {S, NO_BITMAP, 95, 19, 0}, {S, NO_BITMAP, 110, 36, 0}, {I, 8192, 80, 58, 2},
    {S, NO_BITMAP, 131, 73, 0}, {S, NO_BITMAP, 183, 56, 0}, {S, NO_BITMAP, 322, 56, 0}, {S, NO_BITMAP, 183, 73, 0},
    {S, NO_BITMAP, 183, 73, 0}, {S, NO_BITMAP, 332, 73, 0}, {S, NO_BITMAP, 358, 73, 0}, {I, 8448, 203, 27, 4},
    {S, NO_BITMAP, 228, 55, 0}, {S, NO_BITMAP, 263, 55, 0}, {S, NO_BITMAP, 218, 71, 0}, {S, NO_BITMAP, 263, 71, 0},
    {S, NO_BITMAP, 314, 20, 0}, {S, NO_BITMAP, 338, 20, 0}, {S, NO_BITMAP, 316, 36, 0}, {S, NO_BITMAP, 338, 36, 0},
    {S, NO_BITMAP, 226, 52, 839}, {S, NO_BITMAP, 316, 53, 0}, {S, NO_BITMAP, 338, 53, 0}, {S, NO_BITMAP, 316, 70, 0},
    {S, NO_BITMAP, 340, 70, 0}, {S, NO_BITMAP, 304, 20, 0}, {S, NO_BITMAP, 314, 53, 0}, {S, NO_BITMAP, 194, 36, 0},
    {S, NO_BITMAP, 304, 36, 0}, {S, NO_BITMAP, 183, 52, 839}, {S, NO_BITMAP, 303, 52, 0}, {S, NO_BITMAP, 215, 69, 0},
    {S, NO_BITMAP, 302, 69, 0}, {S, NO_BITMAP, 120, 1, 831},
    // clang-format on
};

TEST_F(GpsFaceTest, HeaderNamesTheGaugeAndItsCallback) {
    EXPECT_EQ(s.records().name, "GPS_Corvane_PX40");
    EXPECT_EQ(s.records().size_value, 100u);
    // The dump names only reserved words that are not zero, so whole lines pin them all.
    EXPECT_EQ(dump_line("header "),
              "header version=0x320 name=\"GPS_Corvane_PX40\" size=100 mouse_areas=mouse_list callback=set "
              "element_list=element 1");
    EXPECT_EQ(dump_line("linkage "),
              "linkage module_id=0x13 module_init=set module_deinit=set reserved1=0 reserved2=0 version=0x800 "
              "gauges=1");
    EXPECT_EQ(dump_line("import "), "import id=0xf services=host_table end_id=0 end_pointer=null");
}

TEST_F(GpsFaceTest, ElementChainFollowsTheFaceTable) {
    ASSERT_EQ(s.element_count(), 50u);
    for (size_t n = 1; n <= 50; ++n) {
        SCOPED_TRACE(n);
        const ElementRow& row = face[n - 1];
        const panel::ElementRecord& e = s.record(n);
        EXPECT_EQ(e.kind, row.kind);
        EXPECT_EQ(e.resource_id, row.resource_id);
        EXPECT_EQ(e.x, row.x);
        EXPECT_EQ(e.y, row.y);
        EXPECT_EQ(e.flags, ELEMENT_FLAGS_AT_LOAD);
        const std::string line = dump_line("element " + std::to_string(n) + " ");
        EXPECT_TRUE(has(line, " gauge=header previous=null ")) << line;
        EXPECT_TRUE(has(line, " fault_list=zero flags=0x83")) << line;
        EXPECT_FALSE(has(line, "+shared")) << line;  // each element has a fault block of its own
        EXPECT_FALSE(has(line, "reserved=")) << line;
        EXPECT_TRUE(has(line, n < 50 ? " children=[element " + std::to_string(n + 1) + "] " : " children=null "))
            << line;
        if (row.kind == ELEMENT_ICON) {
            EXPECT_EQ(e.frame_count, row.frames_or_var);
            EXPECT_EQ(e.own_variable, 0u);
            EXPECT_TRUE(has(line, " own=0 icon_mode=3 ")) << line;
            EXPECT_TRUE(has(line, " callback=set")) << line;
        }
        if (row.kind == ELEMENT_STRING) {
            EXPECT_EQ(e.own_variable, row.frames_or_var);
            EXPECT_TRUE(has(line, " second=0 third=0 text=null ")) << line;
            EXPECT_TRUE(has(line, " format1=0x0 format2=0x4240 callback=set")) << line;
            EXPECT_EQ(e.font_charset, 1u);
            EXPECT_EQ(e.color_c, 0u);
            const bool status = n == 50;
            EXPECT_EQ(e.box_width, status ? 367 : 487 - row.x);
            EXPECT_EQ(e.box_height, status ? 24 : 26);
            EXPECT_EQ(e.font_name, status ? "Courier New" : "Glass");
            EXPECT_EQ(e.font_weight, status ? 100u : 400u);
            EXPECT_EQ(e.text_color, status ? 0xFFFFFFu : 0x2B28DFu);
            EXPECT_EQ(e.color_b, n == 23 ? 0x2B28DFu : 0u);
        }
    }
    const panel::ElementRecord& needle = s.record(13);
    EXPECT_EQ(needle.x_scale, 5.1);
    EXPECT_EQ(needle.y_scale, 0.0);
    EXPECT_TRUE(has(dump_line("element 13 "),
                    " x_var=0 x_scale=5.0999999999999996 y_var=0 y_scale=0 x_callback=set y_callback=set"));
}

TEST_F(GpsFaceTest, MouseListHoldsTenAreasInOneGroup) {
    struct Area {
        int32_t x, y, width, height, cursor;
    };
    const Area expected[] = {
        {36, 103, 17, 37, 2}, {53, 103, 18, 37, 1}, {272, 129, 30, 18, 5}, {424, 34, 31, 17, 5}, {362, 130, 29, 16, 5},
        {461, 72, 20, 61, 1}, {401, 72, 21, 61, 2}, {183, 129, 30, 19, 5}, {445, 87, 15, 39, 1}, {424, 86, 18, 40, 2},
    };
    for (const char* end : {"mouse 0 kind=1 ", "mouse 11 kind=3 "}) {
        EXPECT_TRUE(has(dump_line(end),
                        " x=0 y=0 width=0 height=0 cursor=-1 help=0 event_flags=0x0 event_id=0x0 "
                        "handler=null reserved=0"))
            << end;
    }
    EXPECT_EQ(dump.back().rfind("mouse 11 ", 0), 0u);
    const auto& areas = s.records().mouse_areas;
    ASSERT_EQ(areas.size(), 10u);
    for (size_t i = 0; i < 10; ++i) {
        SCOPED_TRACE(i + 1);
        const panel::MouseAreaRecord& area = areas[i];
        EXPECT_EQ(area.x, expected[i].x);
        EXPECT_EQ(area.y, expected[i].y);
        EXPECT_EQ(area.width, expected[i].width);
        EXPECT_EQ(area.height, expected[i].height);
        EXPECT_EQ(area.cursor, expected[i].cursor);
        EXPECT_EQ(area.help_id, 0);
        EXPECT_EQ(area.event_flags, 0x20000000u);
        EXPECT_EQ(area.event_id, 0u);
        EXPECT_TRUE(area.has_handler);
        // The host finds each control at the point the tests press it.
        EXPECT_EQ(s.click(control_point[i].x, control_point[i].y), &area);
    }
}

// Opening and closing the gauge calls module_init and module_deinit, which do nothing.
TEST_F(GpsFaceTest, ModuleHooksDoNothing) {
    s.log().clear();
    for (int i = 0; i < 2; ++i) {
        s.driver().close();
        s.driver().open();
    }
    s.run_frame();
    EXPECT_EQ(s.state(2).flags & ~(ELEMENT_LIT | ELEMENT_HIDDEN), ELEMENT_FLAGS_AT_LOAD);
    EXPECT_TRUE(s.log().events().empty());
    EXPECT_TRUE(s.log().cues().empty());
    EXPECT_EQ(s.log().lookups().size(), 29u);  // the one update's inputs, nothing from the hooks
}

}  // namespace
}  // namespace gps_test
