// One gauge as the rest of the host sees it: plain values, never a module's pointers. Its
// records as read at load (what the renderer, the mouse and the tools need), and after each
// call the state of every element. The gauge may run in this process (InProcessGauge) or in
// another one that answers the same questions.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "event_log.h"
#include "gauge_records.h"
#include "variable_store.h"

namespace panel {

// One display element's record, as read at load.
struct ElementRecord {
    uint32_t kind = 0;
    uint32_t resource_id = NO_BITMAP;
    int32_t x = 0;
    int32_t y = 0;
    uint32_t flags = 0;         // at load
    uint32_t own_variable = 0;  // its id; 0 for none
    uint32_t frame_count = 0;   // icons
    // Strings.
    int32_t box_width = 0;
    int32_t box_height = 0;
    uint32_t text_color = 0;  // COLORREF 0x00BBGGRR
    uint32_t color_b = 0;
    uint32_t color_c = 0;
    std::string font_name;
    uint32_t font_weight = 0;
    uint32_t font_charset = 0;
    // Sliders: pixels per unit of the x and y results.
    double x_scale = 0.0;
    double y_scale = 0.0;
};

// ElementRecord's fields in order, each with the module record field it is read from
// (record_fields.h): the header's for every kind, else the string's, the icon's or the
// slider's; "" where an element of that kind has none, and the field keeps its default. The
// loader fills them, and the bridge carries them, by this list.
#define PANEL_ELEMENT_RECORD_FIELDS(X)                                 \
    /* member       every kind  string        icon           slider */ \
    X(kind, "kind", "", "", "")                                        \
    X(resource_id, "resource", "", "", "")                             \
    X(x, "x", "", "", "")                                              \
    X(y, "y", "", "", "")                                              \
    X(flags, "flags", "", "", "")                                      \
    X(own_variable, "", "own", "own", "x_var")                         \
    X(frame_count, "", "", "frame_count", "")                          \
    X(box_width, "", "box_width", "", "")                              \
    X(box_height, "", "box_height", "", "")                            \
    X(text_color, "", "text_color", "", "")                            \
    X(color_b, "", "color_b", "", "")                                  \
    X(color_c, "", "color_c", "", "")                                  \
    X(font_name, "", "font", "", "")                                   \
    X(font_weight, "", "weight", "", "")                               \
    X(font_charset, "", "charset", "", "")                             \
    X(x_scale, "", "", "", "x_scale")                                  \
    X(y_scale, "", "", "", "y_scale")

// MouseAreaRecord's fields in order, as the bridge carries them.
#define PANEL_MOUSE_AREA_RECORD_FIELDS(X) \
    X(x) X(y) X(width) X(height) X(cursor) X(help_id) X(event_flags) X(event_id) X(has_handler) X(group_depth)

// One clickable area of the mouse list.
struct MouseAreaRecord {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t cursor = 0;
    int32_t help_id = 0;
    uint32_t event_flags = 0;  // the click classes the area takes
    uint32_t event_id = 0;
    bool has_handler = false;
    int group_depth = 1;  // 1 for an area of the outermost group
};

struct GaugeRecords {
    std::string module;  // the file it came from
    std::string name;    // the gauge's own name
    uint32_t size_value = 0;
    std::vector<ElementRecord> elements;       // draw order; element n is elements[n - 1]
    std::vector<MouseAreaRecord> mouse_areas;  // clickable areas, list order
};

// One element as the last element pass left it. Flags are current after every call.
struct ElementState {
    uint32_t flags = 0;
    double value = 0.0;    // the frame (icons), the value (strings), the x position value (sliders)
    double y_value = 0.0;  // sliders
    std::array<char, GAUGE_TEXT_CAPACITY> text{};  // strings; always NUL-terminated

    bool hidden() const { return (flags & ELEMENT_HIDDEN) != 0; }
    bool lit() const { return (flags & ELEMENT_LIT) != 0; }
    std::string_view text_view() const { return text.data(); }
};

// Where a call's service requests are answered from and noted.
struct HostCalls {
    const VariableStore& variables;
    EventLog& log;
};

// Where one whole update notes what each of its phases asked for.
struct FrameLogs {
    EventLog& pre_update;
    EventLog& elements;
    EventLog& pre_draw;
};

class GaugeInstance {
public:
    virtual ~GaugeInstance() = default;

    virtual const GaugeRecords& records() const = 0;
    // Each element's state; as many as records().elements.
    virtual const std::vector<ElementState>& elements() const = 0;

    // module_init and module_deinit. close() is the owner's to call before the instance goes.
    virtual void open(HostCalls calls) = 0;
    virtual void close(HostCalls calls) = 0;
    // The gauge callback with one service id (6 pre-update, 10 pre-draw; others it ignores).
    virtual void call_gauge(int32_t service_id, HostCalls calls) = 0;
    // Every element's own variables refreshed and its callback called, in draw order.
    virtual void update_elements(HostCalls calls) = 0;
    // The handler of clickable area `index` (of records().mouse_areas), for a click of
    // `event_class` at (x, y) in gauge pixels.
    virtual void click_area(size_t index, uint32_t event_class, int32_t x, int32_t y, HostCalls calls) = 0;
    // Lets a gauge in another process begin the update that run_frame() will finish, so that
    // several such gauges of a panel work side by side; `variables` must not change between
    // the two calls. A gauge in this process has nothing to begin.
    virtual void start_frame(const VariableStore& variables) { (void)variables; }
    // One whole update: pre-update, the element pass and pre-draw, all answered from
    // `variables`, each phase into its own log. A gauge in another process makes this one
    // exchange instead of three.
    virtual void run_frame(const VariableStore& variables, FrameLogs logs) {
        call_gauge(SERVICE_PRE_UPDATE, {variables, logs.pre_update});
        update_elements({variables, logs.elements});
        call_gauge(SERVICE_PRE_DRAW, {variables, logs.pre_draw});
    }

    // The module's records described field by field at their byte offsets, a line each.
    virtual std::vector<std::string> record_lines() const = 0;
};

// A failure of the host while serving a gauge call (one of its services could not answer).
class HostError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace panel
