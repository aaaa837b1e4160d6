// The navigator's face as the host reads it: fifty display elements in one chain, in draw
// order, the mouse areas of its ten controls, the gauge header, and the module's two exported
// records. All of it is static data; the host writes only text pointers, flags and the import
// slot.
// clang-format off: the face's tables keep their hand-aligned fields
#include <stddef.h>
#include <stdint.h>

#include "gauge_records.h"
#include "gps_callbacks.h"
#include "module_exports.h"

#define READOUT_RED 0x002B28DFu    // COLORREF of RGB 223, 40, 43
#define READOUT_WHITE 0x00FFFFFFu  // the status code's, never drawn

namespace {

extern GaugeHeader gps_gauge_header;

// Each element's own block of zeros, which the host reserves and nothing uses.
uint32_t element_faults[50][3];

// The head of element `number` (1-based, in draw order), with its one child list or NULL.
constexpr ElementHeader element_head(uint32_t kind, uint32_t bitmap, int32_t x, int32_t y, int number,
                                     ElementHeader** children) {
    return {
        .kind = kind,
        .resource_id = bitmap,
        .x = x,
        .y = y,
        .gauge = &gps_gauge_header,
        .children = children,
        .fault_list = element_faults[number - 1],
        .flags = ELEMENT_FLAGS_AT_LOAD,
    };
}

// The chain runs from the background down; each element's child list, just above it, holds
// the next element.
extern IconElement lit_screen_element, power_knob_element, startup_screen_element, page_element,
    direct_to_symbol_element, deviation_scale_element, deviation_flag_element, fly_left_right_element,
    leg_label_element, hemisphere_element;
extern SliderElement deviation_needle_element;
extern StringElement startup_baro_element, startup_altitude_element, startup_rmi_element, startup_obs_element,
    nav_text_element, cursor_marker_element, cross_track_element, waypoint_distance_element, ground_speed_element,
    page_number_element, desired_track_element, track_element, bearing_to_element, bearing_from_element,
    ete_hours_element, ete_minutes_element, latitude_degrees_element, latitude_minutes_element,
    longitude_degrees_element, longitude_minutes_element, utc_hours_element, utc_minutes_element, depart_hours_element,
    depart_minutes_element, time_page_text_element, ete_hours_page3_element, ete_minutes_page3_element,
    elapsed_hours_element, elapsed_minutes_element, baro_element, msa_element, vnav_altitude_element,
    selected_altitude_element, vnav_text_element, vnav_distance_element, vnav_groundspeed_element,
    vertical_speed_element, status_code_element;

// 1: the unlit face: bezel, knobs, buttons and labels
ElementHeader* lit_screen_children[] = {&lit_screen_element.head, NULL};
StaticImageElement face_background_element = {
    .head = element_head(ELEMENT_STATIC_IMAGE, 4096, 0, 0, 1, lit_screen_children),
};

// 2: the lit face with its lamp, while powered
ElementHeader* power_knob_children[] = {&power_knob_element.head, NULL};
IconElement lit_screen_element = {
    .head = element_head(ELEMENT_ICON, 6144, 0, 0, 2, power_knob_children),
    .icon_mode = ICON_MODE,
    .frame_count = 2,
    .callback = lit_screen_image,
};

// 3: the OFF/ON knob at OFF, blank at ON
ElementHeader* startup_screen_children[] = {&startup_screen_element.head, NULL};
IconElement power_knob_element = {
    .head = element_head(ELEMENT_ICON, 5120, 25, 101, 3, startup_screen_children),
    .icon_mode = ICON_MODE,
    .frame_count = 2,
    .callback = power_knob_image,
};

// 4: the screen: black, self-test, start-up check, black
ElementHeader* page_children[] = {&page_element.head, NULL};
IconElement startup_screen_element = {
    .head = element_head(ELEMENT_ICON, 4352, 77, 21, 4, page_children),
    .icon_mode = ICON_MODE,
    .frame_count = 4,
    .callback = startup_screen_image,
};

// 5: the page's labels over the screen, once running
ElementHeader* startup_baro_children[] = {&startup_baro_element.head, NULL};
IconElement page_element = {
    .head = element_head(ELEMENT_ICON, 5888, 77, 21, 5, startup_baro_children),
    .icon_mode = ICON_MODE,
    .frame_count = 4,
    .callback = page_image,
};

// 6: start-up check: Baro:
ElementHeader* startup_altitude_children[] = {&startup_altitude_element.head, NULL};
StringElement startup_baro_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 123, 38, 6, startup_altitude_children),
    .box_width = 487 - 123,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = startup_baro_readout,
};

