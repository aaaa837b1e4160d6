#include "gauge_view.h"

#include <unordered_set>
#include <utility>

#include "module_library.h"
#include "text_escape.h"

namespace panel {
namespace {

size_t record_size(uint32_t kind) {
    switch (kind) {
        case ELEMENT_STATIC_IMAGE: return sizeof(StaticImageElement);
        case ELEMENT_STRING: return sizeof(StringElement);
        case ELEMENT_SLIDER: return sizeof(SliderElement);
        case ELEMENT_ICON: return sizeof(IconElement);
        default: return 0;
    }
}

}  // namespace

GaugeView::GaugeView(GaugeHeader& header, const ModuleImage& image, const std::string& module_name)
    : header_(&header), image_(image), where_(module_name + ": gauge") {
    if (!image.holds(&header, sizeof header)) fail(" header is not a whole record in the module");
    if (!image.read_text(header.gauge_name, max_gauge_name, name_)) {
        fail(" name is not a text of at most " + std::to_string(max_gauge_name) + " characters in the module");
    }
    where_ += " " + name_;
    if (header.header_version != GAUGE_HEADER_VERSION) {
        fail(": header version is " + hex_text(header.header_version) + ", expected 0x320");
    }
    if (header.size_value == 0) fail(": header size value is 0");
    check_code(&header.gauge_callback, "gauge callback");

    ElementHeader* root = nullptr;
    if (header.element_list == nullptr || !image.read(header.element_list, root) || root == nullptr) {
        fail(" has no element list");
    }
    walk_elements(root);
    if (header.mouse_areas != nullptr) walk_mouse_list(header.mouse_areas);
}

void GaugeView::fail(const std::string& what) const {
    throw ModuleError(where_ + what);
}

void GaugeView::check_code(const void* field, const std::string& what) const {
    const void* function = nullptr;
    if (!image_.read(field, function)) fail(": " + what + " lies outside the module");
    if (function != nullptr && !image_.holds_code(function)) fail(": " + what + " points outside the module's code");
}

void GaugeView::check_element(ElementHeader* element, size_t number) {
    const std::string which = "element " + std::to_string(number);
    uint32_t kind = 0;
    if (!image_.read(element, kind) || !image_.holds_writable(element, sizeof(ElementHeader))) {
        fail(": " + which + " is not a whole writable record in the module");
    }
    const size_t size = record_size(kind);
    if (size == 0) fail(": " + which + " has unknown kind " + std::to_string(kind));
    // The host writes own variables and text pointers into the record.
    if (!image_.holds_writable(element, size)) fail(": " + which + " is cut short by the end of the module's data");
    switch (kind) {
        case ELEMENT_STRING:
            check_code(&reinterpret_cast<StringElement*>(element)->callback, which + "'s callback");
            break;
        case ELEMENT_ICON: check_code(&reinterpret_cast<IconElement*>(element)->callback, which + "'s callback"); break;
        case ELEMENT_SLIDER:
            check_code(&reinterpret_cast<SliderElement*>(element)->x_callback, which + "'s x callback");
            check_code(&reinterpret_cast<SliderElement*>(element)->y_callback, which + "'s y callback");
            break;
        default: break;
    }
}

void GaugeView::walk_elements(ElementHeader* root) {
    // Depth-first with an explicit stack, so that a deep chain cannot exhaust the host's own.
    std::unordered_set<const ElementHeader*> seen;
    std::vector<std::pair<ElementHeader**, size_t>> pending;  // a child list and the next index
    auto visit = [&](ElementHeader* element) {
        if (elements_.size() == max_gauge_elements) {
            fail(": element tree has more than " + std::to_string(max_gauge_elements) + " elements");
        }
        if (!seen.insert(element).second)
            fail(": element tree is cyclic (element " + std::to_string(elements_.size() + 1) + " is one met before)");
        check_element(element, elements_.size() + 1);
        elements_.push_back(element);
        if (element->children != nullptr) pending.emplace_back(element->children, 0);
    };
    visit(root);
    while (!pending.empty()) {
        auto& [list, index] = pending.back();
        ElementHeader* child = nullptr;
        if (!image_.read(list + index, child)) {
            fail(": a child list of element " + std::to_string(elements_.size()) + " runs out of the module");
        }
        if (child == nullptr) {
            pending.pop_back();
            continue;
        }
        ++index;
        visit(child);
    }
}

void GaugeView::walk_mouse_list(MouseRect* first) {
    int depth = 0;
    for (size_t i = 0;; ++i) {
        if (i == max_mouse_records) fail(": mouse list has no group end within " + std::to_string(i) + " records");
        MouseRect* rect = first + i;
        uint32_t kind = 0;
        if (!image_.read(rect, kind) || !image_.holds(rect, sizeof *rect)) {
            fail(": mouse list has no group end within the module (record " + std::to_string(i) + ")");
        }
        mouse_records_.push_back(rect);
        if (kind == MOUSE_GROUP_START) {
            ++depth;
        } else if (kind == MOUSE_GROUP_END) {
            if (--depth <= 0) return;
        } else if (kind == MOUSE_AREA) {
            check_code(&rect->handler, "mouse record " + std::to_string(i) + "'s handler");
            mouse_areas_.push_back(rect);
            mouse_area_depths_.push_back(depth);
        } else {
            fail(": mouse record " + std::to_string(i) + " has unknown kind " + std::to_string(kind));
        }
    }
}

}  // namespace panel
