// Where the host reads each field of each record, for one pointer width. A 32-bit module is
// read at the host's own offsets, written out apart from the structs in record_fields.h; a
// native 64-bit module keeps the same field order at the offsets its compiler gave the structs.
// The walker reads fields at these numbers and never through a struct pointer into module
// memory.
#pragma once

#include <cstddef>
#include <string_view>

#include "gauge_records.h"
#include "record_fields.h"

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

// The offsets the walker reads, taken from the one table of every record's fields.
consteval RecordLayout layout_of_width(unsigned width) {
    using namespace records;
    const auto at = [width](const Record& record, std::string_view name) consteval {
        return record.field(name).offset(width);
    };
    return {
        .pointer_width = width,
        // clang-format off
        .linkage = {.module_id = at(linkage, "module_id"), .module_init = at(linkage, "module_init"),
                    .module_deinit = at(linkage, "module_deinit"), .module_version = at(linkage, "version"),
                    .gauges = at(linkage, "gauges"), .size = linkage.size(width)},
        .import = {.id = at(import_table, "id"), .pointer = at(import_table, "services"),
                   .end_id = at(import_table, "end_id"), .end_pointer = at(import_table, "end_pointer"),
                   // clang-format on
                   .size = import_table.size(width)},
        .header = {.version = at(gauge_header, "version"),
                   .name = at(gauge_header, "name"),
                   .element_list = at(gauge_header, "element_list"),
                   .size_value = at(gauge_header, "size"),
                   .mouse_areas = at(gauge_header, "mouse_areas"),
                   .callback = at(gauge_header, "callback"),
                   .size = gauge_header.size(width)},
        .element = {.kind = at(element_header, "kind"),
                    .resource_id = at(element_header, "resource"),
                    .x = at(element_header, "x"),
                    .y = at(element_header, "y"),
                    .gauge = at(element_header, "gauge"),
                    .children = at(element_header, "children"),
                    .fault_list = at(element_header, "fault_list"),
                    .flags = at(element_header, "flags"),
                    .size = element_header.size(width)},
        .static_image_size = static_image.size(width),
        // clang-format off
        .string = {.box_width = at(string_element, "box_width"), .box_height = at(string_element, "box_height"),
                   .font_name = at(string_element, "font"), .font_weight = at(string_element, "weight"),
                   .callback = at(string_element, "callback"), .size = string_element.size(width)},
        .icon = {.icon_mode = at(icon_element, "icon_mode"), .frame_count = at(icon_element, "frame_count"),
                 .callback = at(icon_element, "callback"), .size = icon_element.size(width)},
        .slider = {.x_callback = at(slider_element, "x_callback"), .y_callback = at(slider_element, "y_callback"),
                   // clang-format on
                   .size = slider_element.size(width)},
        .mouse = {.kind = at(mouse_rect, "kind"),
                  .x = at(mouse_rect, "x"),
                  .y = at(mouse_rect, "y"),
                  .width = at(mouse_rect, "width"),
                  .height = at(mouse_rect, "height"),
                  .handler = at(mouse_rect, "handler"),
                  .size = mouse_rect.size(width)},
    };
}

inline constexpr RecordLayout layout_32 = layout_of_width(4);
inline constexpr RecordLayout layout_native = layout_of_width(sizeof(void*));

// The layout for a module of this pointer width, or nullptr when none is known: a 32-bit
// module anywhere, a wider one only where it matches this build's own pointers.
inline const RecordLayout* layout_for(unsigned pointer_width) {
    if (pointer_width == layout_native.pointer_width) return &layout_native;
    if (pointer_width == 4) return &layout_32;
    return nullptr;
}

}  // namespace panel::check