// 7: start-up check: Alt
ElementHeader* startup_rmi_children[] = {&startup_rmi_element.head, NULL};
StringElement startup_altitude_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 303, 38, 7, startup_rmi_children),
    .box_width = 487 - 303,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = startup_altitude_readout,
};

// 8: start-up check: RMI
ElementHeader* startup_obs_children[] = {&startup_obs_element.head, NULL};
StringElement startup_rmi_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 123, 54, 8, startup_obs_children),
    .box_width = 487 - 123,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = startup_rmi_readout,
};

// 9: start-up check: OBS, from its own variable
ElementHeader* direct_to_symbol_children[] = {&direct_to_symbol_element.head, NULL};
StringElement startup_obs_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 303, 54, 9, direct_to_symbol_children),
    .own_var = {.id = 45},
    .box_width = 487 - 303,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = startup_obs_readout,
};

// 10: page 1: arrow or direct-to symbol
ElementHeader* nav_text_children[] = {&nav_text_element.head, NULL};
IconElement direct_to_symbol_element = {
    .head = element_head(ELEMENT_ICON, 5376, 292, 24, 10, nav_text_children),
    .icon_mode = ICON_MODE,
    .frame_count = 2,
    .callback = direct_to_symbol_image,
};

// 11: page 1: the host's navigation text
ElementHeader* deviation_scale_children[] = {&deviation_scale_element.head, NULL};
StringElement nav_text_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 325, 20, 11, deviation_scale_children),
    .own_var = {.id = 839},
    .box_width = 487 - 325,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = nav_text_readout,
};

// 12: page 1: deviation scale with TO triangle
ElementHeader* deviation_needle_children[] = {&deviation_needle_element.head, NULL};
IconElement deviation_scale_element = {
    .head = element_head(ELEMENT_ICON, 4608, 230, 43, 12, deviation_needle_children),
    .icon_mode = ICON_MODE,
    .frame_count = 2,
    .callback = deviation_scale_image,
};

// 13: page 1: the deviation needle, resting mid-scale
ElementHeader* cursor_marker_children[] = {&cursor_marker_element.head, NULL};
SliderElement deviation_needle_element = {
    .head = element_head(ELEMENT_SLIDER, 5632, 301, 45, 13, cursor_marker_children),
    .x_scale = 5.1,
    .y_scale = 0.0,
    .x_callback = deviation_needle_x,
    .y_callback = deviation_needle_y,
};

// 14: page 1: cursor mark
ElementHeader* deviation_flag_children[] = {&deviation_flag_element.head, NULL};
StringElement cursor_marker_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 183, 38, 14, deviation_flag_children),
    .box_width = 487 - 183,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = cursor_marker_readout,
};

// 15: page 1: the scale marked FLAG, in place of scale and needle
ElementHeader* fly_left_right_children[] = {&fly_left_right_element.head, NULL};
IconElement deviation_flag_element = {
    .head = element_head(ELEMENT_ICON, 4864, 230, 43, 15, fly_left_right_children),
    .icon_mode = ICON_MODE,
    .frame_count = 2,
    .callback = deviation_flag_image,
};

// 16: page 1: >Fly L or >Fly R
ElementHeader* cross_track_children[] = {&cross_track_element.head, NULL};
IconElement fly_left_right_element = {
    .head = element_head(ELEMENT_ICON, 6400, 174, 25, 16, cross_track_children),
    .icon_mode = ICON_MODE,
    .frame_count = 2,
    .callback = fly_left_right_image,
};

// 17: page 1: cross-track distance
ElementHeader* waypoint_distance_children[] = {&waypoint_distance_element.head, NULL};
StringElement cross_track_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 335, 38, 17, waypoint_distance_children),
    .box_width = 487 - 335,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = cross_track_readout,
};

// 18: every page: waypoint distance
ElementHeader* ground_speed_children[] = {&ground_speed_element.head, NULL};
StringElement waypoint_distance_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 95, 19, 18, ground_speed_children),
    .box_width = 487 - 95,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = waypoint_distance_readout,
};

// 19: every page: ground speed
ElementHeader* leg_label_children[] = {&leg_label_element.head, NULL};
StringElement ground_speed_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 110, 36, 19, leg_label_children),
    .box_width = 487 - 110,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = ground_speed_readout,
};

