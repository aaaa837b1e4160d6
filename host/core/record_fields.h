// Every field of the records a host reads from a gauge module, in the order the records hold
// them: where the host's record format puts it (4-byte pointers and 4-byte packing, the layout
// a 32-bit module is read at), where this build's structs of gauge_records.h keep it (a wider
// build keeps the order but not the offsets), and what it holds. The record dump describes the
// records by these tables, the module checker reads a module's memory at their offsets, and the
// host's copy of an element (element_record.h) names the fields it keeps from them.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "gauge_records.h"

namespace panel::records {

enum class FieldKind {
    u32,
    s32,
    hex,
    f64,
    pointer,       // to another record
    function,      // a callback or hook: set or null
    name,          // pointer to NUL-terminated text
    chars32,       // NUL-padded 32-byte text
    var,           // embedded ModuleVar: its id; the rest is zero in the module
    zeros,         // reserved bytes, all zero in the module
    children,      // pointer to a NULL-terminated array of element pointers
    fault,         // pointer to the element's own 12 zero bytes
    gauge_list,    // the NULL-terminated gauge header pointers, in place
    element_list,  // pointer to the variable that holds the root element
};

struct Field {
    std::string_view name;
    size_t offset_32;
    size_t offset_native;
    FieldKind kind;
    size_t bytes = 0;  // of a run of reserved bytes

    // Where a module with pointers this wide keeps the field: a 32-bit one anywhere at the host's
    // offsets, a wider one as this build's structs do.
    constexpr size_t offset(unsigned pointer_width) const { return pointer_width == 4 ? offset_32 : offset_native; }
};

struct Record {
    std::string_view name;
    size_t size_32;
    size_t size_native;
    std::span<const Field> fields;

    constexpr size_t size(unsigned pointer_width) const { return pointer_width == 4 ? size_32 : size_native; }

