// One gauge's records as the host reads them: its header, its elements in draw order and its
// clickable mouse areas. Built once when the gauge is opened; the records are checked then.
#pragma once

#include <string>
#include <vector>

#include "gauge_records.h"

namespace panel {

class GaugeView {
public:
    // Throws ModuleError (prefixed with `module_name`) when the records are malformed.
    GaugeView(GaugeHeader& header, const std::string& module_name);

    GaugeHeader& header() const { return *header_; }
    std::string name() const { return header_->gauge_name ? header_->gauge_name : ""; }
    // Depth-first, parents before children: the draw and update order.
    const std::vector<ElementHeader*>& elements() const { return elements_; }
    // The clickable areas (kind 2) of the list, in list order.
    const std::vector<MouseRect*>& mouse_areas() const { return mouse_areas_; }

private:
    void walk(ElementHeader* element, const std::string& module_name, int depth);

    GaugeHeader* header_;
    std::vector<ElementHeader*> elements_;
    std::vector<MouseRect*> mouse_areas_;
};

}  // namespace panel
