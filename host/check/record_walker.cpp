#include "record_walker.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <unordered_map>

#include "record_layout.h"

namespace panel::check {
namespace {

constexpr size_t max_font_weight = 1000;
constexpr uint32_t max_frame_count = 256;

std::string hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

std::string element_at(size_t number) {
    return "element " + std::to_string(number);
}
std::string area_at(size_t number) {
    return "area " + std::to_string(number);
}

class Walker {
public:
    Walker(const ModuleMemory& memory, const RecordLayout& layout, RecordWalk& walk)
        : memory_(memory), layout_(layout), walk_(walk) {}

    void run(uint64_t linkage) {
        const std::optional<uint64_t> header = check_linkage(linkage);
        check_import();
        if (header) check_header(*header);
        check_overlaps();
    }

private:
    void error(const std::string& where, const std::string& what) {
        walk_.findings.push_back({Finding::error, where, what});
    }
    void note(const std::string& where, const std::string& what) {
        walk_.findings.push_back({Finding::note, where, what});
    }

    // Reads of fields within a record the memory holds whole cannot miss; 0 keeps the
    // walker total if one ever does.
    uint32_t u32(uint64_t address) const { return memory_.u32(address).value_or(0); }
    int32_t s32(uint64_t address) const { return memory_.s32(address).value_or(0); }
    uint64_t pointer(uint64_t address) const { return memory_.pointer(address).value_or(0); }

    // The function pointer stored at `field` is set and leads into the module's code.
    void check_function(const std::string& where, uint64_t field, const std::string& name) {
        const uint64_t function = pointer(field);
        if (function == 0) {
            error(where, "has no " + name);
        } else if (!memory_.in_code(function)) {
            error(where, name + " " + hex(function) + " points outside the module's code");
        }
    }

    std::optional<uint64_t> check_linkage(uint64_t linkage) {
        const auto& field = layout_.linkage;
        const uint32_t id = u32(linkage + field.module_id);
        if (id != LINKAGE_MODULE_ID) error("linkage", "module id is " + hex(id) + ", expected 0x13");
        const uint32_t version = u32(linkage + field.module_version);
        if (version != LINKAGE_MODULE_VERSION) error("linkage", "version is " + hex(version) + ", expected 0x800");
        check_function("linkage", linkage + field.module_init, "module_init");
        check_function("linkage", linkage + field.module_deinit, "module_deinit");
        const uint64_t gauge = pointer(linkage + field.gauges);
        if (pointer(linkage + field.gauges + layout_.pointer_width) != 0) {
            error("linkage", "its gauge list has no NULL within the record's 2 slots");
        }
        if (gauge == 0) {
            error("linkage", "lists no gauge");
            return std::nullopt;
        }
        if (!memory_.holds(gauge, layout_.header.size)) {
            error("linkage", "its gauge " + hex(gauge) + " is not a whole header in the module");
            return std::nullopt;
        }
        return gauge;
    }

    void check_import() {
        const auto& field = layout_.import;
        const std::optional<uint64_t> table = memory_.export_address("ImportTable");
        if (!table) {
            error("import", "the module exports no ImportTable record");
            return;
        }
        if (!memory_.holds(*table, field.size)) {
            error("import", "ImportTable is not a whole record in the module");
            return;
        }
        if (!memory_.in_writable(*table, field.size)) {
            error("import", "ImportTable lies in read-only memory, where the host cannot store its service table");
        }
        const uint32_t id = u32(*table + field.id);
        if (id != IMPORT_ID_PANEL_SERVICES) error("import", "names service table " + hex(id) + ", expected 0xF");
        if (u32(*table + field.end_id) != 0 || pointer(*table + field.end_pointer) != 0) {
            error("import", "its end entry is not 0, NULL");
        }
    }