    // The field of this name; a name the record lacks does not compile. The first one counts
    // (only reserved runs share a name).
    consteval const Field& field(std::string_view wanted) const {
        for (const Field& f : fields) {
            if (f.name == wanted) return f;
        }
        throw "no such field";
    }
};

#define PANEL_FIELD(name, offset_32, record, member, kind, ...)                 \
    Field {                                                                     \
        name, offset_32, offsetof(record, member), FieldKind::kind, __VA_ARGS__ \
    }

inline constexpr Field linkage_fields[] = {
    PANEL_FIELD("module_id", 0, LinkageRecord, module_id, hex),
    PANEL_FIELD("module_init", 4, LinkageRecord, module_init, function),
    PANEL_FIELD("module_deinit", 8, LinkageRecord, module_deinit, function),
    PANEL_FIELD("reserved1", 12, LinkageRecord, module_reserved1, u32),
    PANEL_FIELD("reserved2", 16, LinkageRecord, module_reserved2, u32),
    PANEL_FIELD("version", 20, LinkageRecord, module_version, hex),
    PANEL_FIELD("gauges", 24, LinkageRecord, gauges, gauge_list),
};

inline constexpr Field import_table_fields[] = {
    PANEL_FIELD("id", 0, ImportTableRecord, panel_services.id, hex),
    PANEL_FIELD("services", 4, ImportTableRecord, panel_services.pointer, pointer),
    PANEL_FIELD("end_id", 8, ImportTableRecord, end.id, u32),
    PANEL_FIELD("end_pointer", 12, ImportTableRecord, end.pointer, pointer),
};

inline constexpr Field gauge_header_fields[] = {
    PANEL_FIELD("version", 0, GaugeHeader, header_version, hex),
    PANEL_FIELD("name", 4, GaugeHeader, gauge_name, name),
    PANEL_FIELD("element_list", 8, GaugeHeader, element_list, element_list),
    PANEL_FIELD("reserved", 12, GaugeHeader, reserved1, zeros, 32),
    PANEL_FIELD("size", 44, GaugeHeader, size_value, u32),
    PANEL_FIELD("reserved", 48, GaugeHeader, reserved2, zeros, 32),
    PANEL_FIELD("mouse_areas", 80, GaugeHeader, mouse_areas, pointer),
    PANEL_FIELD("callback", 84, GaugeHeader, gauge_callback, function),
    PANEL_FIELD("reserved", 88, GaugeHeader, reserved3, zeros, 108),
};

inline constexpr Field element_header_fields[] = {
    PANEL_FIELD("kind", 0, ElementHeader, kind, u32),
    PANEL_FIELD("resource", 4, ElementHeader, resource_id, hex),
    PANEL_FIELD("x", 8, ElementHeader, x, s32),
    PANEL_FIELD("y", 12, ElementHeader, y, s32),
    PANEL_FIELD("reserved", 16, ElementHeader, reserved1, zeros, 16),
    PANEL_FIELD("gauge", 32, ElementHeader, gauge, pointer),
    PANEL_FIELD("previous", 36, ElementHeader, previous, pointer),
    PANEL_FIELD("children", 40, ElementHeader, children, children),
    PANEL_FIELD("fault_list", 44, ElementHeader, fault_list, fault),
    PANEL_FIELD("flags", 48, ElementHeader, flags, hex),
    PANEL_FIELD("reserved", 52, ElementHeader, reserved3, zeros, 8),
};

// The kinds' own fields, after the header.
inline constexpr Field static_image_fields[] = {
    PANEL_FIELD("reserved", 60, StaticImageElement, reserved, zeros, 36),
};

inline constexpr Field string_fields[] = {
    PANEL_FIELD("own", 60, StringElement, own_var, var),
    PANEL_FIELD("second", 88, StringElement, second_var, var),
    PANEL_FIELD("third", 116, StringElement, third_var, var),
    PANEL_FIELD("reserved", 144, StringElement, reserved1, zeros, 40),
    PANEL_FIELD("text", 184, StringElement, text, pointer),
    PANEL_FIELD("reserved", 188, StringElement, reserved2, zeros, 4),
    PANEL_FIELD("box_width", 192, StringElement, box_width, s32),
    PANEL_FIELD("box_height", 196, StringElement, box_height, s32),
    PANEL_FIELD("reserved", 200, StringElement, reserved3, zeros, 8),
    PANEL_FIELD("text_color", 208, StringElement, text_color, hex),
    PANEL_FIELD("color_b", 212, StringElement, color_b, hex),
    PANEL_FIELD("color_c", 216, StringElement, color_c, hex),
    PANEL_FIELD("reserved", 220, StringElement, reserved4, zeros, 28),
    PANEL_FIELD("font", 248, StringElement, font_name, chars32),
    PANEL_FIELD("weight", 280, StringElement, font_weight, u32),
    PANEL_FIELD("charset", 284, StringElement, font_charset, u32),
    PANEL_FIELD("format1", 288, StringElement, format_word1, hex),
    PANEL_FIELD("format2", 292, StringElement, format_word2, hex),
    PANEL_FIELD("reserved", 296, StringElement, reserved5, zeros, 16),
    PANEL_FIELD("callback", 312, StringElement, callback, function),
    PANEL_FIELD("reserved", 316, StringElement, reserved6, zeros, 8),
};

inline constexpr Field icon_fields[] = {
    PANEL_FIELD("own", 60, IconElement, own_var, var),
    PANEL_FIELD("reserved", 88, IconElement, reserved1, zeros, 4),
    PANEL_FIELD("icon_mode", 92, IconElement, icon_mode, u32),
    PANEL_FIELD("reserved", 96, IconElement, reserved2, zeros, 16),
    PANEL_FIELD("frame_count", 112, IconElement, frame_count, u32),
    PANEL_FIELD("reserved", 116, IconElement, reserved3, zeros, 16),
    PANEL_FIELD("callback", 132, IconElement, callback, function),
    PANEL_FIELD("reserved", 136, IconElement, reserved4, zeros, 4),
};

inline constexpr Field slider_fields[] = {
    PANEL_FIELD("x_var", 60, SliderElement, x_var, var),
    PANEL_FIELD("reserved", 88, SliderElement, reserved1, zeros, 4),
    PANEL_FIELD("x_scale", 92, SliderElement, x_scale, f64),
    PANEL_FIELD("reserved", 100, SliderElement, reserved2, zeros, 4),
    PANEL_FIELD("y_var", 104, SliderElement, y_var, var),
    PANEL_FIELD("reserved", 132, SliderElement, reserved3, zeros, 4),
    PANEL_FIELD("y_scale", 136, SliderElement, y_scale, f64),
    PANEL_FIELD("reserved", 144, SliderElement, reserved4, zeros, 24),
    PANEL_FIELD("x_callback", 168, SliderElement, x_callback, function),
    PANEL_FIELD("y_callback", 172, SliderElement, y_callback, function),
    PANEL_FIELD("reserved", 176, SliderElement, reserved5, zeros, 16),
};

inline constexpr Field mouse_rect_fields[] = {
    PANEL_FIELD("kind", 0, MouseRect, area_kind, u32),
    PANEL_FIELD("x", 4, MouseRect, area_x, s32),
    PANEL_FIELD("y", 8, MouseRect, area_y, s32),
    PANEL_FIELD("width", 12, MouseRect, area_width, s32),
    PANEL_FIELD("height", 16, MouseRect, area_height, s32),
    PANEL_FIELD("cursor", 20, MouseRect, cursor, s32),
    PANEL_FIELD("help", 24, MouseRect, help_id, s32),
    PANEL_FIELD("event_flags", 28, MouseRect, event_flags, hex),
    PANEL_FIELD("event_id", 32, MouseRect, event_id, hex),
    PANEL_FIELD("handler", 36, MouseRect, handler, function),
    PANEL_FIELD("reserved", 40, MouseRect, reserved, u32),
};

inline constexpr Field module_var_fields[] = {
    PANEL_FIELD("id", 0, ModuleVar, id, u32),
    PANEL_FIELD("host_pointer", 4, ModuleVar, host_pointer, pointer),
    PANEL_FIELD("host_type", 8, ModuleVar, host_type, u32),
    PANEL_FIELD("value", 12, ModuleVar, value, f64),
    PANEL_FIELD("previous", 20, ModuleVar, previous, f64),
};

#undef PANEL_FIELD

inline constexpr Record linkage{"Linkage", 32, sizeof(LinkageRecord), linkage_fields};
inline constexpr Record import_table{"ImportTable", 16, sizeof(ImportTableRecord), import_table_fields};
inline constexpr Record gauge_header{"GaugeHeader", 196, sizeof(GaugeHeader), gauge_header_fields};
inline constexpr Record element_header{"ElementHeader", 60, sizeof(ElementHeader), element_header_fields};
inline constexpr Record static_image{"StaticImageElement", 96, sizeof(StaticImageElement), static_image_fields};
inline constexpr Record string_element{"StringElement", 324, sizeof(StringElement), string_fields};
inline constexpr Record icon_element{"IconElement", 140, sizeof(IconElement), icon_fields};
inline constexpr Record slider_element{"SliderElement", 192, sizeof(SliderElement), slider_fields};
inline constexpr Record mouse_rect{"MouseRect", 44, sizeof(MouseRect), mouse_rect_fields};
inline constexpr Record module_var{"ModuleVar", 28, sizeof(ModuleVar), module_var_fields};

// The record of an element of this kind beyond its header, or nullptr for a kind there is none of.
constexpr const Record* element_record(uint32_t kind) {
    switch (kind) {
        case ELEMENT_STATIC_IMAGE: return &static_image;
        case ELEMENT_STRING: return &string_element;
        case ELEMENT_ICON: return &icon_element;
        case ELEMENT_SLIDER: return &slider_element;
        default: return nullptr;
    }
}

// Where pointers are 4 bytes wide the structs are the host's record format itself.
consteval bool structs_are_the_format(const Record& record) {
    if (record.size_32 != record.size_native) return false;
    for (const Field& field : record.fields) {
        if (field.offset_32 != field.offset_native) return false;
    }
    return true;
}
static_assert(sizeof(void*) != 4 || (structs_are_the_format(linkage) && structs_are_the_format(import_table) &&
                                     structs_are_the_format(gauge_header) && structs_are_the_format(element_header) &&
                                     structs_are_the_format(static_image) && structs_are_the_format(string_element) &&
                                     structs_are_the_format(icon_element) && structs_are_the_format(slider_element) &&
                                     structs_are_the_format(mouse_rect) && structs_are_the_format(module_var)),
              "a record struct strays from the host's record format");

}  // namespace panel::records
