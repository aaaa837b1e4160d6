// The names of controls and elements, held against the faces themselves: a name in the wrong
// place would make a scenario click or read the wrong thing and still pass its parse.
#include "face_names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <span>
#include <string>

#include "gauge_session.h"

using namespace panel::controls;

TEST(FaceNames, EveryFaceHasOneNameForEachControlAndElement) {
    const FaceNames* gps = face_names("GPS_Corvane_PX40");
    const FaceNames* dme = face_names("VER2_Corvane_VX_RD22");
    ASSERT_NE(gps, nullptr);
    ASSERT_NE(dme, nullptr);
    EXPECT_EQ(gps->alias, "gps");
    EXPECT_EQ(dme->alias, "dme");
    EXPECT_EQ(gps->controls.size(), 10u);
    EXPECT_EQ(gps->elements.size(), 50u);
    EXPECT_EQ(dme->controls.size(), 10u);
    EXPECT_EQ(dme->elements.size(), 17u);
    EXPECT_EQ(face_names("gps"), nullptr);  // by the gauge's own name only
    for (const FaceNames& face : known_faces()) {
        EXPECT_EQ(std::set<std::string_view>(face.controls.begin(), face.controls.end()).size(), face.controls.size());
        EXPECT_EQ(std::set<std::string_view>(face.elements.begin(), face.elements.end()).size(), face.elements.size());
    }
    EXPECT_EQ(number_of(gps->elements, "distance"), 18u);
    EXPECT_EQ(number_of(gps->elements, "status_code"), 50u);
    EXPECT_EQ(number_of(gps->controls, "ent"), 5u);
    EXPECT_EQ(number_of(dme->controls, "knob_centre"), 6u);
    EXPECT_EQ(number_of(dme->elements, "rmt_lamp"), 16u);
    EXPECT_EQ(number_of(dme->elements, "lamp"), 0u);
}

