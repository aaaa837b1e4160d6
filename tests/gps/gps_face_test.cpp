// The navigator's records as the host reads them, before any callback has run.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "gps_fixture.h"

namespace gps_test {
namespace {

// Pointer and double fields of the packed records are compared through a copy.
template <typename T>
T by_value(T value) {
    return value;
}

class GpsFaceTest : public ::testing::Test {
protected:
    panel::GaugeSession s{module_path()};
};

struct ElementRow {
    uint32_t kind, resource_id;
    int32_t x, y;
    uint32_t frames_or_var;  // icons: frame count; strings: own variable id
};

constexpr uint32_t I = ELEMENT_ICON, S = ELEMENT_STRING;
// The face table, element 1 to 50.
constexpr ElementRow face[] = {
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
};

TEST_F(GpsFaceTest, HeaderNamesTheGaugeAndItsCallback) {
    GaugeHeader& header = s.view().header();
    EXPECT_EQ(header.header_version, 0x320u);
    EXPECT_STREQ(header.gauge_name, "GPS_Corvane_PX40");
    EXPECT_EQ(header.size_value, 100u);
    EXPECT_EQ(by_value(*header.element_list), &s.element(1));
    EXPECT_NE(by_value(header.gauge_callback), nullptr);
    for (uint32_t word : header.reserved1) EXPECT_EQ(word, 0u);
    for (uint32_t word : header.reserved2) EXPECT_EQ(word, 0u);
    for (uint32_t word : header.reserved3) EXPECT_EQ(word, 0u);

    LinkageRecord& linkage = s.module().linkage();
    EXPECT_EQ(linkage.module_id, 0x13u);
    EXPECT_EQ(linkage.module_version, 0x800u);
    EXPECT_EQ(by_value(linkage.gauges[0]), &header);
    EXPECT_EQ(by_value(linkage.gauges[1]), nullptr);
    ImportTableRecord& imports = s.module().import_table();
    EXPECT_EQ(imports.panel_services.id, 0xFu);
    EXPECT_NE(by_value(imports.panel_services.pointer), nullptr);  // bound by the host
    EXPECT_EQ(imports.end.id, 0u);
    EXPECT_EQ(by_value(imports.end.pointer), nullptr);
}

TEST_F(GpsFaceTest, ElementChainFollowsTheFaceTable) {
    ASSERT_EQ(s.element_count(), 50u);
    std::set<uint32_t*> fault_blocks;
    for (size_t n = 1; n <= 50; ++n) {
        SCOPED_TRACE(n);
        const ElementRow& row = face[n - 1];
        ElementHeader& e = s.element(n);
        EXPECT_EQ(e.kind, row.kind);
        EXPECT_EQ(e.resource_id, row.resource_id);
        EXPECT_EQ(e.x, row.x);
        EXPECT_EQ(e.y, row.y);
        EXPECT_EQ(e.flags, ELEMENT_FLAGS_AT_LOAD);
        EXPECT_EQ(by_value(e.gauge), &s.view().header());
        EXPECT_EQ(by_value(e.previous), nullptr);
        ASSERT_NE(by_value(e.fault_list), nullptr);
        EXPECT_EQ(e.fault_list[0] | e.fault_list[1] | e.fault_list[2], 0u);
        fault_blocks.insert(by_value(e.fault_list));
        if (n < 50) {
            ASSERT_NE(by_value(e.children), nullptr);
            EXPECT_EQ(e.children[0], &s.element(n + 1));
            EXPECT_EQ(e.children[1], nullptr);
        } else {
            EXPECT_EQ(by_value(e.children), nullptr);
        }
        if (row.kind == ELEMENT_ICON) {
            auto& icon = reinterpret_cast<IconElement&>(e);
            EXPECT_EQ(icon.frame_count, row.frames_or_var);
            EXPECT_EQ(icon.icon_mode, 3u);
            EXPECT_EQ(icon.own_var.id, 0u);
            EXPECT_NE(by_value(icon.callback), nullptr);
        }
        if (row.kind == ELEMENT_STRING) {
            auto& string = reinterpret_cast<StringElement&>(e);
            EXPECT_EQ(string.own_var.id, row.frames_or_var);
            EXPECT_EQ(string.second_var.id | string.third_var.id, 0u);
            EXPECT_EQ(by_value(string.text), nullptr);
            EXPECT_EQ(string.font_charset, 1u);
            EXPECT_EQ(string.format_word1, 0u);
            EXPECT_EQ(string.format_word2, 0x4240u);
            EXPECT_EQ(string.color_c, 0u);
            EXPECT_NE(by_value(string.callback), nullptr);
            const bool status = n == 50;
            EXPECT_EQ(string.box_width, status ? 367 : 487 - row.x);
            EXPECT_EQ(string.box_height, status ? 24 : 26);
            EXPECT_STREQ(string.font_name, status ? "Courier New" : "Glass");
            EXPECT_EQ(string.font_weight, status ? 100u : 400u);
            EXPECT_EQ(string.text_color, status ? 0xFFFFFFu : 0x2B28DFu);
            EXPECT_EQ(string.color_b, n == 23 ? 0x2B28DFu : 0u);
        }
    }
    EXPECT_EQ(fault_blocks.size(), 50u);

    auto& needle = reinterpret_cast<SliderElement&>(s.element(13));
    EXPECT_EQ(needle.x_var.id | needle.y_var.id, 0u);
    EXPECT_EQ(by_value(needle.x_scale), 5.1);
    EXPECT_EQ(by_value(needle.y_scale), 0.0);
    EXPECT_NE(by_value(needle.x_callback), nullptr);
    EXPECT_NE(by_value(needle.y_callback), nullptr);
}

TEST_F(GpsFaceTest, MouseListHoldsTenAreasInOneGroup) {
    const MouseRect* list = s.view().header().mouse_areas;
    const MouseRect expected[] = {
        {MOUSE_AREA, 36, 103, 17, 37, 2}, {MOUSE_AREA, 53, 103, 18, 37, 1}, {MOUSE_AREA, 272, 129, 30, 18, 5},
        {MOUSE_AREA, 424, 34, 31, 17, 5}, {MOUSE_AREA, 362, 130, 29, 16, 5}, {MOUSE_AREA, 461, 72, 20, 61, 1},
        {MOUSE_AREA, 401, 72, 21, 61, 2}, {MOUSE_AREA, 183, 129, 30, 19, 5}, {MOUSE_AREA, 445, 87, 15, 39, 1},
        {MOUSE_AREA, 424, 86, 18, 40, 2},
    };
    for (int end : {0, 11}) {
        EXPECT_EQ(list[end].area_kind, end == 0 ? MOUSE_GROUP_START : MOUSE_GROUP_END);
        EXPECT_EQ(list[end].area_x | list[end].area_y | list[end].area_width | list[end].area_height, 0);
        EXPECT_EQ(list[end].cursor, -1);
        EXPECT_EQ(list[end].event_flags, 0u);
        EXPECT_EQ(by_value(list[end].handler), nullptr);
    }
    ASSERT_EQ(s.view().mouse_areas().size(), 10u);
    std::set<MouseHandler> handlers;
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i + 1);
        const MouseRect& area = list[i + 1];
        EXPECT_EQ(area.area_kind, expected[i].area_kind);
        EXPECT_EQ(area.area_x, expected[i].area_x);
        EXPECT_EQ(area.area_y, expected[i].area_y);
        EXPECT_EQ(area.area_width, expected[i].area_width);
        EXPECT_EQ(area.area_height, expected[i].area_height);
        EXPECT_EQ(area.cursor, expected[i].cursor);
        EXPECT_EQ(area.help_id, 0);
        EXPECT_EQ(area.event_flags, 0x20000000u);
        EXPECT_EQ(area.event_id, 0u);
        handlers.insert(by_value(area.handler));
        // The host finds each control at the point the tests press it.
        EXPECT_EQ(s.click(control_point[i].x, control_point[i].y), &area);
    }
    EXPECT_EQ(handlers.size(), 10u);
}

TEST_F(GpsFaceTest, ModuleHooksDoNothing) {
    s.module().linkage().module_init();
    s.module().linkage().module_deinit();
    s.module().linkage().module_init();
    EXPECT_EQ(s.element(2).flags, ELEMENT_FLAGS_AT_LOAD);
    EXPECT_TRUE(s.log().lookups().empty());
}

}  // namespace
}  // namespace gps_test