    void check_header(uint64_t header) {
        header_ = header;
        const auto& field = layout_.header;
        const uint32_t version = u32(header + field.version);
        if (version != GAUGE_HEADER_VERSION) error("header", "version is " + hex(version) + ", expected 0x320");
        const uint64_t name = pointer(header + field.name);
        if (name == 0) {
            error("header", "has no gauge name");
        } else if (auto text = memory_.text(name, max_gauge_name_length); !text) {
            error("header", "its gauge name is not a text of at most " + std::to_string(max_gauge_name_length) +
                                " characters in the module");
        } else if (text->empty()) {
            error("header", "its gauge name is empty");
        } else {
            walk_.gauge_name = *text;
        }
        if (u32(header + field.size_value) == 0) error("header", "size value is 0");
        check_function("header", header + field.callback, "gauge callback");

        const uint64_t list = pointer(header + field.element_list);
        const std::optional<uint64_t> root = list != 0 ? memory_.pointer(list) : std::nullopt;
        if (list == 0) {
            error("header", "has no element list");
        } else if (!root) {
            error("header", "its element list " + hex(list) + " lies outside the module");
        } else if (*root == 0) {
            error("header", "its element list holds no root element");
        } else {
            walk_elements(*root);
        }
        // A gauge without mouse areas takes no clicks, which is allowed.
        if (const uint64_t mouse = pointer(header + field.mouse_areas); mouse != 0) walk_mouse_list(mouse);
    }

    size_t record_size(uint32_t kind) const {
        switch (kind) {
            case ELEMENT_STATIC_IMAGE: return layout_.static_image_size;
            case ELEMENT_STRING: return layout_.string.size;
            case ELEMENT_SLIDER: return layout_.slider.size;
            case ELEMENT_ICON: return layout_.icon.size;
            default: return 0;
        }
    }

    // Depth-first, parents before children, as the host draws; an explicit stack, so that a
    // deep chain costs no native stack. Every element met is numbered, readable or not, so
    // that the numbers stay those of the draw order.
    void walk_elements(uint64_t root) {
        struct Pending {
            uint64_t list;  // a child list
            size_t parent;  // the element it belongs to
            size_t index;   // the next entry to read
        };
        std::unordered_map<uint64_t, size_t> seen;  // address -> element number
        std::vector<Pending> pending;
        size_t count = 0;
        const auto visit = [&](uint64_t address) {
            seen.emplace(address, ++count);
            if (const uint64_t children = check_element(address, count); children != 0) {
                pending.push_back({children, count, 0});
            }
        };
        visit(root);
        while (!pending.empty()) {
            const Pending top = pending.back();
            const uint64_t entry = top.list + top.index * layout_.pointer_width;
            const std::optional<uint64_t> child = entry >= top.list ? memory_.pointer(entry) : std::nullopt;
            if (!child) {
                error(element_at(top.parent), "its child list runs out of the module");
                pending.pop_back();
                continue;
            }
            if (*child == 0) {
                pending.pop_back();
                continue;
            }
            ++pending.back().index;
            if (const auto met = seen.find(*child); met != seen.end()) {
                // The elements whose lists are open are exactly the ancestors of this child.
                const bool ancestor = std::any_of(pending.begin(), pending.end(),
                                                  [&](const Pending& open) { return open.parent == met->second; });
                error(element_at(top.parent), "child " + std::to_string(top.index + 1) + " is element " +
                                                  std::to_string(met->second) + " again, so the element tree " +
                                                  (ancestor ? "is cyclic" : "shares an element between two parents"));
                pending.pop_back();
                continue;
            }
            if (count == max_walked_elements) {
                error(element_at(count), "the element tree goes on past " + std::to_string(max_walked_elements) +
                                             " elements; the rest is not read");
                return;
            }
            visit(*child);
        }
    }

