#include "gauge_view.h"

#include <algorithm>

#include "module_library.h"

namespace panel {
namespace {

// Far more than any face holds; a walk that goes further has met a cycle or garbage.
constexpr size_t max_elements = 4096;
constexpr size_t max_mouse_records = 4096;
constexpr int max_depth = 4096;

bool known_kind(uint32_t kind) {
    return kind == ELEMENT_STATIC_IMAGE || kind == ELEMENT_STRING || kind == ELEMENT_SLIDER ||
           kind == ELEMENT_ICON;
}

}  // namespace

GaugeView::GaugeView(GaugeHeader& header, const std::string& module_name) : header_(&header) {
    const std::string where = module_name + ": gauge " + name();
    if (header.element_list == nullptr || *header.element_list == nullptr) {
        throw ModuleError(where + " has no element list");
    }
    walk(*header.element_list, module_name, 0);

    if (header.mouse_areas != nullptr) {
        int open_groups = 0;
        for (size_t i = 0;; ++i) {
            if (i == max_mouse_records) throw ModuleError(where + ": mouse list has no group end");
            MouseRect& rect = header.mouse_areas[i];
            if (rect.area_kind == MOUSE_GROUP_START) {
                ++open_groups;
            } else if (rect.area_kind == MOUSE_GROUP_END) {
                if (--open_groups <= 0) break;
            } else if (rect.area_kind == MOUSE_AREA) {
                mouse_areas_.push_back(&rect);
            } else {
                throw ModuleError(where + ": mouse record " + std::to_string(i) + " has unknown kind " +
                                  std::to_string(rect.area_kind));
            }
        }
    }
}

void GaugeView::walk(ElementHeader* element, const std::string& module_name, int depth) {
    const std::string where = module_name + ": gauge " + name();
    if (depth > max_depth || elements_.size() >= max_elements) {
        throw ModuleError(where + ": element tree too deep or cyclic");
    }
    if (std::find(elements_.begin(), elements_.end(), element) != elements_.end()) {
        throw ModuleError(where + ": element tree is cyclic");
    }
    if (!known_kind(element->kind)) {
        throw ModuleError(where + ": element " + std::to_string(elements_.size() + 1) + " has unknown kind " +
                          std::to_string(element->kind));
    }
    elements_.push_back(element);
    if (element->children == nullptr) return;
    for (ElementHeader** child = element->children; *child != nullptr; ++child) {
        walk(*child, module_name, depth + 1);
    }
}

}  // namespace panel