// 20: every page: Leg and NAV, or NAV alone
ElementHeader* page_number_children[] = {&page_number_element.head, NULL};
IconElement leg_label_element = {
    .head = element_head(ELEMENT_ICON, 8192, 80, 58, 20, page_number_children),
    .icon_mode = ICON_MODE,
    .frame_count = 2,
    .callback = leg_label_image,
};

// 21: every page: page number
ElementHeader* desired_track_children[] = {&desired_track_element.head, NULL};
StringElement page_number_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 131, 73, 21, desired_track_children),
    .box_width = 487 - 131,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = page_number_readout,
};

// 22: page 1: desired track
ElementHeader* track_children[] = {&track_element.head, NULL};
StringElement desired_track_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 183, 56, 22, track_children),
    .box_width = 487 - 183,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = desired_track_readout,
};

// 23: page 1: track
ElementHeader* bearing_to_children[] = {&bearing_to_element.head, NULL};
StringElement track_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 322, 56, 23, bearing_to_children),
    .box_width = 487 - 322,
    .box_height = 26,
    .text_color = READOUT_RED,
    .color_b = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = track_readout,
};

// 24: page 1: bearing to, sub-pages 0 and 1
ElementHeader* bearing_from_children[] = {&bearing_from_element.head, NULL};
StringElement bearing_to_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 183, 73, 24, bearing_from_children),
    .box_width = 487 - 183,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = bearing_to_readout,
};

// 25: page 1: bearing from, sub-pages 2 and 3, in the same place
ElementHeader* ete_hours_children[] = {&ete_hours_element.head, NULL};
StringElement bearing_from_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 183, 73, 25, ete_hours_children),
    .box_width = 487 - 183,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = bearing_from_readout,
};

// 26: page 1: hours en route
ElementHeader* ete_minutes_children[] = {&ete_minutes_element.head, NULL};
StringElement ete_hours_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 332, 73, 26, ete_minutes_children),
    .box_width = 487 - 332,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = ete_hours_readout,
};

// 27: page 1: minutes en route
ElementHeader* hemisphere_children[] = {&hemisphere_element.head, NULL};
StringElement ete_minutes_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 358, 73, 27, hemisphere_children),
    .box_width = 487 - 358,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = ete_minutes_readout,
};

// 28: page 2: >Present Posn with the hemispheres
ElementHeader* latitude_degrees_children[] = {&latitude_degrees_element.head, NULL};
IconElement hemisphere_element = {
    .head = element_head(ELEMENT_ICON, 8448, 203, 27, 28, latitude_degrees_children),
    .icon_mode = ICON_MODE,
    .frame_count = 4,
    .callback = hemisphere_image,
};

// 29: page 2: latitude degrees
ElementHeader* latitude_minutes_children[] = {&latitude_minutes_element.head, NULL};
StringElement latitude_degrees_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 228, 55, 29, latitude_minutes_children),
    .box_width = 487 - 228,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = latitude_degrees_readout,
};

// 30: page 2: latitude minutes
ElementHeader* longitude_degrees_children[] = {&longitude_degrees_element.head, NULL};
StringElement latitude_minutes_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 263, 55, 30, longitude_degrees_children),
    .box_width = 487 - 263,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = latitude_minutes_readout,
};

// 31: page 2: longitude degrees
ElementHeader* longitude_minutes_children[] = {&longitude_minutes_element.head, NULL};
StringElement longitude_degrees_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 218, 71, 31, longitude_minutes_children),
    .box_width = 487 - 218,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = longitude_degrees_readout,
};

// 32: page 2: longitude minutes
ElementHeader* utc_hours_children[] = {&utc_hours_element.head, NULL};
StringElement longitude_minutes_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 263, 71, 32, utc_hours_children),
    .box_width = 487 - 263,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = longitude_minutes_readout,
};

// 33: page 3: Time UTC hours
ElementHeader* utc_minutes_children[] = {&utc_minutes_element.head, NULL};
StringElement utc_hours_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 314, 20, 33, utc_minutes_children),
    .box_width = 487 - 314,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = utc_hours_readout,
};

// 34: page 3: Time UTC minutes
ElementHeader* depart_hours_children[] = {&depart_hours_element.head, NULL};
StringElement utc_minutes_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 338, 20, 34, depart_hours_children),
    .box_width = 487 - 338,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = utc_minutes_readout,
};

// 35: page 3: Depart hours
ElementHeader* depart_minutes_children[] = {&depart_minutes_element.head, NULL};
StringElement depart_hours_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 316, 36, 35, depart_minutes_children),
    .box_width = 487 - 316,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = depart_hours_readout,
};

