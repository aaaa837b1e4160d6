// A small gauge module with one deliberate fault, chosen by a compile definition, for
// panel_loaded_dll_check to find (tests/windows/). Without one it passes every check; it carries
// no bitmaps.
//   PROBE_DOUBLES_CLEAR_EDX      element and slider callbacks return with edx 0, and
//   PROBE_VOIDS_SET_EDX          the gauge callback and mouse handlers with edx 1: both legal,
//                                edx being the caller's to save. Both make a value left on the
//                                x87 stack, or an empty one popped, fault.
//   PROBE_CDECL_HANDLER          a mouse handler leaves its arguments on the stack (a handler,
//                                because the host calls element callbacks before the check);
//   PROBE_NO_CUE                 the module imports no PlaySoundA;
//   PROBE_ENTRY_REFUSES_THREADS  the DLL entry returns FALSE for thread attach.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "gauge_records.h"
#include "module_exports.h"

ImportTableRecord ImportTable = {{IMPORT_ID_PANEL_SERVICES, NULL}, {0, NULL}};

#ifdef PROBE_ENTRY_REFUSES_THREADS
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    return reason != DLL_THREAD_ATTACH;
}
#endif

static void GAUGE_CALL probe_init(void) {
#if defined(PROBE_DOUBLES_CLEAR_EDX) || defined(PROBE_VOIDS_SET_EDX)
    // Unmasks the invalid-operation exception, which x87 stack overflow and underflow raise.
    uint16_t control;
    asm volatile("fnstcw %0" : "=m"(control));
    control &= ~1u;
    asm volatile("fldcw %0" : : "m"(control));
#endif
}

static void GAUGE_CALL probe_deinit(void) {}

// What a click does: plays the click cue, as both real gauges do.
extern "C" int32_t GAUGE_CALL probe_click(void*, uint32_t) asm("probe_click");
extern "C" int32_t GAUGE_CALL probe_click(void*, uint32_t) {
#ifndef PROBE_NO_CUE
    PlaySoundA("sound\\click.wav", NULL, CUE_SND_FILENAME | CUE_SND_ASYNC);
#endif
    return 0;
}

#ifdef PROBE_DOUBLES_CLEAR_EDX
// Each returns 1.0 on the x87 stack with edx cleared.
__attribute__((naked)) static double GAUGE_CALL probe_string_callback(StringElement*) {
    asm("fld1\n\txorl %edx, %edx\n\tret $4");
}
__attribute__((naked)) static double GAUGE_CALL probe_icon_callback(IconElement*) {
    asm("fld1\n\txorl %edx, %edx\n\tret $4");
}
__attribute__((naked)) static double GAUGE_CALL probe_slider_callback(SliderElement*) {
    asm("fld1\n\txorl %edx, %edx\n\tret $4");
}
#else
// clang-format off
static double GAUGE_CALL probe_string_callback(StringElement*) { return 1.0; }
static double GAUGE_CALL probe_icon_callback(IconElement*) { return 1.0; }
static double GAUGE_CALL probe_slider_callback(SliderElement*) { return 1.0; }
// clang-format on
#endif

#ifdef PROBE_VOIDS_SET_EDX
__attribute__((naked)) static void GAUGE_CALL probe_gauge_callback(GaugeHeader*, int32_t, uint32_t) {
    asm("movl $1, %edx\n\tret $12");
}
// probe_click with the caller's two arguments, then edx set.
__attribute__((naked)) static int32_t GAUGE_CALL probe_click_handler(void*, uint32_t) {
    asm("pushl 8(%esp)\n\tpushl 8(%esp)\n\tcall probe_click\n\tmovl $1, %edx\n\tret $8");
}
#else
static void GAUGE_CALL probe_gauge_callback(GaugeHeader*, int32_t, uint32_t) {}
static int32_t GAUGE_CALL probe_click_handler(void* point, uint32_t flags) {
    return probe_click(point, flags);
}
#endif

#ifdef PROBE_CDECL_HANDLER
static int32_t __cdecl probe_cdecl_click(void*, uint32_t) {
    return 0;
}
#endif

extern GaugeHeader probe_header;

static uint32_t faults[4][3];

// 4: a slider, both positions from one callback
static SliderElement slider_element = {
    .head = {.kind = ELEMENT_SLIDER,
             .resource_id = NO_BITMAP,
             .gauge = &probe_header,
             .fault_list = faults[3],
             .flags = ELEMENT_FLAGS_AT_LOAD},
    .x_scale = 1.0,
    .y_scale = 1.0,
    .x_callback = probe_slider_callback,
    .y_callback = probe_slider_callback,
};
static ElementHeader* icon_children[] = {&slider_element.head, NULL};

// 3: an icon
static IconElement icon_element = {
    .head = {.kind = ELEMENT_ICON,
             .resource_id = NO_BITMAP,
             .gauge = &probe_header,
             .children = icon_children,
             .fault_list = faults[2],
             .flags = ELEMENT_FLAGS_AT_LOAD},
    .icon_mode = ICON_MODE,
    .frame_count = 2,
    .callback = probe_icon_callback,
};
static ElementHeader* string_children[] = {&icon_element.head, NULL};

// 2: a text readout
static StringElement string_element = {
    .head = {.kind = ELEMENT_STRING,
             .resource_id = NO_BITMAP,
             .gauge = &probe_header,
             .children = string_children,
             .fault_list = faults[1],
             .flags = ELEMENT_FLAGS_AT_LOAD},
    .box_width = 40,
    .box_height = 10,
    .font_name = "Courier",
    .font_weight = 400,
    .callback = probe_string_callback,
};
static ElementHeader* root_children[] = {&string_element.head, NULL};

// 1: the background, without a bitmap
static StaticImageElement root_element = {
    .head = {.kind = ELEMENT_STATIC_IMAGE,
             .resource_id = NO_BITMAP,
             .gauge = &probe_header,
             .children = root_children,
             .fault_list = faults[0],
             .flags = ELEMENT_FLAGS_AT_LOAD},
};
static ElementHeader* root_pointer = &root_element.head;

static MouseRect probe_mouse[] = {
    {.area_kind = MOUSE_GROUP_START, .cursor = CURSOR_NONE},
    // clang-format off
    {.area_kind = MOUSE_AREA, .area_x = 0, .area_y = 0, .area_width = 10, .area_height = 10, .cursor = CURSOR_PUSH,
     .event_flags = MOUSE_LEFT_SINGLE, .handler = probe_click_handler},
    {.area_kind = MOUSE_AREA, .area_x = 10, .area_y = 0, .area_width = 10, .area_height = 10, .cursor = CURSOR_PUSH,
     // clang-format on
     .event_flags = MOUSE_LEFT_SINGLE,
#ifdef PROBE_CDECL_HANDLER
     .handler = reinterpret_cast<MouseHandler>(probe_cdecl_click)},
#else
     .handler = probe_click_handler},
#endif
    {.area_kind = MOUSE_GROUP_END, .cursor = CURSOR_NONE},
};

GaugeHeader probe_header = {
    .header_version = GAUGE_HEADER_VERSION,
    .gauge_name = "check probe",
    .element_list = &root_pointer,
    .size_value = GAUGE_SIZE_VALUE,
    .mouse_areas = probe_mouse,
    .gauge_callback = probe_gauge_callback,
};

LinkageRecord Linkage = {
    .module_id = LINKAGE_MODULE_ID,
    .module_init = probe_init,
    .module_deinit = probe_deinit,
    .module_version = LINKAGE_MODULE_VERSION,
    .gauges = {&probe_header, NULL},
};