    // Checks one element's record; its child list, or 0 when it has none or cannot be read.
    uint64_t check_element(uint64_t address, size_t number) {
        const auto& field = layout_.element;
        const std::string where = element_at(number);
        if (!memory_.holds(address, field.size)) {
            error(where, "is not a whole record in the module (at " + hex(address) + ")");
            return 0;
        }
        WalkedElement element{number,
                              u32(address + field.kind),
                              u32(address + field.resource_id),
                              s32(address + field.x),
                              s32(address + field.y),
                              1};
        const size_t size = record_size(element.kind);
        if (size == 0) {
            error(where, "unknown kind " + std::to_string(element.kind) + " (expected 0, 2, 3 or 4)");
        } else if (!memory_.holds(address, size)) {
            error(where,
                  "is cut short by the end of the module (its kind's record is " + std::to_string(size) + " bytes)");
        } else {
            // The host stores text pointers and the callbacks their flags in the record.
            if (!memory_.in_writable(address, size)) error(where, "lies in read-only memory");
            check_kind_fields(where, address, element);
        }
        const uint64_t gauge = pointer(address + field.gauge);
        if (gauge != header_) {
            error(where, "its gauge pointer does not lead back to its gauge header");
        }
        const uint32_t flags = u32(address + field.flags);
        if (flags != ELEMENT_FLAGS_AT_LOAD) error(where, "flags are " + hex(flags) + " at load, expected 0x83");
        const uint64_t faults = pointer(address + field.fault_list);
        if (faults == 0) {
            note(where, "has no fault list");
        } else if (!memory_.holds(faults, fault_list_bytes)) {
            error(where, "its fault list " + hex(faults) + " is not 12 bytes in the module");
        }
        walk_.elements.push_back(element);
        return pointer(address + field.children);
    }

    void check_kind_fields(const std::string& where, uint64_t address, WalkedElement& element) {
        if (element.kind != ELEMENT_STRING && element.resource_id == NO_BITMAP) {
            error(where, "has no bitmap (resource id -1)");
        }
        switch (element.kind) {
            case ELEMENT_STRING: check_string(where, address); break;
            case ELEMENT_ICON: {
                const auto& field = layout_.icon;
                const uint32_t mode = u32(address + field.icon_mode);
                if (mode != ICON_MODE) error(where, "icon mode is " + std::to_string(mode) + ", expected 3");
                const uint32_t frames = u32(address + field.frame_count);
                if (frames == 0 || frames > max_frame_count) {
                    error(where, "frame count " + std::to_string(frames) + " is outside 1 to " +
                                     std::to_string(max_frame_count));
                } else {
                    element.frame_count = frames;
                }
                check_function(where, address + field.callback, "callback");
                break;
            }
            case ELEMENT_SLIDER:
                check_function(where, address + layout_.slider.x_callback, "x callback");
                check_function(where, address + layout_.slider.y_callback, "y callback");
                break;
            default: break;
        }
    }

    void check_string(const std::string& where, uint64_t address) {
        const auto& field = layout_.string;
        const int32_t width = s32(address + field.box_width), height = s32(address + field.box_height);
        if (width <= 0 || height <= 0) {
            error(where,
                  "text box is " + std::to_string(width) + " x " + std::to_string(height) + "; both must be positive");
        }
        char font[font_name_bytes] = {};
        memory_.read(address + field.font_name, font, sizeof font);
        const void* end = std::memchr(font, '\0', sizeof font);
        if (end == nullptr) {
            error(where, "font name has no NUL within its 32 bytes");
        } else if (end == font) {
            error(where, "font name is empty");
        }
        const uint32_t weight = u32(address + field.font_weight);
        if (weight == 0 || weight > max_font_weight) {
            error(where, "font weight " + std::to_string(weight) + " is outside 1 to 1000");
        }
        check_function(where, address + field.callback, "callback");
    }

