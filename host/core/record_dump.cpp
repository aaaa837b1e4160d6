#include "record_dump.h"

#include <charconv>
#include <cstddef>
#include <cstring>
#include <map>

#include "service_table.h"
#include "text_escape.h"

namespace panel {
namespace {

constexpr bool pointers_32 = sizeof(void*) == 4;

// The 32-bit offset of the host's record format, or where the native struct keeps the field.
#define AT(offset32, record, member) (pointers_32 ? size_t{offset32} : offsetof(record, member))

enum class Kind {
    u32, s32, hex, f64,
    pointer,   // resolved against the known records
    function,  // set or null
    name,      // pointer to NUL-terminated text
    chars32,   // NUL-padded 32-byte text
    var,       // embedded 28-byte ModuleVar: id, the rest must be zero
    zeros,     // reserved bytes, must all be zero
    children,  // NULL-terminated element pointer array
    fault,     // pointer to the element's own 12 zero bytes
};

struct Field {
    const char* name;
    size_t offset;
    Kind kind;
    size_t bytes = 0;  // zeros
};

const Field linkage_fields[] = {
    {"module_id", AT(0, LinkageRecord, module_id), Kind::hex},
    {"module_init", AT(4, LinkageRecord, module_init), Kind::function},
    {"module_deinit", AT(8, LinkageRecord, module_deinit), Kind::function},
    {"reserved1", AT(12, LinkageRecord, module_reserved1), Kind::u32},
    {"reserved2", AT(16, LinkageRecord, module_reserved2), Kind::u32},
    {"version", AT(20, LinkageRecord, module_version), Kind::hex},
};

const Field import_fields[] = {
    {"id", AT(0, ImportTableRecord, panel_services.id), Kind::hex},
    {"services", AT(4, ImportTableRecord, panel_services.pointer), Kind::pointer},
    {"end_id", AT(8, ImportTableRecord, end.id), Kind::u32},
    {"end_pointer", AT(12, ImportTableRecord, end.pointer), Kind::pointer},
};

const Field header_fields[] = {
    {"version", AT(0, GaugeHeader, header_version), Kind::hex},
    {"name", AT(4, GaugeHeader, gauge_name), Kind::name},
    {"reserved", AT(12, GaugeHeader, reserved1), Kind::zeros, 32},
    {"size", AT(44, GaugeHeader, size_value), Kind::u32},
    {"reserved", AT(48, GaugeHeader, reserved2), Kind::zeros, 32},
    {"mouse_areas", AT(80, GaugeHeader, mouse_areas), Kind::pointer},
    {"callback", AT(84, GaugeHeader, gauge_callback), Kind::function},
    {"reserved", AT(88, GaugeHeader, reserved3), Kind::zeros, 108},
};
const size_t header_mouse_areas = AT(80, GaugeHeader, mouse_areas);

const size_t element_kind = AT(0, ElementHeader, kind);

const Field element_fields[] = {
    {"kind", AT(0, ElementHeader, kind), Kind::u32},
    {"resource", AT(4, ElementHeader, resource_id), Kind::hex},
    {"x", AT(8, ElementHeader, x), Kind::s32},
    {"y", AT(12, ElementHeader, y), Kind::s32},
    {"reserved", AT(16, ElementHeader, reserved1), Kind::zeros, 16},
    {"gauge", AT(32, ElementHeader, gauge), Kind::pointer},
    {"previous", AT(36, ElementHeader, previous), Kind::pointer},
    {"children", AT(40, ElementHeader, children), Kind::children},
    {"fault_list", AT(44, ElementHeader, fault_list), Kind::fault},
    {"flags", AT(48, ElementHeader, flags), Kind::hex},
    {"reserved", AT(52, ElementHeader, reserved3), Kind::zeros, 8},
};

const Field static_image_fields[] = {
    {"reserved", AT(60, StaticImageElement, reserved), Kind::zeros, 36},
};

const Field string_fields[] = {
    {"own", AT(60, StringElement, own_var), Kind::var},
    {"second", AT(88, StringElement, second_var), Kind::var},
    {"third", AT(116, StringElement, third_var), Kind::var},
    {"reserved", AT(144, StringElement, reserved1), Kind::zeros, 40},
    {"text", AT(184, StringElement, text), Kind::pointer},
    {"reserved", AT(188, StringElement, reserved2), Kind::zeros, 4},
    {"box_width", AT(192, StringElement, box_width), Kind::s32},
    {"box_height", AT(196, StringElement, box_height), Kind::s32},
    {"reserved", AT(200, StringElement, reserved3), Kind::zeros, 8},
    {"text_color", AT(208, StringElement, text_color), Kind::hex},
    {"color_b", AT(212, StringElement, color_b), Kind::hex},
    {"color_c", AT(216, StringElement, color_c), Kind::hex},
    {"reserved", AT(220, StringElement, reserved4), Kind::zeros, 28},
    {"font", AT(248, StringElement, font_name), Kind::chars32},
    {"weight", AT(280, StringElement, font_weight), Kind::u32},
    {"charset", AT(284, StringElement, font_charset), Kind::u32},
    {"format1", AT(288, StringElement, format_word1), Kind::hex},
    {"format2", AT(292, StringElement, format_word2), Kind::hex},
    {"reserved", AT(296, StringElement, reserved5), Kind::zeros, 16},
    {"callback", AT(312, StringElement, callback), Kind::function},
    {"reserved", AT(316, StringElement, reserved6), Kind::zeros, 8},
};

const Field icon_fields[] = {
    {"own", AT(60, IconElement, own_var), Kind::var},
    {"reserved", AT(88, IconElement, reserved1), Kind::zeros, 4},
    {"icon_mode", AT(92, IconElement, icon_mode), Kind::u32},
    {"reserved", AT(96, IconElement, reserved2), Kind::zeros, 16},
    {"frame_count", AT(112, IconElement, frame_count), Kind::u32},
    {"reserved", AT(116, IconElement, reserved3), Kind::zeros, 16},
    {"callback", AT(132, IconElement, callback), Kind::function},
    {"reserved", AT(136, IconElement, reserved4), Kind::zeros, 4},
};

const Field slider_fields[] = {
    {"x_var", AT(60, SliderElement, x_var), Kind::var},
    {"reserved", AT(88, SliderElement, reserved1), Kind::zeros, 4},
    {"x_scale", AT(92, SliderElement, x_scale), Kind::f64},
    {"reserved", AT(100, SliderElement, reserved2), Kind::zeros, 4},
    {"y_var", AT(104, SliderElement, y_var), Kind::var},
    {"reserved", AT(132, SliderElement, reserved3), Kind::zeros, 4},
    {"y_scale", AT(136, SliderElement, y_scale), Kind::f64},
    {"reserved", AT(144, SliderElement, reserved4), Kind::zeros, 24},
    {"x_callback", AT(168, SliderElement, x_callback), Kind::function},
    {"y_callback", AT(172, SliderElement, y_callback), Kind::function},
    {"reserved", AT(176, SliderElement, reserved5), Kind::zeros, 16},
};

const Field mouse_fields[] = {
    {"kind", AT(0, MouseRect, area_kind), Kind::u32},
    {"x", AT(4, MouseRect, area_x), Kind::s32},
    {"y", AT(8, MouseRect, area_y), Kind::s32},
    {"width", AT(12, MouseRect, area_width), Kind::s32},
    {"height", AT(16, MouseRect, area_height), Kind::s32},
    {"cursor", AT(20, MouseRect, cursor), Kind::s32},
    {"help", AT(24, MouseRect, help_id), Kind::s32},
    {"event_flags", AT(28, MouseRect, event_flags), Kind::hex},
    {"event_id", AT(32, MouseRect, event_id), Kind::hex},
    {"handler", AT(36, MouseRect, handler), Kind::function},
    {"reserved", AT(40, MouseRect, reserved), Kind::u32},
};

// ModuleVar, inside its record.
const size_t var_id = AT(0, ModuleVar, id);
const size_t var_after_id = AT(4, ModuleVar, host_pointer);
const size_t var_size = pointers_32 ? 28 : sizeof(ModuleVar);

#undef AT

const char* bytes(const void* record) { return static_cast<const char*>(record); }

template <typename T>
T load(const void* record, size_t offset) {
    T value;
    std::memcpy(&value, bytes(record) + offset, sizeof value);
    return value;
}

const void* load_pointer(const void* record, size_t offset) { return load<const void*>(record, offset); }

bool all_zero(const void* start, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (bytes(start)[i] != 0) return false;
    }
    return true;
}

std::string hex(uint32_t value) {
    char text[16];
    auto end = std::to_chars(text, text + sizeof text, value, 16).ptr;
    return "0x" + std::string(text, end);
}

class Dumper {
public:
    Dumper(const LoadedModule& module, const GaugeView& view) : module_(module), view_(view) {}