namespace {

std::string module(const char* name) {
    return std::string(PANEL_MODULE_DIR) + "/" + name + ".so";
}

// The element a name stands for, from the loaded module's records.
const panel::ElementRecord& named(const panel::GaugeSession& session, const FaceNames& face, std::string_view name) {
    return session.record(number_of(face.elements, name));
}

// The clickable area a control's name stands for.
const panel::MouseAreaRecord& control(const panel::GaugeSession& session, const FaceNames& face,
                                      std::string_view name) {
    return session.records().mouse_areas.at(number_of(face.controls, name) - 1);
}

// Where each named element stands on the face, by its record: a name out of place lands
// elsewhere. Elements that share a place are told apart by their bitmap below.
struct Place {
    std::string_view name;
    int32_t x, y;
};

constexpr Place gps_places[] = {
    // clang-format off
    {"background", 0, 0}, {"lit_screen", 0, 0}, {"power_knob", 25, 101}, {"startup_screen", 77, 21},
    {"page_image", 77, 21}, {"startup_baro", 123, 38}, {"startup_alt", 303, 38}, {"startup_rmi", 123, 54},
    {"startup_obs", 303, 54}, {"direct_to_symbol", 292, 24}, {"nav_text", 325, 20}, {"deviation_scale", 230, 43},
    {"needle", 301, 45}, {"cursor_marker", 183, 38}, {"deviation_flag", 230, 43}, {"fly_left_right", 174, 25},
    {"cross_track", 335, 38}, {"distance", 95, 19}, {"ground_speed", 110, 36}, {"leg_label", 80, 58},
    {"page_number", 131, 73}, {"desired_track", 183, 56}, {"track", 322, 56}, {"bearing_to", 183, 73},
    {"bearing_from", 183, 73}, {"ete_hours", 332, 73}, {"ete_minutes", 358, 73}, {"hemisphere", 203, 27},
    {"lat_degrees", 228, 55}, {"lat_minutes", 263, 55}, {"lon_degrees", 218, 71}, {"lon_minutes", 263, 71},
    {"utc_hours", 314, 20}, {"utc_minutes", 338, 20}, {"depart_hours", 316, 36}, {"depart_minutes", 338, 36},
    {"time_text", 226, 52}, {"ete3_hours", 316, 53}, {"ete3_minutes", 338, 53}, {"flight_hours", 316, 70},
    {"flight_minutes", 340, 70}, {"baro", 304, 20}, {"msa", 314, 53}, {"vnav_altitude", 194, 36},
    {"selected_altitude", 304, 36}, {"vnav_text", 183, 52}, {"vnav_distance", 303, 52},
    {"vnav_ground_speed", 215, 69}, {"vertical_speed", 302, 69}, {"status_code", 120, 1},
    // clang-format on
};
constexpr Place gps_control_places[] = {
    {"power_off", 36, 103},   {"power_on", 53, 103},    {"direct_to", 272, 129}, {"crsr", 424, 34},
    {"ent", 362, 130},        {"outer_right", 461, 72}, {"outer_left", 401, 72}, {"alt", 183, 129},
    {"inner_right", 445, 87}, {"inner_left", 424, 86},
};
constexpr Place dme_places[] = {
    {"background", 0, 0},        {"mode_knob", 289, 25},    {"power_switch", 287, 56}, {"nm_label", 37, 35},
    {"mhz_label", 144, 35},      {"kt_label", 116, 35},     {"min_label", 180, 35},    {"distance", 40, 9},
    {"speed", 119, 9},           {"time", 180, 9},          {"frequency", 141, 9},     {"set_frequency", 141, 9},
    {"distance_dashes", 51, 23}, {"speed_dashes", 124, 23}, {"time_dashes", 182, 23},  {"rmt_lamp", 264, 21},
    {"knob_overlay", 381, 20},
};
constexpr Place dme_control_places[] = {
    {"power_on", 308, 56},   {"power_off", 288, 55},   {"mode_rmt", 286, 24},    {"mode_freq", 301, 23},
    {"mode_gst", 317, 21},   {"knob_centre", 399, 37}, {"inner_right", 412, 30}, {"outer_right", 423, 22},
    {"inner_left", 387, 30}, {"outer_left", 373, 22},
};

void expect_places(const panel::GaugeSession& session, std::span<const Place> elements,
                   std::span<const Place> controls) {
    const FaceNames& face = *face_names(session.records().name);
    ASSERT_EQ(session.element_count(), face.elements.size());
    ASSERT_EQ(session.records().mouse_areas.size(), face.controls.size());
    ASSERT_EQ(elements.size(), face.elements.size());
    ASSERT_EQ(controls.size(), face.controls.size());
    for (const Place& place : elements) {
        ASSERT_NE(number_of(face.elements, place.name), 0u) << place.name;
        EXPECT_EQ(named(session, face, place.name).x, place.x) << place.name;
        EXPECT_EQ(named(session, face, place.name).y, place.y) << place.name;
    }
    for (const Place& place : controls) {
        ASSERT_NE(number_of(face.controls, place.name), 0u) << place.name;
        EXPECT_EQ(control(session, face, place.name).x, place.x) << place.name;
        EXPECT_EQ(control(session, face, place.name).y, place.y) << place.name;
    }
}

}  // namespace

TEST(FaceNames, NameTheNavigatorsOwnElementsAndControls) {
    if (!std::filesystem::exists(module("GPS_Corvane_PX40"))) GTEST_SKIP() << "panel-skipped: the module is not built";
    panel::GaugeSession session(module("GPS_Corvane_PX40"));
    expect_places(session, gps_places, gps_control_places);
    const FaceNames& face = *face_names(session.records().name);
    EXPECT_EQ(named(session, face, "background").kind, ELEMENT_STATIC_IMAGE);
    EXPECT_EQ(named(session, face, "needle").kind, ELEMENT_SLIDER);
    EXPECT_EQ(named(session, face, "startup_screen").resource_id, 4352u);
    EXPECT_EQ(named(session, face, "page_image").resource_id, 5888u);
    EXPECT_EQ(named(session, face, "deviation_scale").resource_id, 4608u);
    EXPECT_EQ(named(session, face, "deviation_flag").resource_id, 4864u);
    EXPECT_EQ(named(session, face, "lit_screen").resource_id, 6144u);
    EXPECT_EQ(named(session, face, "nav_text").own_variable, 839u);
    EXPECT_EQ(named(session, face, "status_code").own_variable, 831u);
}

TEST(FaceNames, NameTheRadiosOwnElementsAndControls) {
    if (!std::filesystem::exists(module("VER2_Corvane_VX_RD22")))
        GTEST_SKIP() << "panel-skipped: the module is not built";
    panel::GaugeSession session(module("VER2_Corvane_VX_RD22"));
    expect_places(session, dme_places, dme_control_places);
    const FaceNames& face = *face_names(session.records().name);
    EXPECT_EQ(named(session, face, "frequency").own_variable, 27u);
    EXPECT_EQ(named(session, face, "set_frequency").own_variable, 873u);
}
