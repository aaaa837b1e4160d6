// The DME radio's face as the host reads it: seventeen elements in one chain under the
// background, in draw order; the mouse areas; the gauge header; the module's two exports.
// clang-format off: the face's tables keep their hand-aligned fields
#include "dme_callbacks.h"
#include "module_exports.h"

#define READOUT_RED 0x002B28DFu       // RGB 223, 40, 43
#define FREQUENCY_ORANGE 0x00033ADEu  // RGB 222, 58, 3: the steady frequency only
#define FACE_WIDTH 450

extern GaugeHeader dme_gauge_header;

// Each element's own block of zeros, unused, that the host expects.
static uint32_t fault_blocks[17][3];

// The chain: each element's child list holds the next element in draw order.
extern IconElement mode_knob_element, power_switch_element, nm_label_element, mhz_label_element;
extern IconElement kt_label_element, min_label_element;
extern StringElement distance_element, speed_element, time_element, freq_element, freq_set_element;
extern IconElement distance_dashes_element, speed_dashes_element, time_dashes_element;
extern IconElement rmt_lamp_element, knob_overlay_element;

static constexpr ElementHeader element_head(uint32_t kind, uint32_t bitmap, int32_t x, int32_t y, int number,
                                            ElementHeader** children) {
    return {.kind = kind,
            .resource_id = bitmap,
            .x = x,
            .y = y,
            .gauge = &dme_gauge_header,
            .children = children,
            .fault_list = fault_blocks[number - 1],
            .flags = ELEMENT_FLAGS_AT_LOAD};
}

static constexpr ModuleVar own_variable(uint32_t id) {
    return {.id = id};
}

// 1: the face: display window, selector labels, power switch legend, knob
static ElementHeader* background_children[] = {&mode_knob_element.head, NULL};
constinit StaticImageElement background_element = {
    .head = element_head(ELEMENT_STATIC_IMAGE, 9472, 0, 0, 1, background_children),
};

// 2: the mode selector at RMT, FREQ or GS/T
static ElementHeader* mode_knob_children[] = {&power_switch_element.head, NULL};
constinit IconElement mode_knob_element = {
    .head = element_head(ELEMENT_ICON, 4352, 289, 25, 2, mode_knob_children),
    .icon_mode = ICON_MODE,
    .frame_count = 3,
    .callback = mode_knob_image,
};

// 3: the power switch, off or on
static ElementHeader* power_switch_children[] = {&nm_label_element.head, NULL};
constinit IconElement power_switch_element = {
    .head = element_head(ELEMENT_ICON, 4608, 287, 56, 3, power_switch_children),
    .icon_mode = ICON_MODE,
    .frame_count = 2,
    .callback = power_switch_image,
};

// 4: NM under the distance, lit while powered
static ElementHeader* nm_label_children[] = {&mhz_label_element.head, NULL};
constinit IconElement nm_label_element = {
    .head = element_head(ELEMENT_ICON, 4864, 37, 35, 4, nm_label_children),
    .icon_mode = ICON_MODE,
    .frame_count = 2,
    .callback = nm_label,
};

// 5: MHZ under the frequency, lit at FREQ
static ElementHeader* mhz_label_children[] = {&kt_label_element.head, NULL};
constinit IconElement mhz_label_element = {
    .head = element_head(ELEMENT_ICON, 5120, 144, 35, 5, mhz_label_children),
    .icon_mode = ICON_MODE,
    .frame_count = 2,
    .callback = mhz_label,
};

// 6: KT under the speed, lit at RMT and GS/T
static ElementHeader* kt_label_children[] = {&min_label_element.head, NULL};
constinit IconElement kt_label_element = {
    .head = element_head(ELEMENT_ICON, 5376, 116, 35, 6, kt_label_children),
    .icon_mode = ICON_MODE,
    .frame_count = 2,
    .callback = kt_label,
};

// 7: MIN under the time, lit at RMT and GS/T
static ElementHeader* min_label_children[] = {&distance_element.head, NULL};
constinit IconElement min_label_element = {
    .head = element_head(ELEMENT_ICON, 5632, 180, 35, 7, min_label_children),
    .icon_mode = ICON_MODE,
    .frame_count = 2,
    .callback = min_label,
};

// 8: distance in nautical miles, in every mode
static ElementHeader* distance_children[] = {&speed_element.head, NULL};
constinit StringElement distance_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 40, 9, 8, distance_children),
    .own_var = own_variable(35),
    .box_width = FACE_WIDTH + 2 - 40,
    .box_height = 36,
    .text_color = READOUT_RED,
    .font_name = "Quartz",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = distance_readout,
};

// 9: speed in knots, at RMT and GS/T
static ElementHeader* speed_children[] = {&time_element.head, NULL};
constinit StringElement speed_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 119, 9, 9, speed_children),
    .own_var = own_variable(36),
    .box_width = FACE_WIDTH + 2 - 119,
    .box_height = 36,
    .text_color = READOUT_RED,
    .font_name = "Quartz",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = speed_readout,
};

// 10: time in minutes from the distance and speed above, at RMT and GS/T
static ElementHeader* time_children[] = {&freq_element.head, NULL};
constinit StringElement time_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 180, 9, 10, time_children),
    .box_width = FACE_WIDTH + 2 - 180,
    .box_height = 36,
    .text_color = READOUT_RED,
    .font_name = "Quartz",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = time_readout,
};

