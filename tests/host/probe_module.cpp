// A small gauge module that exercises what the host core must do for any module: bind the
// service table, refresh variables in order, hand out text buffers, call element callbacks in
// chain order, and dispatch clicks. Compile definitions make malformed variants of it.
#include <stdio.h>
#include <string.h>

#include "cue_player.h"
#include "gauge_records.h"
#include "host_services.h"

ImportTableRecord ImportTable = {
#ifdef PROBE_WRONG_IMPORT_ID
    {0x7, NULL},
#else
    {IMPORT_ID_PANEL_SERVICES, NULL},
#endif
    {0, NULL}};

static ModuleVar probe_inputs[3] = {{.id = 30}, {.id = 10}, {.id = 20}};
static int32_t init_calls;
static int32_t update_calls;
// The order in which element callbacks ran, as element numbers.
static char call_order[16];

// Init and deinit use the services too, which a host must answer there as anywhere.
[[maybe_unused]] static void GAUGE_CALL probe_init(void) {
    ++init_calls;
    service_lookup_var(&probe_inputs[0]);
    play_cue("sound\\init.wav");
}
[[maybe_unused]] static void GAUGE_CALL probe_deinit(void) {
    play_cue("sound\\deinit.wav");
}

static void GAUGE_CALL probe_gauge_callback(GaugeHeader*, int32_t service_id, uint32_t) {
    if (service_id == SERVICE_PRE_UPDATE) {
        service_lookup_all(probe_inputs, 3);
        ++update_calls;
        call_order[0] = '\0';
    }
}

static void note_call(char number) {
    size_t used = strlen(call_order);
    if (used + 1 < sizeof call_order) {
        call_order[used] = number;
        call_order[used + 1] = '\0';
    }
}

// Element 2: shows the text of its own variable, or "-" when there is none.
static double GAUGE_CALL probe_text_readout(StringElement* element) {
    note_call('2');
    snprintf(element->text, GAUGE_TEXT_CAPACITY, "%s", element->own_var.value.text ? element->own_var.value.text : "-");
    return 1.5;
}

// Element 3: shows the integer of its own variable and the inputs as the last update saw them.
static double GAUGE_CALL probe_number_readout(StringElement* element) {
    note_call('3');
    snprintf(element->text, GAUGE_TEXT_CAPACITY, "%d %g %g %g", element->own_var.value.integer,
             probe_inputs[0].value.number, probe_inputs[1].value.number, probe_inputs[2].value.number);
    return (double)update_calls;
}

// Element 4: hidden on odd updates; returns the frame 2.
static double GAUGE_CALL probe_icon(IconElement* element) {
    note_call('4');
    element->head.flags |= ELEMENT_LIT;
    if (update_calls % 2) element->head.flags |= ELEMENT_HIDDEN;
    else element->head.flags &= ~ELEMENT_HIDDEN;
    return 2.0;
}

static double GAUGE_CALL probe_slider_x(SliderElement*) {
    return -3.25;
}
static double GAUGE_CALL probe_slider_y(SliderElement* element) {
    return element->y_var.value.number;
}

// Element 6: reports the call order of this pass and the init count.
static double GAUGE_CALL probe_order_readout(StringElement* element) {
    note_call('6');
    snprintf(element->text, GAUGE_TEXT_CAPACITY, "%s/%d", call_order, init_calls);
    return 0.0;
}

static int32_t GAUGE_CALL probe_left_click(void*, uint32_t flags) {
    play_cue(CUE_CLICK);
    service_trigger_key_event(flags == MOUSE_LEFT_SINGLE ? 0x1000 : 0x1001);
    return 0;
}

static int32_t GAUGE_CALL probe_right_click(void*, uint32_t) {
    service_trigger_key_event(0x2000);
    service_trigger_key_event(0x2001);
    return 0;
}

extern GaugeHeader probe_header;

static uint32_t faults[6][3];

static StringElement order_element = {
    // clang-format off
    .head = {.kind = ELEMENT_STRING, .resource_id = NO_BITMAP, .x = 0, .y = 40, .gauge = &probe_header,
             .fault_list = faults[5], .flags = ELEMENT_FLAGS_AT_LOAD},
    // clang-format on
    .callback = probe_order_readout,
};
static ElementHeader* slider_children[] = {&order_element.head, NULL};

static SliderElement slider_element = {
    // clang-format off
    .head = {.kind = ELEMENT_SLIDER, .resource_id = 0x300, .x = 50, .y = 5, .gauge = &probe_header,
             .children = slider_children, .fault_list = faults[4], .flags = ELEMENT_FLAGS_AT_LOAD},
    // clang-format on
    .x_var = {.id = 0},
    .x_scale = 2.0,
    .y_var = {.id = 20},
    .x_callback = probe_slider_x,
    .y_callback = probe_slider_y,
};
static ElementHeader* icon_children[] = {&slider_element.head, NULL};

static IconElement icon_element = {
    // clang-format off
    .head = {.kind = ELEMENT_ICON, .resource_id = 0x200, .x = 10, .y = 10, .gauge = &probe_header,
             .children = icon_children, .fault_list = faults[3], .flags = ELEMENT_FLAGS_AT_LOAD},
    // clang-format on
    .icon_mode = ICON_MODE,
    .frame_count = 3,
    .callback = probe_icon,
};
static ElementHeader* number_children[] = {&icon_element.head, NULL};