    // Records up to the group end that closes the outermost group. Areas are numbered among
    // the records other than group starts and ends, as a face's table numbers them.
    void walk_mouse_list(uint64_t first) {
        const auto& field = layout_.mouse;
        size_t depth = 0, areas = 0;
        for (size_t i = 0;; ++i) {
            const std::string where = area_at(areas + 1);
            if (i == max_walked_mouse_records) {
                error(where, "the mouse list has no group end within " + std::to_string(i) + " records");
                return;
            }
            const uint64_t record = first + i * field.size;
            if (record < first || !memory_.holds(record, field.size)) {
                error(where, "the mouse list runs out of the module without its group end");
                return;
            }
            const uint32_t kind = u32(record + field.kind);
            if (i == 0 && kind != MOUSE_GROUP_START) error(where, "the mouse list does not open with a group start");
            if (kind == MOUSE_GROUP_START) {
                ++depth;
            } else if (kind == MOUSE_GROUP_END) {
                if (depth <= 1) return;
                --depth;
            } else if (kind == MOUSE_AREA) {
                check_area(where, ++areas, record);
            } else {
                // Past a record of no known kind the host cannot tell a list from other data.
                error(where, "kind " + std::to_string(kind) +
                                 " is no mouse record (1, 2 or 3), so the list ends there without its group end");
                return;
            }
        }
    }

    void check_area(const std::string& where, size_t number, uint64_t record) {
        const auto& field = layout_.mouse;
        check_function(where, record + field.handler, "handler");
        const WalkedArea area{number, s32(record + field.x), s32(record + field.y), s32(record + field.width),
                              s32(record + field.height)};
        if (area.width <= 0 || area.height <= 0) {
            error(where, "rectangle " + std::to_string(area.width) + " x " + std::to_string(area.height) + " at (" +
                             std::to_string(area.x) + ", " + std::to_string(area.y) + ") is empty");
            return;
        }
        walk_.areas.push_back(area);
    }

    // Right and bottom edges are exclusive, so areas that share an edge do not overlap. Each
    // area is reported once, with the first earlier area it overlaps.
    void check_overlaps() {
        std::vector<WalkedArea> by_left = walk_.areas;
        std::sort(by_left.begin(), by_left.end(), [](const WalkedArea& a, const WalkedArea& b) { return a.x < b.x; });
        std::map<size_t, size_t> overlapped;  // later area -> earliest area it overlaps
        for (size_t i = 0; i < by_left.size(); ++i) {
            const WalkedArea& a = by_left[i];
            const int64_t right = int64_t{a.x} + a.width;
            for (size_t j = i + 1; j < by_left.size() && by_left[j].x < right; ++j) {
                const WalkedArea& b = by_left[j];
                if (int64_t{b.y} >= int64_t{a.y} + a.height || int64_t{a.y} >= int64_t{b.y} + b.height) continue;
                const size_t later = std::max(a.number, b.number), earlier = std::min(a.number, b.number);
                auto [known, added] = overlapped.emplace(later, earlier);
                if (!added) known->second = std::min(known->second, earlier);
            }
        }
        for (const auto& [later, earlier] : overlapped) {
            error(area_at(later), "overlaps area " + std::to_string(earlier));
        }
    }

    const ModuleMemory& memory_;
    const RecordLayout& layout_;
    RecordWalk& walk_;
    uint64_t header_ = 0;
};

RecordWalk unreadable(const std::string& what) {
    RecordWalk walk;
    walk.readable = false;
    walk.findings.push_back({Finding::error, "", what});
    return walk;
}

}  // namespace

RecordWalk walk_records(const ModuleMemory& memory) {
    const RecordLayout* layout = layout_for(memory.pointer_width());
    if (layout == nullptr) {
        return unreadable("a module with " + std::to_string(memory.pointer_width()) +
                          "-byte pointers, whose records this host cannot read");
    }
    const std::optional<uint64_t> linkage = memory.export_address("Linkage");
    if (!linkage) return unreadable("exports no Linkage record, so it is not a gauge module");
    if (!memory.holds(*linkage, layout->linkage.size)) return unreadable("Linkage is not a whole record in the module");
    RecordWalk walk;
    Walker(memory, *layout, walk).run(*linkage);
    return walk;
}

}  // namespace panel::check