// 11: the tuned frequency, steady, at FREQ
static ElementHeader* freq_children[] = {&freq_set_element.head, NULL};
constinit StringElement freq_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 141, 9, 11, freq_children),
    .own_var = own_variable(27),
    .box_width = FACE_WIDTH + 2 - 141,
    .box_height = 36,
    .text_color = FREQUENCY_ORANGE,
    .font_name = "Quartz",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = freq_readout,
};

// 12: the frequency being set, blinking, in the same place as 11
static ElementHeader* freq_set_children[] = {&distance_dashes_element.head, NULL};
constinit StringElement freq_set_element = {
    .head = element_head(ELEMENT_STRING, NO_BITMAP, 141, 9, 12, freq_set_children),
    .own_var = own_variable(873),
    .box_width = FACE_WIDTH + 2 - 141,
    .box_height = 36,
    .text_color = READOUT_RED,
    .font_name = "Quartz",
    .font_weight = 400,
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = freq_set_readout,
};

// 13: four dashes in place of the distance
static ElementHeader* distance_dashes_children[] = {&speed_dashes_element.head, NULL};
constinit IconElement distance_dashes_element = {
    .head = element_head(ELEMENT_ICON, 6144, 51, 23, 13, distance_dashes_children),
    .icon_mode = ICON_MODE,
    .frame_count = 2,
    .callback = distance_dashes,
};

// 14: three dashes in place of the speed
static ElementHeader* speed_dashes_children[] = {&time_dashes_element.head, NULL};
constinit IconElement speed_dashes_element = {
    .head = element_head(ELEMENT_ICON, 6400, 124, 23, 14, speed_dashes_children),
    .icon_mode = ICON_MODE,
    .frame_count = 2,
    .callback = speed_dashes,
};

// 15: two dashes in place of the time
static ElementHeader* time_dashes_children[] = {&rmt_lamp_element.head, NULL};
constinit IconElement time_dashes_element = {
    .head = element_head(ELEMENT_ICON, 8192, 182, 23, 15, time_dashes_children),
    .icon_mode = ICON_MODE,
    .frame_count = 2,
    .callback = time_dashes,
};

// 16: the green lamp beside RMT
static ElementHeader* rmt_lamp_children[] = {&knob_overlay_element.head, NULL};
constinit IconElement rmt_lamp_element = {
    .head = element_head(ELEMENT_ICON, 8704, 264, 21, 16, rmt_lamp_children),
    .icon_mode = ICON_MODE,
    .frame_count = 2,
    .callback = rmt_lamp,
};

// 17: the knob drawn over the face while double stepping; the end of the chain
constinit IconElement knob_overlay_element = {
    .head = element_head(ELEMENT_ICON, 9216, 381, 20, 17, NULL),
    .icon_mode = ICON_MODE,
    .frame_count = 2,
    .callback = knob_overlay_image,
};

static constexpr MouseRect clickable_area(int32_t x, int32_t y, int32_t width, int32_t height, int32_t cursor,
                                          MouseHandler handler) {
    return {.area_kind = MOUSE_AREA,
            .area_x = x,
            .area_y = y,
            .area_width = width,
            .area_height = height,
            .cursor = cursor,
            .event_flags = MOUSE_LEFT_SINGLE,
            .handler = handler};
}

// One group of ten areas; no two overlap (the inner right ring ends where the outer begins).
static constinit MouseRect dme_mouse_areas[] = {
    {.area_kind = MOUSE_GROUP_START, .cursor = CURSOR_NONE},
    clickable_area(308, 56, 17, 18, CURSOR_RIGHT, power_on_click),
    clickable_area(288, 55, 19, 20, CURSOR_LEFT, power_off_click),
    clickable_area(286, 24, 15, 16, CURSOR_LEFT, mode_rmt_click),
    clickable_area(301, 23, 15, 17, CURSOR_PUSH, mode_freq_click),
    clickable_area(317, 21, 16, 19, CURSOR_RIGHT, mode_gst_click),
    clickable_area(399, 37, 11, 18, CURSOR_PUSH, double_step_click),
    clickable_area(412, 30, 11, 30, CURSOR_RIGHT, inner_right_click),
    clickable_area(423, 22, 14, 45, CURSOR_RIGHT, outer_right_click),
    clickable_area(387, 30, 10, 31, CURSOR_LEFT, inner_left_click),
    clickable_area(373, 22, 13, 44, CURSOR_LEFT, outer_left_click),
    {.area_kind = MOUSE_GROUP_END, .cursor = CURSOR_NONE},
};

static const char dme_gauge_name[] = "VER2_Corvane_VX_RD22";

// The host reads the root element through this variable.
static ElementHeader* dme_root_element = &background_element.head;

constinit GaugeHeader dme_gauge_header = {
    .header_version = GAUGE_HEADER_VERSION,
    .gauge_name = dme_gauge_name,
    .element_list = &dme_root_element,
    .size_value = GAUGE_SIZE_VALUE,
    .mouse_areas = dme_mouse_areas,
    .gauge_callback = dme_gauge_callback,
};

// The module does nothing of its own at load or unload.
static void GAUGE_CALL dme_module_init(void) {}
static void GAUGE_CALL dme_module_deinit(void) {}

// The two records the host looks up by name, exported through their declarations.
constinit LinkageRecord Linkage = {
    .module_id = LINKAGE_MODULE_ID,
    .module_init = dme_module_init,
    .module_deinit = dme_module_deinit,
    .module_version = LINKAGE_MODULE_VERSION,
    .gauges = {&dme_gauge_header, NULL},
};

// The host writes its service table's address into the first entry.
constinit ImportTableRecord ImportTable = {
    .panel_services = {IMPORT_ID_PANEL_SERVICES, NULL},
    .end = {0, NULL},
};
// clang-format on