    std::vector<std::string> run() {
        const void* linkage = &module_.linkage();
        const void* import_table = &module_.import_table();
        names_[import_table] = "import_table";
        names_[host_service_table()] = "host_table";
        const void* header = &view_.header();
        names_[header] = "header";
        for (size_t i = 0; i < view_.elements().size(); ++i) {
            names_[view_.elements()[i]] = "element " + std::to_string(i + 1);
        }
        const void* mouse = load_pointer(header, header_mouse_areas);
        if (mouse != nullptr) names_[mouse] = "mouse_list";

        // The loader has checked that the record's one gauge is followed by its NULL.
        lines_.push_back("linkage" + describe(linkage, linkage_fields) + " gauges=1");
        lines_.push_back("import" + describe(import_table, import_fields));
        lines_.push_back("header" + describe(header, header_fields) + " element_list=element 1");
        for (size_t i = 0; i < view_.elements().size(); ++i) lines_.push_back(describe_element(i));
        for (size_t i = 0; i < view_.mouse_records().size(); ++i) {
            lines_.push_back("mouse " + std::to_string(i) + describe(view_.mouse_records()[i], mouse_fields));
        }
        return lines_;
    }

private:
    std::string describe_element(size_t index) {
        const void* element = view_.elements()[index];
        std::string line = "element " + std::to_string(index + 1) + describe(element, element_fields);
        switch (load<uint32_t>(element, element_kind)) {
            case ELEMENT_STATIC_IMAGE: line += describe(element, static_image_fields); break;
            case ELEMENT_STRING: line += describe(element, string_fields); break;
            case ELEMENT_ICON: line += describe(element, icon_fields); break;
            case ELEMENT_SLIDER: line += describe(element, slider_fields); break;
            default: line += " unknown-kind"; break;
        }
        return line;
    }

