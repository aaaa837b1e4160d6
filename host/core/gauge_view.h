// One gauge's records as the host reads them: its header, its elements in draw order and its
// mouse list. Built once when the gauge is opened; every record is checked then, within what
// the module's memory holds, so that later calls can trust them.
#pragma once

#include <string>
#include <vector>

#include "gauge_records.h"
#include "module_image.h"

namespace panel {

// Far more than any face holds; a longer walk has met a cycle or garbage.
inline constexpr size_t max_gauge_elements = 10000;
inline constexpr size_t max_mouse_records = 10000;
inline constexpr size_t max_gauge_name = 256;

class GaugeView {
public:
    // Throws ModuleError ("MODULE: gauge NAME: what is wrong") when a record is malformed.
    GaugeView(GaugeHeader& header, const ModuleImage& image, const std::string& module_name);

    GaugeHeader& header() const { return *header_; }
    const std::string& name() const { return name_; }
    // Depth-first, parents before children: the draw and update order.
    const std::vector<ElementHeader*>& elements() const { return elements_; }
    // Every record of the mouse list up to the group end that closes it, in list order.
    const std::vector<MouseRect*>& mouse_records() const { return mouse_records_; }
    // The clickable areas (kind 2) of the list, in list order, and the depth of the group
    // each lies in (1 for the outermost).
    const std::vector<MouseRect*>& mouse_areas() const { return mouse_areas_; }
    const std::vector<int>& mouse_area_depths() const { return mouse_area_depths_; }

private:
    void walk_elements(ElementHeader* root);
    void walk_mouse_list(MouseRect* first);
    void check_element(ElementHeader* element, size_t number);
    // The function pointer stored at `field` is NULL or points into the module's code.
    void check_code(const void* field, const std::string& what) const;
    [[noreturn]] void fail(const std::string& what) const;

    GaugeHeader* header_;
    const ModuleImage& image_;
    std::string where_;
    std::string name_;
    std::vector<ElementHeader*> elements_;
    std::vector<MouseRect*> mouse_records_;
    std::vector<MouseRect*> mouse_areas_;
    std::vector<int> mouse_area_depths_;
};

}  // namespace panel
