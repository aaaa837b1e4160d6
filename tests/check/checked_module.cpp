// A small gauge module for the module checker: a face of five elements and three mouse areas
// over the DME's bitmaps (copied beside each build of it), well-formed as it stands. Compile
// definitions make variants of it, each broken in the way its name says.
#include <stddef.h>

#include "gauge_records.h"
#include "module_exports.h"

#ifndef CHECK_NO_IMPORT_TABLE
ImportTableRecord ImportTable = {
    {IMPORT_ID_PANEL_SERVICES, NULL},
#ifdef CHECK_BAD_FIELDS
    {1, NULL},
#else
    {0, NULL},
#endif
};
#endif

[[maybe_unused]] static void GAUGE_CALL checked_init(void) {}
[[maybe_unused]] static void GAUGE_CALL checked_deinit(void) {}
static void GAUGE_CALL checked_gauge_callback(GaugeHeader*, int32_t, uint32_t) {}
// clang-format off
static double GAUGE_CALL checked_readout(StringElement*) { return 0.0; }
static double GAUGE_CALL checked_image(IconElement*) { return 0.0; }
static double GAUGE_CALL checked_needle(SliderElement*) { return 0.0; }
static int32_t GAUGE_CALL checked_click(void*, uint32_t) { return 0; }
// clang-format on

extern GaugeHeader checked_header;
#ifdef CHECK_BAD_FIELDS
// A header that is not this element's gauge.
static GaugeHeader other_header = {.header_version = GAUGE_HEADER_VERSION};
#define ELEMENT_5_GAUGE &other_header
#define ELEMENT_5_FLAGS 0x87u
#else
#define ELEMENT_5_GAUGE &checked_header
#define ELEMENT_5_FLAGS ELEMENT_FLAGS_AT_LOAD
#endif

static uint32_t faults[5][3];
// Named ahead of its definition, for the cyclic variant.
extern ElementHeader* root_children[2];

#ifdef CHECK_LONG_CHAIN
// Icons hung one below the other, far past any face, laid out when the module is compiled.
#define LONG_CHAIN 10050
struct LongChain {
    IconElement icons[LONG_CHAIN];
    ElementHeader* children[LONG_CHAIN][2];
    uint32_t faults[LONG_CHAIN][3];

    constexpr LongChain() : icons{}, children{}, faults{} {
        for (int i = 0; i < LONG_CHAIN; ++i) {
            ElementHeader& head = icons[i].head;
            head.kind = ELEMENT_ICON;
            head.resource_id = 0x1200;
            head.gauge = &checked_header;
            head.fault_list = faults[i];
            head.flags = ELEMENT_FLAGS_AT_LOAD;
            icons[i].icon_mode = ICON_MODE;
            icons[i].frame_count = 2;
            icons[i].callback = checked_image;
            if (i + 1 < LONG_CHAIN) {
                children[i][0] = &icons[i + 1].head;
                head.children = children[i];
            }
        }
    }
};
static constinit LongChain long_chain;
#define ELEMENT_5_CHILDREN long_chain_children
static ElementHeader* long_chain_children[] = {&long_chain.icons[0].head, NULL};
#elif defined(CHECK_CYCLIC_CHAIN)
// The last element leads back to the second, the root's child.
#define ELEMENT_5_CHILDREN root_children
#else
#define ELEMENT_5_CHILDREN NULL
#endif

// 5: the power switch, the last element
static IconElement switch_element = {
    // clang-format off
    .head = {.kind = ELEMENT_ICON, .resource_id = 0x1200, .x = 287, .y = 56, .gauge = ELEMENT_5_GAUGE,
             .children = ELEMENT_5_CHILDREN, .fault_list = faults[4], .flags = ELEMENT_5_FLAGS},
    // clang-format on
    .icon_mode = ICON_MODE,
    .frame_count = 2,
    .callback = checked_image,
};
static ElementHeader* needle_children[] = {&switch_element.head, NULL};