    template <size_t N>
    std::string describe(const void* record, const Field (&fields)[N]) {
        std::string line;
        for (const Field& field : fields) {
            std::string value = describe(record, field);
            if (value.empty()) continue;
            line += ' ';
            line += field.name;
            line += '=';
            line += value;
        }
        return line;
    }

    // Empty for reserved bytes that are all zero, so that lines list only what matters.
    std::string describe(const void* record, const Field& field) {
        const char* at = bytes(record) + field.offset;
        switch (field.kind) {
            case Kind::u32: return std::to_string(load<uint32_t>(at, 0));
            case Kind::s32: return std::to_string(load<int32_t>(at, 0));
            case Kind::hex: return hex(load<uint32_t>(at, 0));
            case Kind::f64: return format_double(load<double>(at, 0));
            case Kind::pointer: return pointer_name(load_pointer(at, 0));
            case Kind::function: return load_pointer(at, 0) ? "set" : "null";
            case Kind::name: {
                const char* text = static_cast<const char*>(load_pointer(at, 0));
                return text ? quote_text(text) : "null";
            }
            case Kind::chars32: {
                size_t length = strnlen(at, 32);
                std::string text = quote_text(std::string(at, length));
                if (length < 32 && !all_zero(at + length, 32 - length)) text += "+padding-not-zero";
                return text;
            }
            case Kind::var: {
                std::string text = std::to_string(load<uint32_t>(at, var_id));
                if (!all_zero(at + var_after_id, var_size - var_after_id)) text += "+not-zero";
                return text;
            }
            case Kind::zeros: {
                if (all_zero(at, field.bytes)) return "";
                std::string text;
                for (size_t i = 0; i < field.bytes; i += 4) {
                    text += (i ? "," : "") + hex(load<uint32_t>(at, i));
                }
                return text;
            }
            case Kind::children: {
                // The view has walked every child list to its NULL.
                const void* const* list = static_cast<const void* const*>(load_pointer(at, 0));
                if (list == nullptr) return "null";
                std::string text = "[";
                for (size_t i = 0; list[i] != nullptr; ++i) {
                    text += (i ? "," : "") + pointer_name(list[i]);
                }
                return text + "]";
            }
            case Kind::fault: {
                const void* block = load_pointer(at, 0);
                if (block == nullptr) return "null";
                char zeros[12];
                if (!module_.library().image().read(block, zeros)) return "outside-module";
                std::string text = all_zero(zeros, sizeof zeros) ? "zero" : "not-zero";
                if (!fault_blocks_.emplace(block, record).second) text += "+shared";
                return text;
            }
        }
        return "?";
    }

    std::string pointer_name(const void* pointer) const {
        if (pointer == nullptr) return "null";
        auto found = names_.find(pointer);
        return found == names_.end() ? "unknown" : found->second;
    }

    const LoadedModule& module_;
    const GaugeView& view_;
    std::map<const void*, std::string> names_;
    std::map<const void*, const void*> fault_blocks_;
    std::vector<std::string> lines_;
};

}  // namespace

std::vector<std::string> dump_records(const LoadedModule& module, const GaugeView& view) {
    return Dumper(module, view).run();
}

}  // namespace panel
