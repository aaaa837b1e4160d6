// The records a panel host reads from a gauge module, and the host's service table.
//
// Every record keeps its fields in the order the host reads them. Under 4-byte packing the
// 32-bit Windows build has exactly the offsets and sizes that the host expects (checked
// below); a build with 8-byte pointers keeps the order, not the offsets.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "platform.h"

#pragma pack(push, 4)

struct GaugeHeader;
struct ElementHeader;
struct StringElement;
struct IconElement;
struct SliderElement;
struct MouseRect;

// ---------------------------------------------------------------------------------------------
// Module variables

// The 8-byte value of a variable: a double for gauge inputs; for an element's own variable
// also an integer in the low 32 bits, or a pointer to host-owned text at its start.
typedef union VarValue {
    double number;
    int32_t integer;
    uint32_t word;
    const char* text;
} VarValue;

// One simulator variable as the gauge asks for it; the host writes `value`.
typedef struct ModuleVar {
    uint32_t id;
    void* host_pointer;
    uint32_t host_type;
    VarValue value;
    VarValue previous;
} ModuleVar;

// ---------------------------------------------------------------------------------------------
// Host services

typedef uint32_t(GAUGE_CALL* TriggerKeyEventService)(uint32_t event_id, uint32_t value);
typedef uint32_t(GAUGE_CALL* LookupVarService)(ModuleVar* var);

#define SERVICE_SLOT_TRIGGER_KEY_EVENT 36
#define SERVICE_SLOT_LOOKUP_VAR 40
#define SERVICE_TABLE_SLOTS 64

// The host's table of panel services. Gauges call only slots 36 and 40.
typedef struct ServiceTable {
    void* unused_slots_0_35[SERVICE_SLOT_TRIGGER_KEY_EVENT];
    TriggerKeyEventService trigger_key_event;
    void* unused_slots_37_39[SERVICE_SLOT_LOOKUP_VAR - SERVICE_SLOT_TRIGGER_KEY_EVENT - 1];
    LookupVarService lookup_var;
    void* unused_slots_41_up[SERVICE_TABLE_SLOTS - SERVICE_SLOT_LOOKUP_VAR - 1];
} ServiceTable;

typedef struct ImportEntry {
    uint32_t id;
    void* pointer;
} ImportEntry;

#define IMPORT_ID_PANEL_SERVICES 0x0000000Fu

// The module's writable import slot: the host stores its ServiceTable address in
// `panel_services.pointer`.
typedef struct ImportTableRecord {
    ImportEntry panel_services;
    ImportEntry end;
} ImportTableRecord;

// ---------------------------------------------------------------------------------------------
// Module descriptor

typedef void(GAUGE_CALL* ModuleHook)(void);

#define LINKAGE_MODULE_ID 0x13u
#define LINKAGE_MODULE_VERSION 0x800u

typedef struct LinkageRecord {
    uint32_t module_id;
    ModuleHook module_init;
    ModuleHook module_deinit;
    uint32_t module_reserved1;
    uint32_t module_reserved2;
    uint32_t module_version;
    struct GaugeHeader* gauges[2];  // one gauge, then NULL
} LinkageRecord;

// ---------------------------------------------------------------------------------------------
// Gauge header

#define SERVICE_PRE_UPDATE 6
#define SERVICE_PRE_DRAW 10
#define SERVICE_LAST_ID 12

typedef void(GAUGE_CALL* GaugeCallback)(struct GaugeHeader* gauge, int32_t service_id, uint32_t extra);

#define GAUGE_HEADER_VERSION 0x320u
#define GAUGE_SIZE_VALUE 100u

typedef struct GaugeHeader {
    uint32_t header_version;
    const char* gauge_name;
    struct ElementHeader** element_list;  // a variable that holds the root element
    uint32_t reserved1[8];
    uint32_t size_value;
    uint32_t reserved2[8];
    struct MouseRect* mouse_areas;
    GaugeCallback gauge_callback;
    uint32_t reserved3[27];
} GaugeHeader;

// ---------------------------------------------------------------------------------------------
// Display elements

#define ELEMENT_STATIC_IMAGE 0u
#define ELEMENT_STRING 2u
#define ELEMENT_SLIDER 3u
#define ELEMENT_ICON 4u

#define ELEMENT_FLAGS_AT_LOAD 0x00000083u
#define ELEMENT_LIT 0x00000004u
#define ELEMENT_HIDDEN 0x40000000u

#define NO_BITMAP 0xFFFFFFFFu
#define ICON_MODE 3u

typedef struct ElementHeader {
    uint32_t kind;
    uint32_t resource_id;
    int32_t x;
    int32_t y;
    int32_t reserved1[2];
    int32_t reserved2[2];
    struct GaugeHeader* gauge;
    struct ElementHeader* previous;
    struct ElementHeader** children;  // NULL-terminated, or NULL for no children
    uint32_t* fault_list;             // the element's own 12-byte block of zeros
    uint32_t flags;
    uint32_t reserved3[2];
} ElementHeader;

