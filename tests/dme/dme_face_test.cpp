// The DME module's records as the host reads them, and its gauge callback.
#include <cstring>

#include "dme_fixture.h"

namespace dme_test {
namespace {

using DmeFace = DmeTest;

// The records are packed to 4 bytes: natively a pointer field may sit off its alignment, so
// it is read by value, never bound to a reference.
template <class T>
T field(T value) {
    return value;
}

struct ElementRow {
    uint32_t kind, resource_id, frame_count;
    int32_t x, y;
    uint32_t own_var;
};

constexpr uint32_t S = ELEMENT_STRING, I = ELEMENT_ICON;
const ElementRow face[] = {
    {ELEMENT_STATIC_IMAGE, 9472, 0, 0, 0, 0},
    {I, 4352, 3, 289, 25, 0}, {I, 4608, 2, 287, 56, 0}, {I, 4864, 2, 37, 35, 0}, {I, 5120, 2, 144, 35, 0},
    {I, 5376, 2, 116, 35, 0}, {I, 5632, 2, 180, 35, 0},
    {S, NO_BITMAP, 0, 40, 9, 35}, {S, NO_BITMAP, 0, 119, 9, 36}, {S, NO_BITMAP, 0, 180, 9, 0},
    {S, NO_BITMAP, 0, 141, 9, 27}, {S, NO_BITMAP, 0, 141, 9, 873},
    {I, 6144, 2, 51, 23, 0}, {I, 6400, 2, 124, 23, 0}, {I, 8192, 2, 182, 23, 0}, {I, 8704, 2, 264, 21, 0},
    {I, 9216, 2, 381, 20, 0},
};

TEST_F(DmeFace, SeventeenElementsInOneChainAsTheFaceTableGivesThem) {
    ASSERT_EQ(s.element_count(), 17u);
    GaugeHeader* header = &s.view().header();
    for (size_t n = 1; n <= 17; ++n) {
        const ElementRow& row = face[n - 1];
        ElementHeader& e = s.element(n);
        SCOPED_TRACE(n);
        EXPECT_EQ(e.kind, row.kind);
        EXPECT_EQ(e.resource_id, row.resource_id);
        EXPECT_EQ(e.x, row.x);
        EXPECT_EQ(e.y, row.y);
        EXPECT_EQ(field(e.gauge), header);
        EXPECT_EQ(e.flags, ELEMENT_FLAGS_AT_LOAD);
        ASSERT_NE(field(e.fault_list), nullptr);
        for (size_t other = 1; other < n; ++other) EXPECT_NE(field(s.element(other).fault_list), field(e.fault_list));
        if (n < 17) {
            ASSERT_NE(field(e.children), nullptr);
            EXPECT_EQ(e.children[0], &s.element(n + 1));
            EXPECT_EQ(e.children[1], nullptr);
        } else {
            EXPECT_EQ(field(e.children), nullptr);
        }
        if (row.kind == I) {
            auto& icon = reinterpret_cast<IconElement&>(e);
            EXPECT_EQ(icon.frame_count, row.frame_count);
            EXPECT_EQ(icon.icon_mode, ICON_MODE);
            EXPECT_EQ(icon.own_var.id, 0u);
            EXPECT_NE(field(icon.callback), nullptr);
        }
        if (row.kind == S) {
            auto& text = reinterpret_cast<StringElement&>(e);
            EXPECT_EQ(text.own_var.id, row.own_var);
            EXPECT_EQ(text.second_var.id, 0u);
            EXPECT_EQ(text.third_var.id, 0u);
            EXPECT_EQ(text.box_width, 452 - row.x);
            EXPECT_EQ(text.box_height, 36);
            EXPECT_EQ(text.text_color, n == FREQ ? 0x033ADEu : 0x2B28DFu);
            EXPECT_EQ(text.color_b, 0u);
            EXPECT_EQ(text.color_c, 0u);
            EXPECT_STREQ(text.font_name, "Quartz");
            EXPECT_EQ(text.font_weight, 400u);
            EXPECT_EQ(text.font_charset, 1u);
            EXPECT_EQ(text.format_word1, 0u);
            EXPECT_EQ(text.format_word2, 0x4240u);
            EXPECT_NE(field(text.callback), nullptr);
        }
    }
}

TEST_F(DmeFace, TenClickableAreasInOneGroup) {
    const MouseRect* list = field(s.view().header().mouse_areas);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list[0].area_kind, MOUSE_GROUP_START);
    EXPECT_EQ(list[0].cursor, -1);
    EXPECT_EQ(list[11].area_kind, MOUSE_GROUP_END);
    EXPECT_EQ(list[11].cursor, -1);
    EXPECT_EQ(field(list[11].handler), nullptr);
    const int32_t areas[10][5] = {
        {308, 56, 17, 18, 1}, {288, 55, 19, 20, 2}, {286, 24, 15, 16, 2}, {301, 23, 15, 17, 5},
        {317, 21, 16, 19, 1}, {399, 37, 11, 18, 5}, {412, 30, 11, 30, 1}, {423, 22, 14, 45, 1},
        {387, 30, 10, 31, 2}, {373, 22, 13, 44, 2},
    };
    ASSERT_EQ(s.view().mouse_areas().size(), 10u);
    for (int i = 0; i < 10; ++i) {
        const MouseRect& area = list[i + 1];
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(area.area_kind, MOUSE_AREA);
        EXPECT_EQ((std::vector<int32_t>{area.area_x, area.area_y, area.area_width, area.area_height, area.cursor}),
                  std::vector<int32_t>(areas[i], areas[i] + 5));
        EXPECT_EQ(area.event_flags, MOUSE_LEFT_SINGLE);
        EXPECT_EQ(area.help_id, 0);
        EXPECT_EQ(area.event_id, 0u);
        EXPECT_NE(field(area.handler), nullptr);
    }
    // The fixture's click points land in the areas in list order.
    const Point points[] = {POWER_ON, POWER_OFF, MODE_RMT_POS, MODE_FREQ_POS, MODE_GST_POS,
                            KNOB_CENTRE, INNER_RIGHT, OUTER_RIGHT, INNER_LEFT, OUTER_LEFT};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(s.click(points[i].x, points[i].y), &list[i + 1]) << i;
}

TEST_F(DmeFace, HeaderLinkageAndImportTable) {
    const GaugeHeader& header = s.view().header();
    EXPECT_EQ(header.header_version, 0x320u);
    EXPECT_STREQ(field(header.gauge_name), "VER2_Corvane_VX_RD22");
    EXPECT_EQ(*field(header.element_list), &s.element(1));
    EXPECT_EQ(header.size_value, 100u);
    EXPECT_NE(field(header.gauge_callback), nullptr);
    const LinkageRecord& linkage = s.module().linkage();
    EXPECT_EQ(linkage.module_id, 0x13u);
    EXPECT_EQ(linkage.module_version, 0x800u);
    EXPECT_EQ(field(linkage.gauges[0]), &header);
    EXPECT_EQ(field(linkage.gauges[1]), nullptr);
    const ImportTableRecord import = s.module().import_table();
    EXPECT_EQ(import.panel_services.id, 0xFu);
    EXPECT_EQ(import.end.id, 0u);
    EXPECT_EQ(field(import.end.pointer), nullptr);
}

TEST_F(DmeFace, PreUpdateLooksUpTheNineInputsInOrderAndNothingElseDoes) {
    const std::vector<uint32_t> nine{36, 35, 773, 61, 0, 372, 58, 1, 604};
    s.driver().call_gauge(SERVICE_PRE_UPDATE);
    EXPECT_EQ(s.log().lookups(), nine);
    s.log().clear();
    for (int32_t id : {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, -1}) s.driver().call_gauge(id);
    s.driver().update_elements();
    EXPECT_TRUE(s.log().lookups().empty());
    EXPECT_TRUE(s.log().events().empty());
    EXPECT_TRUE(s.log().cues().empty());
}

TEST_F(DmeFace, ResetRunsAtTheFirstPreDrawOnly) {
    // Before the reset the counter is 0, so a powered FREQ click goes straight to setting.
    click(POWER_ON);
    set(SUPPLY, 1.0);
    s.driver().call_gauge(SERVICE_PRE_UPDATE);
    click(MODE_FREQ_POS);
    EXPECT_EQ(s.log().events(), (std::vector<panel::KeyEvent>{{0x10394, 0}}));
    s.driver().call_gauge(SERVICE_PRE_DRAW);  // switch off, selector at RMT, counter -1
    s.run_frame();
    EXPECT_EQ(s.result(POWER_SWITCH), 0.0);
    EXPECT_EQ(s.result(MODE_KNOB), 0.0);
    click(POWER_ON);
    click(MODE_FREQ_POS);
    s.run_frame();
    EXPECT_TRUE(s.hidden(FREQ));  // -1 to 0 happened unpowered: still -1
    click_freq(1);
    EXPECT_FALSE(s.hidden(FREQ));
    for (int i = 0; i < 3; ++i) s.driver().call_gauge(SERVICE_PRE_DRAW);
    s.run_frame();
    EXPECT_FALSE(s.hidden(FREQ));
    EXPECT_EQ(s.result(POWER_SWITCH), 1.0);
}

}  // namespace
}  // namespace dme_test
