#include "face_names.h"

namespace panel::controls {
namespace {

// GPS navigator: clickable areas 1 to 10.
constexpr std::string_view gps_controls[] = {
    "power_off",    // left half of the OFF/ON knob
    "power_on",     // right half of the OFF/ON knob
    "direct_to",    // D-> button
    "crsr",         // CRSR button
    "ent",          // ENT button
    "outer_right",  // right half of the large knob's outer ring
    "outer_left",   // left half of the outer ring
    "alt",          // ALT button
    "inner_right",  // right half of the inner knob
    "inner_left",   // left half of the inner knob
};

// GPS navigator: elements 1 to 50 in draw order.
constexpr std::string_view gps_elements[] = {
    // clang-format off
    "background", "lit_screen", "power_knob", "startup_screen", "page_image",                   // 1-5
    "startup_baro", "startup_alt", "startup_rmi", "startup_obs", "direct_to_symbol",            // 6-10
    "nav_text", "deviation_scale", "needle", "cursor_marker", "deviation_flag",                 // 11-15
    "fly_left_right", "cross_track", "distance", "ground_speed", "leg_label",                   // 16-20
    "page_number", "desired_track", "track", "bearing_to", "bearing_from",                      // 21-25
    "ete_hours", "ete_minutes", "hemisphere", "lat_degrees", "lat_minutes",                     // 26-30
    "lon_degrees", "lon_minutes", "utc_hours", "utc_minutes", "depart_hours",                   // 31-35
    "depart_minutes", "time_text", "ete3_hours", "ete3_minutes", "flight_hours",                // 36-40
    "flight_minutes", "baro", "msa", "vnav_altitude", "selected_altitude",                      // 41-45
    "vnav_text", "vnav_distance", "vnav_ground_speed", "vertical_speed", "status_code",         // 46-50
    // clang-format on
};

// DME radio: clickable areas 1 to 10.
constexpr std::string_view dme_controls[] = {
    "power_on",     // right half of the power switch
    "power_off",    // left half of the power switch
    "mode_rmt",     // selector to RMT
    "mode_freq",    // selector to FREQ
    "mode_gst",     // selector to GS/T
    "knob_centre",  // the knob's centre: frequency selection
    "inner_right",  // inner ring, right
    "outer_right",  // outer ring, right
    "inner_left",   // inner ring, left
    "outer_left",   // outer ring, left
};

// DME radio: elements 1 to 17 in draw order.
constexpr std::string_view dme_elements[] = {
    "background",  "mode_knob",     "power_switch",    "nm_label",     "mhz_label",  // 1-5
    "kt_label",    "min_label",     "distance",        "speed",        "time",       // 6-10
    "frequency",   "set_frequency", "distance_dashes", "speed_dashes",               // 11-14
    "time_dashes", "rmt_lamp",      "knob_overlay",                                  // 15-17
};

constexpr FaceNames faces[] = {
    {.gauge = "GPS_Corvane_PX40", .alias = "gps", .controls = gps_controls, .elements = gps_elements},
    {.gauge = "VER2_Corvane_VX_RD22", .alias = "dme", .controls = dme_controls, .elements = dme_elements},
};

}  // namespace

const FaceNames* face_names(std::string_view gauge_name) {
    for (const FaceNames& face : faces) {
        if (face.gauge == gauge_name) return &face;
    }
    return nullptr;
}

std::span<const FaceNames> known_faces() {
    return faces;
}

size_t number_of(std::span<const std::string_view> names, std::string_view name) {
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return i + 1;
    }
    return 0;
}

}  // namespace panel::controls