static StringElement number_element = {
    // clang-format off
    .head = {.kind = ELEMENT_STRING, .resource_id = NO_BITMAP, .x = 0, .y = 20, .gauge = &probe_header,
             .children = number_children, .fault_list = faults[2], .flags = ELEMENT_FLAGS_AT_LOAD},
    // clang-format on
    .own_var = {.id = 501},
    .callback = probe_number_readout,
};
static ElementHeader* text_children[] = {&number_element.head, NULL};

static StringElement text_element = {
    // clang-format off
    .head = {.kind = ELEMENT_STRING, .resource_id = NO_BITMAP, .x = 0, .y = 0, .gauge = &probe_header,
             .children = text_children, .fault_list = faults[1], .flags = ELEMENT_FLAGS_AT_LOAD},
    // clang-format on
    .own_var = {.id = 500},
    .callback = probe_text_readout,
};
[[maybe_unused]] static ElementHeader* root_children[] = {&text_element.head, NULL};

static StaticImageElement root_element = {
    .head = {.kind = ELEMENT_STATIC_IMAGE,
             .resource_id = 0x100,
             .x = 0,
             .y = 0,
             .gauge = &probe_header,
#ifdef PROBE_CYCLIC_CHAIN
             .children = slider_children,
#else
             .children = root_children,
#endif
             .fault_list = faults[0],
             .flags = ELEMENT_FLAGS_AT_LOAD},
};
#ifdef PROBE_CYCLIC_CHAIN
// The last element leads back to the first.
static ElementHeader* cycle_children[] = {&root_element.head, NULL};
[[maybe_unused]] static int cycle_made = (order_element.head.children = cycle_children, 0);
#endif
static ElementHeader* root_pointer = &root_element.head;

// Two areas that share an edge at x = 20, with a third that takes no left clicks.
static MouseRect probe_mouse[] = {
    {.area_kind = MOUSE_GROUP_START, .cursor = CURSOR_NONE},
#ifdef PROBE_NESTED_GROUPS
    {.area_kind = MOUSE_GROUP_START, .cursor = CURSOR_NONE},
#endif
    // clang-format off
    {.area_kind = MOUSE_AREA, .area_x = 10, .area_y = 10, .area_width = 10, .area_height = 5,
     .cursor = CURSOR_LEFT, .event_flags = MOUSE_LEFT_SINGLE, .handler = probe_left_click},
    {.area_kind = MOUSE_AREA, .area_x = 20, .area_y = 10, .area_width = 10, .area_height = 5,
     .cursor = CURSOR_RIGHT, .event_flags = MOUSE_LEFT_SINGLE, .handler = probe_right_click},
#ifdef PROBE_NESTED_GROUPS
    {.area_kind = MOUSE_GROUP_END, .cursor = CURSOR_NONE},
#endif
    {.area_kind = MOUSE_AREA, .area_x = 40, .area_y = 10, .area_width = 10, .area_height = 5,
     .cursor = CURSOR_PUSH, .event_flags = 0x10000000u, .handler = probe_right_click},
// clang-format on
#ifndef PROBE_UNTERMINATED_MOUSE_LIST
    {.area_kind = MOUSE_GROUP_END, .cursor = CURSOR_NONE},
#endif
};

#ifdef PROBE_LONG_NAME
#define PROBE_NAME                                                                                   \
    "probe_with_a_name_far_longer_than_any_gauge_would_have_probe_with_a_name_far_longer_than_any_"  \
    "gauge_would_have_probe_with_a_name_far_longer_than_any_gauge_would_have_probe_with_a_name_far_" \
    "longer_than_any_gauge_would_have_probe_with_a_name_far_longer_than_any_gauge_would_have"
#else
#define PROBE_NAME "probe"
#endif

GaugeHeader probe_header = {
#ifdef PROBE_WRONG_HEADER_VERSION
    .header_version = 0x310,
#else
    .header_version = GAUGE_HEADER_VERSION,
#endif
    .gauge_name = PROBE_NAME,
    .element_list = &root_pointer,
    .size_value = GAUGE_SIZE_VALUE,
    .mouse_areas = probe_mouse,
    .gauge_callback = probe_gauge_callback,
};

#ifndef PROBE_NO_LINKAGE
LinkageRecord Linkage = {
#ifdef PROBE_WRONG_MODULE_ID
    .module_id = 0x12,
#else
    .module_id = LINKAGE_MODULE_ID,
#endif
    .module_init = probe_init,
    .module_deinit = probe_deinit,
#ifdef PROBE_WRONG_VERSION
    .module_version = 0x700,
#else
    .module_version = LINKAGE_MODULE_VERSION,
#endif
#ifdef PROBE_NO_GAUGE
    .gauges = {NULL, NULL},
#elif defined(PROBE_UNTERMINATED_LINKAGE)
    .gauges = {&probe_header, &probe_header},
#else
    .gauges = {&probe_header, NULL},
#endif
};
#endif