// 36: page 3: Depart minutes
ElementHeader* time_page_text_children[] = {&time_page_text_element.head, NULL};
StringElement depart_minutes_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 338, 36, 36, time_page_text_children),
    .box_width = 487 - 338,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = depart_minutes_readout,
};

// 37: page 3: the host's text
ElementHeader* ete_hours_page3_children[] = {&ete_hours_page3_element.head, NULL};
StringElement time_page_text_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 226, 52, 37, ete_hours_page3_children),
    .own_var = {.id = 839},
    .box_width = 487 - 226,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = time_page_text_readout,
};

// 38: page 3: ETE hours
ElementHeader* ete_minutes_page3_children[] = {&ete_minutes_page3_element.head, NULL};
StringElement ete_hours_page3_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 316, 53, 38, ete_minutes_page3_children),
    .box_width = 487 - 316,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = ete_hours_page3_readout,
};

// 39: page 3: ETE minutes
ElementHeader* elapsed_hours_children[] = {&elapsed_hours_element.head, NULL};
StringElement ete_minutes_page3_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 338, 53, 39, elapsed_hours_children),
    .box_width = 487 - 338,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = ete_minutes_page3_readout,
};

// 40: page 3: Flight hours
ElementHeader* elapsed_minutes_children[] = {&elapsed_minutes_element.head, NULL};
StringElement elapsed_hours_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 316, 70, 40, elapsed_minutes_children),
    .box_width = 487 - 316,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = elapsed_hours_readout,
};

// 41: page 3: Flight minutes
ElementHeader* baro_children[] = {&baro_element.head, NULL};
StringElement elapsed_minutes_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 340, 70, 41, baro_children),
    .box_width = 487 - 340,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = elapsed_minutes_readout,
};

// 42: page 4: BARO:, blinking while edited
ElementHeader* msa_children[] = {&msa_element.head, NULL};
StringElement baro_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 304, 20, 42, msa_children),
    .box_width = 487 - 304,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = baro_readout,
};

// 43: page 4: MSA
ElementHeader* vnav_altitude_children[] = {&vnav_altitude_element.head, NULL};
StringElement msa_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 314, 53, 43, vnav_altitude_children),
    .box_width = 487 - 314,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = msa_readout,
};

// 44: page 5: present altitude
ElementHeader* selected_altitude_children[] = {&selected_altitude_element.head, NULL};
StringElement vnav_altitude_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 194, 36, 44, selected_altitude_children),
    .box_width = 487 - 194,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = vnav_altitude_readout,
};

// 45: page 5: alerter target, blinking while edited
ElementHeader* vnav_text_children[] = {&vnav_text_element.head, NULL};
StringElement selected_altitude_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 304, 36, 45, vnav_text_children),
    .box_width = 487 - 304,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = selected_altitude_readout,
};

// 46: page 5: the host's text
ElementHeader* vnav_distance_children[] = {&vnav_distance_element.head, NULL};
StringElement vnav_text_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 183, 52, 46, vnav_distance_children),
    .own_var = {.id = 839},
    .box_width = 487 - 183,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = vnav_text_readout,
};

// 47: page 5: distance to the altitude change
ElementHeader* vnav_groundspeed_children[] = {&vnav_groundspeed_element.head, NULL};
StringElement vnav_distance_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 303, 52, 47, vnav_groundspeed_children),
    .box_width = 487 - 303,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = vnav_distance_readout,
};

// 48: page 5: GS:
ElementHeader* vertical_speed_children[] = {&vertical_speed_element.head, NULL};
StringElement vnav_groundspeed_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 215, 69, 48, vertical_speed_children),
    .box_width = 487 - 215,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = vnav_groundspeed_readout,
};

// 49: page 5: vertical speed
ElementHeader* status_code_children[] = {&status_code_element.head, NULL};
StringElement vertical_speed_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 302, 69, 49, status_code_children),
    .box_width = 487 - 302,
    .box_height = 26,
    .text_color = READOUT_RED,
    .font_name = "Glass",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = vertical_speed_readout,
};

// 50: never drawn: copies the status code
StringElement status_code_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 120, 1, 50, NULL),
    .own_var = {.id = 831},
    .box_width = 367,
    .box_height = 24,
    .text_color = READOUT_WHITE,
    .font_name = "Courier New",
    .font_weight = 100,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = status_code_reader,
};

ElementHeader* gps_root = &face_background_element.head;