typedef double(GAUGE_CALL* StringCallback)(struct StringElement* element);
typedef double(GAUGE_CALL* IconCallback)(struct IconElement* element);
typedef double(GAUGE_CALL* SliderCallback)(struct SliderElement* element);

typedef struct StaticImageElement {
    ElementHeader head;
    uint32_t reserved[9];
} StaticImageElement;

// The host's text buffer holds this many bytes; gauges never write more, NUL included.
#define GAUGE_TEXT_CAPACITY 32

typedef struct StringElement {
    ElementHeader head;
    ModuleVar own_var;
    ModuleVar second_var;
    ModuleVar third_var;
    uint32_t reserved1[10];
    char* text;
    uint32_t reserved2;
    int32_t box_width;
    int32_t box_height;
    uint32_t reserved3[2];
    uint32_t text_color;  // COLORREF 0x00BBGGRR
    uint32_t color_b;
    uint32_t color_c;
    uint32_t reserved4[7];
    char font_name[32];
    uint32_t font_weight;
    uint32_t font_charset;
    uint32_t format_word1;
    uint32_t format_word2;
    uint32_t reserved5[4];
    StringCallback callback;
    uint32_t reserved6[2];
} StringElement;

typedef struct IconElement {
    ElementHeader head;
    ModuleVar own_var;
    uint32_t reserved1;
    uint32_t icon_mode;
    uint32_t reserved2[4];
    uint32_t frame_count;
    uint32_t reserved3[4];
    IconCallback callback;
    uint32_t reserved4;
} IconElement;

typedef struct SliderElement {
    ElementHeader head;
    ModuleVar x_var;
    uint32_t reserved1;
    double x_scale;
    uint32_t reserved2;
    ModuleVar y_var;
    uint32_t reserved3;
    double y_scale;
    uint32_t reserved4[6];
    SliderCallback x_callback;
    SliderCallback y_callback;
    uint32_t reserved5[4];
} SliderElement;

// ---------------------------------------------------------------------------------------------
// Mouse areas

#define MOUSE_GROUP_START 1u
#define MOUSE_AREA 2u
#define MOUSE_GROUP_END 3u

#define CURSOR_NONE (-1)
#define CURSOR_RIGHT 1
#define CURSOR_LEFT 2
#define CURSOR_PUSH 5

#define MOUSE_LEFT_SINGLE 0x20000000u

typedef int32_t(GAUGE_CALL* MouseHandler)(void* position, uint32_t event_flags);

typedef struct MouseRect {
    uint32_t area_kind;
    int32_t area_x;
    int32_t area_y;
    int32_t area_width;
    int32_t area_height;
    int32_t cursor;
    int32_t help_id;
    uint32_t event_flags;
    uint32_t event_id;
    MouseHandler handler;
    uint32_t reserved;
} MouseRect;

#pragma pack(pop)

// ---------------------------------------------------------------------------------------------
// The host's record format, byte for byte, wherever pointers are 4 bytes wide.

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(ModuleVar) == 28, "ModuleVar");
static_assert(offsetof(ModuleVar, host_pointer) == 4 && offsetof(ModuleVar, host_type) == 8, "ModuleVar");
static_assert(offsetof(ModuleVar, value) == 12 && offsetof(ModuleVar, previous) == 20, "ModuleVar");

static_assert(sizeof(ImportTableRecord) == 16, "ImportTable");
static_assert(offsetof(ImportTableRecord, panel_services.pointer) == 4, "ImportTable");
static_assert(offsetof(ImportTableRecord, end) == 8, "ImportTable");

static_assert(offsetof(ServiceTable, trigger_key_event) == 144, "ServiceTable");
static_assert(offsetof(ServiceTable, lookup_var) == 160, "ServiceTable");

static_assert(sizeof(LinkageRecord) == 32, "Linkage");
static_assert(offsetof(LinkageRecord, module_init) == 4 && offsetof(LinkageRecord, module_deinit) == 8, "Linkage");
static_assert(offsetof(LinkageRecord, module_reserved1) == 12 && offsetof(LinkageRecord, module_reserved2) == 16,
              "Linkage");
static_assert(offsetof(LinkageRecord, module_version) == 20 && offsetof(LinkageRecord, gauges) == 24, "Linkage");

static_assert(sizeof(GaugeHeader) == 196, "GaugeHeader");
static_assert(offsetof(GaugeHeader, gauge_name) == 4 && offsetof(GaugeHeader, element_list) == 8, "GaugeHeader");
static_assert(offsetof(GaugeHeader, reserved1) == 12 && offsetof(GaugeHeader, size_value) == 44, "GaugeHeader");
static_assert(offsetof(GaugeHeader, reserved2) == 48 && offsetof(GaugeHeader, mouse_areas) == 80, "GaugeHeader");
static_assert(offsetof(GaugeHeader, gauge_callback) == 84 && offsetof(GaugeHeader, reserved3) == 88, "GaugeHeader");

