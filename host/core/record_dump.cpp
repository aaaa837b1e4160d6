#include "record_dump.h"

#include <charconv>
#include <cstddef>
#include <cstring>
#include <map>

#include "record_fields.h"
#include "service_table.h"
#include "text_escape.h"

namespace panel {
namespace {

using records::Field;
using records::FieldKind;

// A 32-bit build reads at the host's record format, a wider one where its structs keep the field.
constexpr size_t offset_of(const Field& field) {
    return field.offset(sizeof(void*));
}

constexpr const Field& header_mouse_areas = records::gauge_header.field("mouse_areas");
constexpr const Field& element_kind = records::element_header.field("kind");
// ModuleVar, inside its record.
constexpr const Field& var_id = records::module_var.field("id");
constexpr const Field& var_after_id = records::module_var.field("host_pointer");

const char* bytes(const void* record) {
    return static_cast<const char*>(record);
}

template <typename T>
T load(const void* record, size_t offset) {
    T value;
    std::memcpy(&value, bytes(record) + offset, sizeof value);
    return value;
}

const void* load_pointer(const void* record, size_t offset) {
    return load<const void*>(record, offset);
}

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
        const void* mouse = load_pointer(header, offset_of(header_mouse_areas));
        if (mouse != nullptr) names_[mouse] = "mouse_list";

        // The loader has checked that the record's one gauge is followed by its NULL, and the
        // element list; the lines name them last.
        lines_.push_back("linkage" + describe(linkage, records::linkage) + " gauges=1");
        lines_.push_back("import" + describe(import_table, records::import_table));
        lines_.push_back("header" + describe(header, records::gauge_header) + " element_list=element 1");
        for (size_t i = 0; i < view_.elements().size(); ++i) lines_.push_back(describe_element(i));
        for (size_t i = 0; i < view_.mouse_records().size(); ++i) {
            lines_.push_back("mouse " + std::to_string(i) + describe(view_.mouse_records()[i], records::mouse_rect));
        }
        return lines_;
    }

private:
    std::string describe_element(size_t index) {
        const void* element = view_.elements()[index];
        std::string line = "element " + std::to_string(index + 1) + describe(element, records::element_header);
        const records::Record* own = records::element_record(load<uint32_t>(element, offset_of(element_kind)));
        return line + (own != nullptr ? describe(element, *own) : " unknown-kind");
    }

    std::string describe(const void* record, const records::Record& layout) {
        std::string line;
        for (const Field& field : layout.fields) {
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
        const char* at = bytes(record) + offset_of(field);
        switch (field.kind) {
            case FieldKind::u32: return std::to_string(load<uint32_t>(at, 0));
            case FieldKind::s32: return std::to_string(load<int32_t>(at, 0));
            case FieldKind::hex: return hex(load<uint32_t>(at, 0));
            case FieldKind::f64: return format_double(load<double>(at, 0));
            case FieldKind::pointer: return pointer_name(load_pointer(at, 0));
            case FieldKind::function: return load_pointer(at, 0) ? "set" : "null";
            case FieldKind::name: {
                const char* text = static_cast<const char*>(load_pointer(at, 0));
                return text ? quote_text(text) : "null";
            }
            case FieldKind::chars32: {
                size_t length = strnlen(at, 32);
                std::string text = quote_text(std::string(at, length));
                if (length < 32 && !all_zero(at + length, 32 - length)) text += "+padding-not-zero";
                return text;
            }
            case FieldKind::var: {
                std::string text = std::to_string(load<uint32_t>(at, offset_of(var_id)));
                const size_t rest = offset_of(var_after_id);
                if (!all_zero(at + rest, records::module_var.size(sizeof(void*)) - rest)) text += "+not-zero";
                return text;
            }
            case FieldKind::gauge_list:
            case FieldKind::element_list: return "";
            case FieldKind::zeros: {
                if (all_zero(at, field.bytes)) return "";
                std::string text;
                for (size_t i = 0; i < field.bytes; i += 4) {
                    text += (i ? "," : "") + hex(load<uint32_t>(at, i));
                }
                return text;
            }
            case FieldKind::children: {
                // The view has walked every child list to its NULL.
                const void* const* list = static_cast<const void* const*>(load_pointer(at, 0));
                if (list == nullptr) return "null";
                std::string text = "[";
                for (size_t i = 0; list[i] != nullptr; ++i) {
                    text += (i ? "," : "") + pointer_name(list[i]);
                }
                return text + "]";
            }
            case FieldKind::fault: {
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