// One group of ten clickable areas; no two overlap, and their order carries no meaning.
MouseRect gps_mouse_areas[] = {
    {.area_kind = MOUSE_GROUP_START, .cursor = CURSOR_NONE},
    // 1: OFF/ON knob, left half
    {.area_kind = MOUSE_AREA,
     .area_x = 36,
     .area_y = 103,
     .area_width = 17,
     .area_height = 37,
     .cursor = CURSOR_LEFT,
     .event_flags = MOUSE_LEFT_SINGLE,
     .handler = power_knob_off_click},
    // 2: OFF/ON knob, right half
    {.area_kind = MOUSE_AREA,
     .area_x = 53,
     .area_y = 103,
     .area_width = 18,
     .area_height = 37,
     .cursor = CURSOR_RIGHT,
     .event_flags = MOUSE_LEFT_SINGLE,
     .handler = power_knob_on_click},
    // 3: D-> button
    {.area_kind = MOUSE_AREA,
     .area_x = 272,
     .area_y = 129,
     .area_width = 30,
     .area_height = 18,
     .cursor = CURSOR_PUSH,
     .event_flags = MOUSE_LEFT_SINGLE,
     .handler = direct_to_click},
    // 4: CRSR button
    {.area_kind = MOUSE_AREA,
     .area_x = 424,
     .area_y = 34,
     .area_width = 31,
     .area_height = 17,
     .cursor = CURSOR_PUSH,
     .event_flags = MOUSE_LEFT_SINGLE,
     .handler = crsr_click},
    // 5: ENT button
    {.area_kind = MOUSE_AREA,
     .area_x = 362,
     .area_y = 130,
     .area_width = 29,
     .area_height = 16,
     .cursor = CURSOR_PUSH,
     .event_flags = MOUSE_LEFT_SINGLE,
     .handler = ent_click},
    // 6: large knob, outer ring, right half
    {.area_kind = MOUSE_AREA,
     .area_x = 461,
     .area_y = 72,
     .area_width = 20,
     .area_height = 61,
     .cursor = CURSOR_RIGHT,
     .event_flags = MOUSE_LEFT_SINGLE,
     .handler = outer_knob_right_click},
    // 7: large knob, outer ring, left half
    {.area_kind = MOUSE_AREA,
     .area_x = 401,
     .area_y = 72,
     .area_width = 21,
     .area_height = 61,
     .cursor = CURSOR_LEFT,
     .event_flags = MOUSE_LEFT_SINGLE,
     .handler = outer_knob_left_click},
    // 8: ALT button
    {.area_kind = MOUSE_AREA,
     .area_x = 183,
     .area_y = 129,
     .area_width = 30,
     .area_height = 19,
     .cursor = CURSOR_PUSH,
     .event_flags = MOUSE_LEFT_SINGLE,
     .handler = alt_click},
    // 9: large knob, inner knob, right half
    {.area_kind = MOUSE_AREA,
     .area_x = 445,
     .area_y = 87,
     .area_width = 15,
     .area_height = 39,
     .cursor = CURSOR_RIGHT,
     .event_flags = MOUSE_LEFT_SINGLE,
     .handler = inner_knob_right_click},
    // 10: large knob, inner knob, left half
    {.area_kind = MOUSE_AREA,
     .area_x = 424,
     .area_y = 86,
     .area_width = 18,
     .area_height = 40,
     .cursor = CURSOR_LEFT,
     .event_flags = MOUSE_LEFT_SINGLE,
     .handler = inner_knob_left_click},
    {.area_kind = MOUSE_GROUP_END, .cursor = CURSOR_NONE},
};

GaugeHeader gps_gauge_header = {
    .header_version = GAUGE_HEADER_VERSION,
    .gauge_name = "GPS_Corvane_PX40",
    .element_list = &gps_root,
    .size_value = GAUGE_SIZE_VALUE,
    .mouse_areas = gps_mouse_areas,
    .gauge_callback = gps_gauge_callback,
};

void GAUGE_CALL gps_module_init(void) {}
void GAUGE_CALL gps_module_deinit(void) {}

}  // namespace

LinkageRecord Linkage = {
    .module_id = LINKAGE_MODULE_ID,
    .module_init = gps_module_init,
    .module_deinit = gps_module_deinit,
    .module_version = LINKAGE_MODULE_VERSION,
    .gauges = {&gps_gauge_header, NULL},
};

// The host stores its service table's address in the first entry.
ImportTableRecord ImportTable = {{IMPORT_ID_PANEL_SERVICES, NULL}, {0, NULL}};
// clang-format on