static_assert(sizeof(ElementHeader) == 60, "ElementHeader");
static_assert(offsetof(ElementHeader, resource_id) == 4 && offsetof(ElementHeader, x) == 8, "ElementHeader");
static_assert(offsetof(ElementHeader, y) == 12 && offsetof(ElementHeader, reserved1) == 16, "ElementHeader");
static_assert(offsetof(ElementHeader, reserved2) == 24 && offsetof(ElementHeader, gauge) == 32, "ElementHeader");
static_assert(offsetof(ElementHeader, previous) == 36 && offsetof(ElementHeader, children) == 40, "ElementHeader");
static_assert(offsetof(ElementHeader, fault_list) == 44 && offsetof(ElementHeader, flags) == 48, "ElementHeader");
static_assert(offsetof(ElementHeader, reserved3) == 52, "ElementHeader");

static_assert(sizeof(StaticImageElement) == 96, "StaticImageElement");

static_assert(sizeof(StringElement) == 324, "StringElement");
static_assert(offsetof(StringElement, own_var) == 60 && offsetof(StringElement, own_var.value) == 72, "StringElement");
static_assert(offsetof(StringElement, second_var) == 88 && offsetof(StringElement, third_var) == 116, "StringElement");
static_assert(offsetof(StringElement, reserved1) == 144 && offsetof(StringElement, text) == 184, "StringElement");
static_assert(offsetof(StringElement, reserved2) == 188 && offsetof(StringElement, box_width) == 192, "StringElement");
static_assert(offsetof(StringElement, box_height) == 196 && offsetof(StringElement, reserved3) == 200, "StringElement");
static_assert(offsetof(StringElement, text_color) == 208 && offsetof(StringElement, color_b) == 212, "StringElement");
static_assert(offsetof(StringElement, color_c) == 216 && offsetof(StringElement, reserved4) == 220, "StringElement");
static_assert(offsetof(StringElement, font_name) == 248 && offsetof(StringElement, font_weight) == 280,
              "StringElement");
static_assert(offsetof(StringElement, font_charset) == 284 && offsetof(StringElement, format_word1) == 288,
              "StringElement");
static_assert(offsetof(StringElement, format_word2) == 292 && offsetof(StringElement, reserved5) == 296,
              "StringElement");
static_assert(offsetof(StringElement, callback) == 312 && offsetof(StringElement, reserved6) == 316, "StringElement");

static_assert(sizeof(IconElement) == 140, "IconElement");
static_assert(offsetof(IconElement, own_var) == 60 && offsetof(IconElement, reserved1) == 88, "IconElement");
static_assert(offsetof(IconElement, icon_mode) == 92 && offsetof(IconElement, reserved2) == 96, "IconElement");
static_assert(offsetof(IconElement, frame_count) == 112 && offsetof(IconElement, reserved3) == 116, "IconElement");
static_assert(offsetof(IconElement, callback) == 132 && offsetof(IconElement, reserved4) == 136, "IconElement");

static_assert(sizeof(SliderElement) == 192, "SliderElement");
static_assert(offsetof(SliderElement, x_var) == 60 && offsetof(SliderElement, reserved1) == 88, "SliderElement");
static_assert(offsetof(SliderElement, x_scale) == 92 && offsetof(SliderElement, reserved2) == 100, "SliderElement");
static_assert(offsetof(SliderElement, y_var) == 104 && offsetof(SliderElement, y_var.value) == 116, "SliderElement");
static_assert(offsetof(SliderElement, reserved3) == 132 && offsetof(SliderElement, y_scale) == 136, "SliderElement");
static_assert(offsetof(SliderElement, reserved4) == 144 && offsetof(SliderElement, x_callback) == 168, "SliderElement");
static_assert(offsetof(SliderElement, y_callback) == 172 && offsetof(SliderElement, reserved5) == 176, "SliderElement");

static_assert(sizeof(MouseRect) == 44, "MouseRect");
static_assert(offsetof(MouseRect, area_x) == 4 && offsetof(MouseRect, area_y) == 8, "MouseRect");
static_assert(offsetof(MouseRect, area_width) == 12 && offsetof(MouseRect, area_height) == 16, "MouseRect");
static_assert(offsetof(MouseRect, cursor) == 20 && offsetof(MouseRect, help_id) == 24, "MouseRect");
static_assert(offsetof(MouseRect, event_flags) == 28 && offsetof(MouseRect, event_id) == 32, "MouseRect");
static_assert(offsetof(MouseRect, handler) == 36 && offsetof(MouseRect, reserved) == 40, "MouseRect");
#endif