// 4: a needle
static SliderElement needle_element = {
#if defined(CHECK_MISSING_BITMAP) || defined(CHECK_BAD_FIELDS)
    .head = {.kind = ELEMENT_SLIDER,
             .resource_id = 0x1E00,
             .x = 180,
             .y = 35,
             .gauge = &checked_header,
#else
    .head = {.kind = ELEMENT_SLIDER,
             .resource_id = 0x1600,
             .x = 180,
             .y = 35,
             .gauge = &checked_header,
#endif
             .children = needle_children,
             .fault_list = faults[3],
             .flags = ELEMENT_FLAGS_AT_LOAD},
    .x_scale = 1.0,
    .x_callback = checked_needle,
#ifndef CHECK_BAD_FIELDS
    .y_callback = checked_needle,
#endif
};
static ElementHeader* readout_children[] = {&needle_element.head, NULL};

// 3: a readout
static StringElement readout_element = {
#ifdef CHECK_UNKNOWN_KIND
    .head = {.kind = 1,
             .resource_id = NO_BITMAP,
             .x = 40,
             .y = 9,
             .gauge = &checked_header,
#else
    .head = {.kind = ELEMENT_STRING,
             .resource_id = NO_BITMAP,
             .x = 40,
             .y = 9,
             .gauge = &checked_header,
#endif
             .children = readout_children,
             .fault_list = faults[2],
             .flags = ELEMENT_FLAGS_AT_LOAD},
    .own_var = {.id = 35},
    .box_width = 412,
#ifdef CHECK_BAD_FIELDS
    .box_height = 0,
    .text_color = 0x2B28DF,
    .font_name = {'Q', 'u', 'a', 'r', 't', 'z', 'Q', 'u', 'a', 'r', 't', 'z', 'Q', 'u', 'a', 'r',
                  't', 'z', 'Q', 'u', 'a', 'r', 't', 'z', 'Q', 'u', 'a', 'r', 't', 'z', 'Q', 'u'},
    .font_weight = 0,
#else
    .box_height = 36,
    .text_color = 0x2B28DF,
    .font_name = "Quartz",
    .font_weight = 400,
#endif
    .font_charset = 1,
    .format_word2 = 0x4240,
    .callback = checked_readout,
};
static ElementHeader* selector_children[] = {&readout_element.head, NULL};

// 2: the mode selector, three frames
static IconElement selector_element = {
    // clang-format off
    .head = {.kind = ELEMENT_ICON, .resource_id = 0x1100, .x = 289, .y = 25, .gauge = &checked_header,
             .children = selector_children, .fault_list = faults[1], .flags = ELEMENT_FLAGS_AT_LOAD},
// clang-format on
#ifdef CHECK_BAD_FIELDS
    .icon_mode = 2,
    .frame_count = 0,
#else
    .icon_mode = ICON_MODE,
    .frame_count = 3,
#endif
    .callback = checked_image,
};
ElementHeader* root_children[2] = {&selector_element.head, NULL};

// 1: the background
static StaticImageElement face_background = {
    // clang-format off
    .head = {.kind = ELEMENT_STATIC_IMAGE, .resource_id = 0x2500, .x = 0, .y = 0, .gauge = &checked_header,
             .children = root_children, .fault_list = faults[0], .flags = ELEMENT_FLAGS_AT_LOAD},
    // clang-format on
};
static ElementHeader* root_pointer = &face_background.head;

#define GROUP_START \
    { .area_kind = MOUSE_GROUP_START, .cursor = CURSOR_NONE }
#define GROUP_END \
    { .area_kind = MOUSE_GROUP_END, .cursor = CURSOR_NONE }
#define AREA(x, y, width, height, click)                                                               \
    {                                                                                                  \
        .area_kind = MOUSE_AREA, .area_x = x, .area_y = y, .area_width = width, .area_height = height, \
        .cursor = CURSOR_PUSH, .event_flags = MOUSE_LEFT_SINGLE, .handler = click                      \
    }

#ifdef CHECK_NULL_HANDLER
#define AREA_1_HANDLER NULL
#else
#define AREA_1_HANDLER checked_click
#endif
#ifdef CHECK_AREA_OUTSIDE
#define AREA_2_X 440
#else
#define AREA_2_X 288
#endif
#ifdef CHECK_OVERLAPPING_AREAS
// Inside area 2.
#define AREA_3 AREA(290, 60, 10, 10, checked_click)
#else
#define AREA_3 AREA(286, 24, 15, 16, checked_click)
#endif

// The list, and the zeros that follow it in memory: where the group end is missing, the
// checker meets a record of kind 0 next.
static struct {
    MouseRect list[5];
    MouseRect after;
} checked_mouse = {
    .list =
        {
            GROUP_START,
            AREA(308, 56, 17, 18, AREA_1_HANDLER),
            AREA(AREA_2_X, 55, 19, 20, checked_click),
            AREA_3,
#ifndef CHECK_UNTERMINATED_MOUSE_LIST
            GROUP_END,
#endif
        },
};

GaugeHeader checked_header = {
#ifdef CHECK_BAD_FIELDS
    .header_version = 0x310,
#else
    .header_version = GAUGE_HEADER_VERSION,
#endif
    .gauge_name = "checked",
    .element_list = &root_pointer,
    .size_value = GAUGE_SIZE_VALUE,
    .mouse_areas = checked_mouse.list,
    .gauge_callback = checked_gauge_callback,
};

#ifndef CHECK_NO_LINKAGE
LinkageRecord Linkage = {
    .module_id = LINKAGE_MODULE_ID,
    .module_init = checked_init,
    .module_deinit = checked_deinit,
#ifdef CHECK_BAD_FIELDS
    .module_version = 0x700,
#else
    .module_version = LINKAGE_MODULE_VERSION,
#endif
    .gauges = {&checked_header, NULL},
};
#endif
