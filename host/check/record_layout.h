// Where the host reads each field of each record, for one pointer width. A 32-bit module is
// read at the host's own offsets, written out here apart from the structs; a native 64-bit
// module keeps the same field order at the offsets its compiler gave the structs. The walker
// reads fields at these numbers and never through a struct pointer into module memory.
#pragma once

#include <cstddef>

#include "gauge_records.h"

namespace panel::check {

struct RecordLayout {
    unsigned pointer_width;
    struct {
        size_t module_id, module_init, module_deinit, module_version, gauges, size;
    } linkage;
    struct {
        size_t id, pointer, end_id, end_pointer, size;
    } import;
    struct {
        size_t version, name, element_list, size_value, mouse_areas, callback, size;
    } header;
    struct {
        size_t kind, resource_id, x, y, gauge, children, fault_list, flags, size;
    } element;
    size_t static_image_size;
    struct {
        size_t box_width, box_height, font_name, font_weight, callback, size;
    } string;
    struct {
        size_t icon_mode, frame_count, callback, size;
    } icon;
    struct {
        size_t x_callback, y_callback, size;
    } slider;
    struct {
        size_t kind, x, y, width, height, handler, size;
    } mouse;
};

inline constexpr size_t font_name_bytes = 32;
inline constexpr size_t fault_list_bytes = 12;

inline constexpr RecordLayout layout_32 = {
    .pointer_width = 4,
    .linkage = {.module_id = 0, .module_init = 4, .module_deinit = 8, .module_version = 20, .gauges = 24,
                .size = 32},
    .import = {.id = 0, .pointer = 4, .end_id = 8, .end_pointer = 12, .size = 16},
    .header = {.version = 0, .name = 4, .element_list = 8, .size_value = 44, .mouse_areas = 80,
               .callback = 84, .size = 196},
    .element = {.kind = 0, .resource_id = 4, .x = 8, .y = 12, .gauge = 32, .children = 40, .fault_list = 44,
                .flags = 48, .size = 60},
    .static_image_size = 96,
    .string = {.box_width = 192, .box_height = 196, .font_name = 248, .font_weight = 280, .callback = 312,
               .size = 324},
    .icon = {.icon_mode = 92, .frame_count = 112, .callback = 132, .size = 140},
    .slider = {.x_callback = 168, .y_callback = 172, .size = 192},
    .mouse = {.kind = 0, .x = 4, .y = 8, .width = 12, .height = 16, .handler = 36, .size = 44},
};

inline constexpr RecordLayout layout_native = {
    .pointer_width = sizeof(void*),
    .linkage = {.module_id = offsetof(LinkageRecord, module_id),
                .module_init = offsetof(LinkageRecord, module_init),
                .module_deinit = offsetof(LinkageRecord, module_deinit),
                .module_version = offsetof(LinkageRecord, module_version),
                .gauges = offsetof(LinkageRecord, gauges),
                .size = sizeof(LinkageRecord)},
    .import = {.id = offsetof(ImportTableRecord, panel_services.id),
               .pointer = offsetof(ImportTableRecord, panel_services.pointer),
               .end_id = offsetof(ImportTableRecord, end.id),
               .end_pointer = offsetof(ImportTableRecord, end.pointer),
               .size = sizeof(ImportTableRecord)},
    .header = {.version = offsetof(GaugeHeader, header_version),
               .name = offsetof(GaugeHeader, gauge_name),
               .element_list = offsetof(GaugeHeader, element_list),
               .size_value = offsetof(GaugeHeader, size_value),
               .mouse_areas = offsetof(GaugeHeader, mouse_areas),
               .callback = offsetof(GaugeHeader, gauge_callback),
               .size = sizeof(GaugeHeader)},
    .element = {.kind = offsetof(ElementHeader, kind),
                .resource_id = offsetof(ElementHeader, resource_id),
                .x = offsetof(ElementHeader, x),
                .y = offsetof(ElementHeader, y),
                .gauge = offsetof(ElementHeader, gauge),
                .children = offsetof(ElementHeader, children),
                .fault_list = offsetof(ElementHeader, fault_list),
                .flags = offsetof(ElementHeader, flags),
                .size = sizeof(ElementHeader)},
    .static_image_size = sizeof(StaticImageElement),
    .string = {.box_width = offsetof(StringElement, box_width),
               .box_height = offsetof(StringElement, box_height),
               .font_name = offsetof(StringElement, font_name),
               .font_weight = offsetof(StringElement, font_weight),
               .callback = offsetof(StringElement, callback),
               .size = sizeof(StringElement)},
    .icon = {.icon_mode = offsetof(IconElement, icon_mode),
             .frame_count = offsetof(IconElement, frame_count),
             .callback = offsetof(IconElement, callback),
             .size = sizeof(IconElement)},
    .slider = {.x_callback = offsetof(SliderElement, x_callback),
               .y_callback = offsetof(SliderElement, y_callback),
               .size = sizeof(SliderElement)},
    .mouse = {.kind = offsetof(MouseRect, area_kind),
              .x = offsetof(MouseRect, area_x),
              .y = offsetof(MouseRect, area_y),
              .width = offsetof(MouseRect, area_width),
              .height = offsetof(MouseRect, area_height),
              .handler = offsetof(MouseRect, handler),
              .size = sizeof(MouseRect)},
};

// The layout for a module of this pointer width, or nullptr when none is known: a 32-bit
// module anywhere, a wider one only where it matches this build's own pointers.
inline const RecordLayout* layout_for(unsigned pointer_width) {
    if (pointer_width == layout_native.pointer_width) return &layout_native;
    if (pointer_width == 4) return &layout_32;
    return nullptr;
}

}  // namespace panel::check
